// Feeds arbitrary bytes to the setup-file reader as a file, then checks that what it read
// survives a write and a second read unchanged: a setup saved and loaded again is the same
// setup. Any crash, leak, hang or sanitizer report, or a setup that changes on the round
// trip, is a finding.
#include <cstdint>
#include <cstdlib>

#include "desktop/core/SetupFile.h"
#include "fuzz/MemoryFileName.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static fuzz::MemoryFileName file("setup.plf");
    desktop::JobSetup setup;
    const bool override = size > 0 && (data[0] & 1) != 0;
    desktop::ReadSetupFile(file.Hold(data, size), setup, {override});

    const std::string written = desktop::SetupFileText(setup, true);
    desktop::JobSetup again;
    desktop::ParseSetupText(written, again, {true});
    if (desktop::SetupFileText(again, true) != written) std::abort();
    return 0;
}
