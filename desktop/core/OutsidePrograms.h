// Starting the outside programs of a job (the cleaning scripts and the converters) and
// waiting for them while the window stays responsive.
//
// A program is started with its argument list, never through a shell, and found beside the
// program, then on PATH. While it runs the UI port's pending messages are handled every few
// tens of milliseconds; when the port answers "cancelled" the program is ended. A timeout
// (0: none) ends a program that runs too long, so that an unattended run cannot hang.
#pragma once

#include <chrono>
#include <string>

#include "desktop/core/Conversion.h"
#include "desktop/core/ProgramCall.h"
#include "platform/RunAndWait.h"

namespace desktop {

class DebugLog;
class UiPort;

// How long a converter may run in quiet mode before it is ended.
inline constexpr std::chrono::minutes kQuietConverterTimeout{10};

// Runs `call` and waits; logs "ShellExecute lpDirectory: \r\n" before (no working folder is
// given) and "ShellExecute code: %ld\r\n" after, with the program's exit status (-1 when it
// could not be started or was ended), then lets pending messages be handled once more. A noted
// interrupt signal ends the program as a cancel does.
platform::RunResult RunProgram(const ProgramCall& call, UiPort& ui, DebugLog& log,
                               std::chrono::milliseconds timeout = {});

struct ConversionOutcome {
    std::string pdfName;  // the converter's output, named also when it failed
    bool succeeded = false;
    bool cancelled = false;  // the user (or a signal) ended the converter
};

// Converts `input` with the converter its kind calls for, writing into `tempFolder` (which
// ends with '/'). Success means that the output can then be opened for reading.
ConversionOutcome ConvertToPdf(const std::string& input, const ConversionSettings& settings,
                               const std::string& tempFolder, UiPort& ui, DebugLog& log,
                               std::chrono::milliseconds timeout = {});

// Keeps a copy of a converted PDF in `folder` (PDFDIR) under its own file name, creating the
// folder when it is missing; nothing when `folder` is empty. A copy that cannot be made is
// logged and changes nothing else. The copy is written under a partial name first, so the
// folder never holds half a file under the PDF's name.
void KeepConvertedCopy(const std::string& pdfName, const std::string& folder, DebugLog& log);

}  // namespace desktop
