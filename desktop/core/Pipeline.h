// ProcessFile: one input of the current job through the whole pipeline: conversion to PDF,
// blank padding, cleaning, page rotation, the doubling pass, imposition, cleaning of the
// output and the reordering of a vertically split booklet.
//
// The pipeline reads and writes the caller's `JobSetup` (INFILE changes on the way and is
// left as the run leaves it; a failed first attempt sets DONTCLEANFILE to 1 and retries once),
// reports through the UI port and the debug log, and drives the caller's engine objects.
// Every working file goes to a private folder inside the temporary folder, removed when the
// call ends; the files it makes beside the output are removed too, on every path.
#pragma once

#include <chrono>
#include <string>

#include "desktop/core/Conversion.h"
#include "desktop/core/JobSetup.h"

namespace desktop {

class DebugLog;
class EngineObjects;
class UiPort;

// Result codes of ProcessFile.
enum ProcessResult {
    kProcessDone = 0,
    kProcessNoInput = 1,
    kProcessNoOutput = 2,          // also: the output name names the input file
    kProcessBadInput = 3,          // the input cannot be opened for reading
    kProcessConversionFailed = 4,  // or a rotation reported a failure
    kProcessComFailure = 5,
    kProcessOtherFailure = 6,
    kProcessImpositionFailed = 7,
};

inline constexpr char kNoInputMessage[] = "No input filename specified";
inline constexpr char kNoOutputMessage[] = "No output filename specified";
inline constexpr char kInvalidInputMessage[] = "Invalid input file";
inline constexpr char kSameFileMessage[] =
    "The output file is the input file; choose another output name:\n\n%s";
inline constexpr char kConversionFailedMessage[] = "Failed to convert file to pdf!";
inline constexpr char kPdfErrorMessage[] = "Error with pdf file";
inline constexpr char kDoneMessage[] = "Done!";

// What the pipeline works with; all owned by the caller.
struct PipelineContext {
    JobSetup& setup;
    const ConversionSettings& conversion;
    EngineObjects& engines;
    UiPort& ui;
    DebugLog& log;
    bool commandLineMode = false;
    // Converters still running after this long are ended (0: no limit).
    std::chrono::milliseconds converterTimeout{0};
};

struct ProcessRequest {
    int row = 0;                // the batch row served (0 for the Process command)
    std::string inputOverride;  // not empty for a batch call: replaces INFILE
    std::string outputFolder;   // not empty: OUTFILE becomes this folder + INFILE's file name
    bool appendPdf = false;     // append ".pdf" to OUTFILE

    bool IsBatchCall() const { return !inputOverride.empty(); }
};

// Runs the pipeline once for `request` and returns one of the result codes above. The caller
// has copied the window's controls into the job first.
int ProcessFile(PipelineContext& context, const ProcessRequest& request);

}  // namespace desktop
