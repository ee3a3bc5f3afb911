// Feeds arbitrary bytes to the imposition engine as an input file and imposes it in a layout
// picked by the first byte: every crash, leak, hang or sanitizer report is a finding. The
// output is not checked; a damaged input may well give a damaged output or a status text.
//
// The files live in memory (platform/MemoryFiles.h): the input is put under a name, the engine
// reads it, writes its output and any pre-pass file there, and nothing reaches the disk.
#include <cstdint>
#include <string>

#include "gridane/GridaneCom.h"
#include "platform/MemoryFiles.h"

namespace {

constexpr const char* kInput = "/velmora-fuzz/in.pdf";
constexpr const char* kOutput = "/velmora-fuzz/out.pdf";

// Layouts chosen by the first input byte: the groups whose code paths differ most.
constexpr const char* kLayouts[] = {"outer_in", "up4",    "up3",    "up3x2",     "up4x3",
                                    "split",    "up2to1", "duplex", "duplicate", "down"};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    // Everything this input made is freed with the store before the next: libFuzzer takes
    // memory that outlives an input for a possible leak and checks for one, which costs more
    // than the run.
    platform::MemoryFiles files;
    files.Put(kInput, std::string(reinterpret_cast<const char*>(data) + 1, size - 1));
    gridane::GridaneCom engine;
    engine.SetFiles(platform::FileSpace(files));
    engine.PutProperty(kLayouts[data[0] % (sizeof kLayouts / sizeof kLayouts[0])], 1);
    if (data[0] & 0x80) engine.PutProperty("s", 2);
    // The sheet layout: pages scaled onto A4 with crop marks, bleed and creep.
    if (data[0] & 0x40) {
        engine.PutProperty("sheet", std::string("A4"));
        engine.PutProperty("cropmarks", 1);
        engine.PutProperty("creep", std::string("0.1"));
    }
    engine.getGridaneFile(kInput, kOutput);
    return 0;
}
