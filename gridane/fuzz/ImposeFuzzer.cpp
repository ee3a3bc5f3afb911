// Feeds arbitrary bytes to the imposition engine as an input file and imposes it in a layout
// picked by the first byte: every crash, leak, hang or sanitizer report is a finding. The
// output is not checked; a damaged input may well give a damaged output or a status text.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <string>

#include "gridane/GridaneCom.h"

namespace {

std::string ScratchPath(const char* what) {
    return "/tmp/impose_fuzzer." + std::to_string(::getpid()) + "." + what + ".pdf";
}

// Layouts chosen by the first input byte: the groups whose code paths differ most.
constexpr const char* kLayouts[] = {"outer_in", "up4",    "up3",    "up3x2",     "up4x3",
                                    "split",    "up2to1", "duplex", "duplicate", "down"};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    const std::string input = ScratchPath("in");
    const std::string output = ScratchPath("out");
    FILE* file = std::fopen(input.c_str(), "wb");
    if (file == nullptr) return 0;
    std::fwrite(data + 1, 1, size - 1, file);
    std::fclose(file);

    gridane::GridaneCom engine;
    engine.PutProperty(kLayouts[data[0] % (sizeof kLayouts / sizeof kLayouts[0])], 1);
    if (data[0] & 0x80) engine.PutProperty("s", 2);
    engine.getGridaneFile(input, output);
    std::remove(output.c_str());
    return 0;
}
