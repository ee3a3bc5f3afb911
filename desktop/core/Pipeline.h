// ProcessFile: one input of the current job through the whole pipeline, as the job's plan
// (JobPlan.h) lays it out: conversion to PDF, blank padding, cleaning, page rotation, the
// doubling pass, imposition, cleaning of the output and the reordering of a vertically split
// booklet.
//
// The run reads the caller's `JobSetup` and never writes it: the names it works on, the files it
// makes and its single retry without cleaning are its own. Every working file, the imposed
// output included, goes to a private folder inside the temporary folder, removed when the call
// ends; only a job that succeeded as a whole puts its output in place, at the end and atomically
// (OutputPlacement.h), so a failed, cancelled or concurrent job never changes an earlier output.
#pragma once

#include <chrono>
#include <iosfwd>
#include <string>

#include "desktop/core/Conversion.h"
#include "desktop/core/JobSetup.h"

namespace desktop {

class DebugLog;
class EngineObjects;
class OfficeServer;
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
    kProcessCancelled = 8,  // the user cancelled, or an interrupt signal came
};

inline constexpr char kNoInputMessage[] = "No input filename specified";
inline constexpr char kNoOutputMessage[] = "No output filename specified";
inline constexpr char kInvalidInputMessage[] = "Invalid input file";
// Why, on the line after "Invalid input file: NAME".
inline constexpr char kNoSuchInput[] = "There is no such file.";
inline constexpr char kInputNotReadable[] = "The file cannot be read (no permission to read it).";
inline constexpr char kNoConverter[] = "It is not a PDF, and no converter takes files of its kind.";
// After the input's name: a pipe or a device could keep the job waiting for ever.
inline constexpr char kNotAFileMessage[] =
    ": not a regular file (a pipe, a device or a folder); only files are read";
inline constexpr char kSameFileMessage[] =
    "The output file is the input file; choose another output name:\n\n%s";
inline constexpr char kConversionFailedMessage[] = "Failed to convert file to pdf!";
inline constexpr char kPdfErrorMessage[] = "Error with pdf file";
inline constexpr char kDoneMessage[] = "Done!";
inline constexpr char kCancelledMessage[] = "Cancelled";
inline constexpr char kDoneWithoutCleaning[] = "Done without cleaning: ";

// What the pipeline works with; all owned by the caller.
struct PipelineContext {
    const JobSetup& setup;
    const ConversionSettings& conversion;
    EngineObjects& engines;
    UiPort& ui;
    DebugLog& log;
    bool commandLineMode = false;
    // Converters still running after this long are ended (0: no limit).
    std::chrono::milliseconds converterTimeout{0};
    // The session's office server for office conversions; null: each converter starts its own.
    OfficeServer* office = nullptr;
    // Where batch rows echo the engines' active-content warning (quiet mode's standard error).
    std::ostream* engineWarningEcho = nullptr;
    // What opens an input PDF that needs a password ("" for none); never written anywhere.
    std::string password{};
};

// One call: the batch row served (kNoRow for the Process command), the input, and the output
// as the caller decided it (a batch row's when its rows were planned, BatchRows.h).
inline constexpr int kNoRow = -1;
struct ProcessRequest {
    int row = kNoRow;
    std::string input;
    std::string output;
    // The output is the test sheet for the back shift (JobPlan.h), put in place without "Done!".
    bool calibration = false;

    bool IsBatchCall() const { return row != kNoRow; }
};

// The Process command's request: the job's INFILE and OUTFILE.
ProcessRequest JobRequest(const JobSetup& setup);

// "Invalid input file: NAME" and why: no such file, or not readable; or of a kind that is no
// PDF and that no converter takes.
std::string UnreadableInputText(const std::string& input);
std::string NoConverterText(const std::string& input);

// What a call did beyond its result code.
struct ProcessReport {
    std::string output;  // the output name the call wrote (or would have written)
    std::string note;    // how a finished job went when that is worth saying ("Done without
                         // cleaning: ..."); empty otherwise
};

// Runs the pipeline once for `request` and returns one of the result codes above. The caller
// has copied the window's controls into the job first.
int ProcessFile(PipelineContext& context, const ProcessRequest& request,
                ProcessReport* report = nullptr);

}  // namespace desktop
