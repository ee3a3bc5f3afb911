// pictavo: a picture file to PDF, one page per image.
//
//     pictavo -iINPUT -oOUTPUT [-wWIDTH -hHEIGHT [-aAUTOROTATE] [-fFIT]] [-dDPI]
//
// JPEG, PNG, GIF, BMP (and TIFF) go through the image core of the DPL library, as scanvey
// does; Windows metafiles (.wmf, .emf) are vector drawings that LibreOffice imports, so for
// them this program hands over to pictavo-draw beside it with the same arguments. Exit status
// 0 when the PDF was written; otherwise the reason on standard error and no output file.
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "platform/File.h"
#include "platform/PartialFiles.h"
#include "platform/SharedLibrary.h"
#include "scanvey/ScanveyConvert.h"
#include "scanvey/ScanveyOptions.h"

namespace {

constexpr int kWritten = 0;
constexpr int kFailed = 1;
constexpr int kUsage = 2;

bool IsMetafile(const std::string& name) {
    if (name.size() < 4) return false;
    std::string extension = name.substr(name.size() - 4);
    for (char& c : extension) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return extension == ".wmf" || extension == ".emf";
}

// Replaces this process by the drawing converter; returns only when that cannot start.
int RunDrawingConverter(char** argv) {
    std::string program = platform::ProgramFolder() + "/pictavo-draw";
    std::vector<char*> arguments{program.data()};
    for (char** argument = argv + 1; *argument != nullptr; ++argument) {
        arguments.push_back(*argument);
    }
    arguments.push_back(nullptr);
    ::execv(program.c_str(), arguments.data());
    std::fprintf(stderr, "pictavo: cannot start %s: %s\n", program.c_str(), std::strerror(errno));
    return kFailed;
}

std::string FailureText(const ScanveyOutcome& outcome) {
    if (!outcome.failure.empty()) return outcome.failure;
    if (outcome.code == kScanveyLibraryUnusable) return "the PDF library cannot be loaded";
    return "the conversion failed (" + std::to_string(outcome.code) + ")";
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> arguments(argv + 1, argv + argc);
    ScanveyOptions options = ParseScanveyArguments(arguments, QuotesInNames::Keep);
    if (options.inputName.empty() || options.outputName.empty()) {
        std::fprintf(stderr, "usage: pictavo -iINPUT -oOUTPUT [-wWIDTH -hHEIGHT -aN -fN -dDPI]\n");
        return kUsage;
    }
    if (IsMetafile(options.inputName)) return RunDrawingConverter(argv);
    platform::RemovePartialFilesOnSignals();
    // An old file of the output's name must never pass for the result of a failed run.
    if (!platform::IsSameFile(options.inputName, options.outputName)) {
        platform::RemoveFile(options.outputName);
    }
    ScanveyOutcome outcome = ConvertImages(options);
    if (outcome.code == kScanveyOk) return kWritten;
    std::fprintf(stderr, "pictavo: %s\n", FailureText(outcome).c_str());
    return kFailed;
}
