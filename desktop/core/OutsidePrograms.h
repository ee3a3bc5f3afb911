// Starting the outside programs of a job (the cleaning scripts and the converters) and
// waiting for them while the window stays responsive.
//
// A program is started with its argument list, never through a shell, and found beside the
// program, then on PATH. While it runs the UI port's pending messages are handled every few
// tens of milliseconds; when the port answers "cancelled" the program is ended. A timeout
// (0: none) ends a program that runs too long, so that an unattended run cannot hang.
#pragma once

#include <chrono>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "desktop/core/Conversion.h"
#include "desktop/core/ProgramCall.h"
#include "platform/RunAndWait.h"

namespace desktop {

class DebugLog;
class OfficeServer;
class UiPort;

// How long a converter may run before it is ended (the window offers Cancel before that).
inline constexpr std::chrono::minutes kConverterTimeout{10};

// The address space a converter and what it starts may use: LibreOffice needs about 1 GiB of
// it for an ordinary document; a document that unpacks without end is stopped here.
inline constexpr uint64_t kConverterMemoryLimit = uint64_t{4} << 30;

// The memory limit converters run under here: none in a build with the address sanitizer,
// whose shadow memory takes terabytes of address space.
uint64_t DefaultConverterMemoryLimit();

// Runs `call` and waits; logs "ShellExecute lpDirectory: \r\n" before (no working folder is
// given) and "ShellExecute code: %ld\r\n" after, with the program's exit status (-1 when it
// could not be started or was ended), then lets pending messages be handled once more.
// The program gets a temporary folder of its own, removed when it has ended; `options` gives
// the time (0: none) and memory (0: none) it may use.
// A noted interrupt signal ends the program as a cancel does. `environment` entries
// ("NAME=value") join the program's environment.
platform::RunResult RunProgram(const ProgramCall& call, UiPort& ui, DebugLog& log,
                               std::chrono::milliseconds timeout = {}, uint64_t memoryLimit = 0,
                               std::vector<std::string> environment = {});

// The status a converter ends with when it was stopped for needing more memory than it may use.
inline constexpr int kConverterOutOfMemoryStatus = 3;

// Why a converter run was stopped, as a sentence for the user; empty when it ended by itself
// without running out of memory, or was cancelled.
std::string ConverterStopText(const platform::RunResult& result, std::chrono::milliseconds timeout,
                              uint64_t memoryLimit);

// What a program said when it ran with its standard error kept from the user.
struct KeptErrors {
    platform::RunResult result;
    std::string text;  // its standard error (at most the last 64 KiB)
};

// Runs `call` as RunProgram does, with the program's standard error written to `errorFile`
// instead of shown; the text is also written to the debug log. The file is removed. While the
// program runs, the page lines Ghostscript writes there move the progress bar.
KeptErrors RunProgramKeepingErrors(const ProgramCall& call, UiPort& ui, DebugLog& log,
                                   const std::string& errorFile);

// One line that says why a program failed: from its standard error, Ghostscript's first
// "Error: ..." line when there is one, else the last line that is not empty; else the way the
// program ended ("exit status 1", "not started: ..."). Ghostscript's closing line ("...:
// Unrecoverable error, exit code 1") says only that it stopped: kGhostscriptStopped says so in
// our words instead.
inline constexpr std::string_view kGhostscriptStopped =
    "Ghostscript stopped on an error in the file; its own words are in the debug log";
std::string FailureReason(const KeptErrors& run);

struct ConversionOutcome {
    std::string pdfName;  // the converter's output, named also when it failed
    bool succeeded = false;
    std::string stopText;    // why the converter was stopped (time or memory), if it was
    bool cancelled = false;  // the user (or a signal) ended the converter
};

// Converts `input` with the converter its kind calls for, writing into `tempFolder` (which
// ends with '/'), within `timeout` (0: none) and `memoryLimit` bytes of address space (0:
// none). Success means that the output can then be opened for reading. An office document
// (text, word processor, spreadsheet, metafile picture) is converted by `office` (the job's
// server, OfficeServer.h) when there is one, else by a LibreOffice of the converter's own.
ConversionOutcome ConvertToPdf(const std::string& input, const ConversionSettings& settings,
                               const std::string& tempFolder, UiPort& ui, DebugLog& log,
                               OfficeServer* office, std::chrono::milliseconds timeout = {},
                               uint64_t memoryLimit = DefaultConverterMemoryLimit());

// Keeps a copy of a converted PDF in `folder` (PDFDIR) under its own file name, creating the
// folder when it is missing; nothing when `folder` is empty. A copy that cannot be made is
// logged and changes nothing else. The copy is written under a partial name first, so the
// folder never holds half a file under the PDF's name.
void KeepConvertedCopy(const std::string& pdfName, const std::string& folder, DebugLog& log);

}  // namespace desktop
