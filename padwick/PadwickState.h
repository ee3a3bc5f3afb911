// The process-wide state of the padding library: what the last operation reached, and the
// names and document ids it worked with. Lives as long as the library is loaded; each
// operation overwrites it. Names are held in strings of any length.
#pragma once

#include <atomic>
#include <cstdint>
#include <ctime>
#include <string>

struct PadwickState {
    std::atomic<int32_t> processingStatus{0};
    std::atomic<int32_t> processingPage{0};
    std::u16string inputName;
    std::string outputName;
    std::u16string wideOutputName;
    std::string fileTitle;
    std::string tempFolder;
    long timeStamp = 0;
    int inputDocument = 0;
    int blankDocument = 0;

    // Status and page to 0, as every operation starts.
    void Start() {
        processingStatus = 0;
        processingPage = 0;
    }
};

PadwickState& ThePadwickState();

// The name AddBlanks writes to when the caller names none: the temporary folder, the input's
// file title lower-cased without ".pdf", "_BW_", the time stamp and ".pdf".
std::string GeneratedOutputName(const std::string& tempFolder, const std::string& input,
                                long timeStamp);
