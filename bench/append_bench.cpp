// Appends one PDF document to another with the engine's file-appending operation, for timing:
//   append_bench FIRST SECOND OUTPUT
#include <cstdio>

#include "gridane/merge/AppendDocuments.h"

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: append_bench FIRST SECOND OUTPUT\n");
        return 2;
    }
    return gridane::AppendForPrePass(argv[1], argv[2], argv[3]) ? 0 : 1;
}
