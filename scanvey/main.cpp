// scanvey: turns an image file (typically a multi-page TIFF) into a PDF with one page per
// image. Prints a banner and one result line; the exit code is the conversion's result.
#include <cstdio>
#include <string>
#include <vector>

#include "platform/PartialFiles.h"
#include "scanvey/ScanveyConvert.h"
#include "scanvey/ScanveyOptions.h"
#include "velmora/Version.h"

int main(int argc, char** argv) {
    platform::RemovePartialFilesOnSignals();
    std::vector<std::string> arguments(argv, argv + argc);
    for (const std::string& argument : arguments) {
        if (argument == "--help") {
            std::fputs(ScanveyHelpText().c_str(), stdout);
            return 0;
        }
        if (argument == "--version") {
            std::fputs(velmora::VersionLine("scanvey").c_str(), stdout);
            return 0;
        }
    }
    std::printf("Scanvey v1.01 -= Corvell Software =-\r\n");
    ScanveyOptions options = ParseScanveyArguments(arguments);
    if (options.inputName.empty() || options.outputName.empty()) return kScanveyNothingToDo;
    ScanveyOutcome outcome = ConvertImages(options);
    if (outcome.code == kScanveyOk) {
        std::printf("Ok\n");
    } else {
        if (!outcome.failure.empty()) std::printf("%s\n", outcome.failure.c_str());
        std::printf("Return code: %d\n", outcome.code);
    }
    return outcome.code;
}
