// padwick_call: loads the padding library by name, as the desktop program does, and calls one
// export: "count FILE" or "blanks INPUT OUTPUT COUNT". Prints the result and the status.
// Tests run it from a folder of its own to see how the library behaves without its
// neighbours.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/SharedLibrary.h"

int main(int argc, char** argv) {
    platform::SharedLibrary padwick;
    if (!padwick.OpenByName("Padwick.dll")) {
        std::printf("no library\n");
        return 2;
    }
    auto count = reinterpret_cast<int (*)(const char*)>(padwick.Symbol("GetPageCount"));
    auto blanks = reinterpret_cast<int (*)(const char*, char*, int)>(padwick.Symbol("AddBlanks"));
    auto status = reinterpret_cast<int (*)()>(padwick.Symbol("GetProcessingStatus"));
    if (count == nullptr || blanks == nullptr || status == nullptr) return 2;
    int result = 0;
    if (argc == 3 && std::strcmp(argv[1], "count") == 0) {
        result = count(argv[2]);
    } else if (argc == 5 && std::strcmp(argv[1], "blanks") == 0) {
        std::string output(argv[3]);
        output.resize(4096);
        result = blanks(argv[2], output.data(), std::atoi(argv[4]));
    } else {
        return 2;
    }
    std::printf("%d %d\n", result, status());
    return 0;
}
