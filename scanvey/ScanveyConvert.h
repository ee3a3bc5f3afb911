// The conversion of one image file into a PDF file with one page per image, through the DPL
// library bound at run time.
#pragma once

#include <string>

#include "scanvey/ScanveyOptions.h"

class PdfLibraryBinding;

// Results of a conversion; they are also the program's exit codes.
constexpr int kScanveyOk = 1;
constexpr int kScanveyNothingToDo = 0;       // the input or the output name is missing
constexpr int kScanveyLibraryUnusable = -2;  // the DPL library cannot be loaded or bound
constexpr int kScanveyImageUnreadable = -3;  // an image of the input could not be read or placed
constexpr int kScanveyCannotWrite = -4;      // the PDF could not be written

struct ScanveyOutcome {
    int code = kScanveyOk;
    std::string failure;  // what failed, for the user; empty on success
};

// Converts options.inputName into options.outputName. Any file of the output's name is
// removed first, so that the caller never mistakes an old file for the result; on failure
// no output file is left.
ScanveyOutcome ConvertImages(const ScanveyOptions& options);
ScanveyOutcome ConvertImages(PdfLibraryBinding& pdf, const ScanveyOptions& options);
