// Appends one PDF document to another with the engine's file-appending operation, for timing:
//   append_bench FIRST SECOND OUTPUT
#include <cstdio>
#include <exception>

#include "gridane/merge/AppendDocuments.h"
#include "pdf/CPdfException.h"

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: append_bench FIRST SECOND OUTPUT\n");
        return 2;
    }
    try {
        gridane::AppendDocuments(argv[1], argv[2], argv[3]);
        return 0;
    } catch (const CPdfException& e) {
        std::fprintf(stderr, "append_bench: %s\n", e.GetMessage().c_str());
    } catch (const std::exception&) {
        std::fprintf(stderr, "append_bench: Unexpected exception\n");
    }
    return 1;
}
