#include "desktop/core/OutsidePrograms.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string_view>

#include "desktop/core/DebugLog.h"
#include "desktop/core/GhostscriptPages.h"
#include "desktop/core/Interrupts.h"
#include "desktop/core/OfficeRequest.h"
#include "desktop/core/OfficeServer.h"
#include "desktop/core/OutputPlacement.h"
#include "desktop/core/UiPort.h"
#include "platform/Text.h"

namespace desktop {

namespace {

std::string Counted(long long count, const std::string& unit) {
    return std::to_string(count) + " " + unit + (count == 1 ? "" : "s");
}

constexpr size_t kKeptErrorBytes = 64 * 1024;

// The last kKeptErrorBytes of the file at `path` (all of it when shorter; empty when
// unreadable).
std::string FileTail(const std::string& path) {
    constexpr std::streamoff limit = kKeptErrorBytes;
    std::ifstream in(path, std::ios::binary | std::ios::ate);
    if (!in) return {};
    std::streamoff size = in.tellg();
    std::streamoff start = std::max<std::streamoff>(0, size - limit);
    in.seekg(start);
    std::string text(static_cast<size_t>(size - start), '\0');
    in.read(text.data(), static_cast<std::streamsize>(text.size()));
    text.resize(static_cast<size_t>(in.gcount()));
    return text;
}

// Whether a wait goes on: the UI's pending messages handled, no cancel and no interrupt signal.
bool StillWanted(UiPort& ui) {
    return !ui.HandlePendingMessages() && InterruptSignal() == 0;
}

// Runs `call` with `options`, the UI's pending messages handled while it waits (and
// `whileWaiting` called, when given); logs the start ("ShellExecute lpDirectory: ", no working
// folder is given) and the exit status.
platform::RunResult RunLogged(const ProgramCall& call, UiPort& ui, DebugLog& log,
                              platform::RunOptions options,
                              const std::function<void()>& whileWaiting = {}) {
    log.Printf("ShellExecute lpDirectory: %s\r\n", "");
    options.privateTemporaryFolder = true;
    options.keepWaiting = [&ui, &whileWaiting] {
        if (whileWaiting) whileWaiting();
        return StillWanted(ui);
    };
    platform::RunResult result = platform::RunAndWait(call.program, call.arguments, options);
    bool ended = result.outcome == platform::RunOutcome::Exited;
    log.Printf("ShellExecute code: %ld\r\n", ended ? static_cast<long>(result.exitCode) : -1L);
    if (!result.error.empty()) log.Printf("ShellExecute error: %s\r\n", result.error.c_str());
    return result;
}

// Whether the converter of `plan` works through LibreOffice: text, word-processor and
// spreadsheet files, and the metafile pictures the image converter hands over to it.
bool UsesOffice(const ConversionPlan& plan, const std::string& input) {
    switch (plan.kind) {
        case ConversionKind::Text:
        case ConversionKind::WordProcessor:
        case ConversionKind::Spreadsheet:
            return true;
        case ConversionKind::Image: {
            std::string extension = ConversionExtension(input);
            return extension == ".wmf" || extension == ".emf";
        }
        default:
            return false;
    }
}

// Whether the converter of `plan` is one installed with `office`'s server program, which does
// nothing but send the plan's request to the server: this program then sends it itself.
bool ForwardsToServer(const ConversionPlan& plan, const OfficeServer& office) {
    if (!plan.officeRequest) return false;
    std::string converter = platform::FindProgram(plan.call.program);
    std::string server = platform::FindProgram(office.Program());
    return !converter.empty() && platform::FolderPart(converter) == platform::FolderPart(server);
}

// Sends the plan's request to the server at `address`; the answer's message goes to standard
// error, where the converter would have written it.
platform::RunResult SendToServer(const std::string& address, const OfficeRequest& request,
                                 UiPort& ui, DebugLog& log, std::chrono::milliseconds timeout) {
    log.Printf("office server request: %s\r\n", request.program.c_str());
    std::string message;
    platform::RunResult run = SendOfficeRequest(
        address, request, timeout, [&ui] { return StillWanted(ui); }, &message);
    bool ended = run.outcome == platform::RunOutcome::Exited;
    log.Printf("office server answer: %ld\r\n", ended ? static_cast<long>(run.exitCode) : -1L);
    if (!message.empty()) std::fprintf(stderr, "%s\n", message.c_str());
    ui.HandlePendingMessages();
    return run;
}

// Runs the office conversion of `plan` on one of `office`'s LibreOffices, holding its seat for
// the whole conversion. A conversion that did not end by itself may have left LibreOffice busy
// or hung: that LibreOffice goes with it. When no server can be started the converter starts
// its own.
platform::RunResult RunOnOfficeServer(OfficeServer& office, const ConversionPlan& plan, UiPort& ui,
                                      DebugLog& log, std::chrono::milliseconds timeout,
                                      uint64_t memoryLimit) {
    // While another conversion holds the server the window stays responsive, and a cancel or
    // an interrupt signal ends the wait.
    std::optional<OfficeServer::Lease> lease = office.Take([&ui] { return StillWanted(ui); });
    if (!lease) return {platform::RunOutcome::Cancelled, -1, "cancelled"};
    std::string error;
    std::string address = lease->Address(&error);
    if (address.empty()) {
        log.Printf("office server not started (%s)\r\n", error.c_str());
        return RunProgram(plan.call, ui, log, timeout, memoryLimit);
    }
    platform::RunResult run =
        ForwardsToServer(plan, office)
            ? SendToServer(address, *plan.officeRequest, ui, log, timeout)
            : RunProgram(plan.call, ui, log, timeout, memoryLimit,
                         {std::string(kOfficeServerVariable) + "=" + address});
    if (run.outcome != platform::RunOutcome::Exited &&
        run.outcome != platform::RunOutcome::NotStarted) {
        log.Write("office server's LibreOffice ended with the conversion\r\n");
        lease->Discard();
    }
    return run;
}

}  // namespace

uint64_t DefaultConverterMemoryLimit() {
#if defined(__SANITIZE_ADDRESS__)
    return 0;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
    return 0;
#else
    return kConverterMemoryLimit;
#endif
#else
    return kConverterMemoryLimit;
#endif
}

platform::RunResult RunProgram(const ProgramCall& call, UiPort& ui, DebugLog& log,
                               std::chrono::milliseconds timeout, uint64_t memoryLimit,
                               std::vector<std::string> environment) {
    platform::RunOptions options;
    options.timeout = timeout;
    options.addressSpaceLimit = memoryLimit;
    options.environment = std::move(environment);
    platform::RunResult result = RunLogged(call, ui, log, std::move(options));
    ui.HandlePendingMessages();
    return result;
}

KeptErrors RunProgramKeepingErrors(const ProgramCall& call, UiPort& ui, DebugLog& log,
                                   const std::string& errorFile) {
    platform::RunOptions options;
    options.errorFile = errorFile;
    GhostscriptPages pages(errorFile);
    auto showPages = [&ui, &pages] {
        if (pages.Poll()) ui.StepProgress(pages.Done(), pages.Total());
    };
    KeptErrors run{RunLogged(call, ui, log, std::move(options), showPages), FileTail(errorFile)};
    showPages();  // what it wrote after the last look
    std::remove(errorFile.c_str());
    if (!run.text.empty()) log.Printf("ShellExecute errors: %s\r\n", run.text.c_str());
    ui.HandlePendingMessages();
    return run;
}

std::string FailureReason(const KeptErrors& run) {
    std::string_view text = run.text;
    std::string_view last;
    for (size_t start = 0; start < text.size();) {
        size_t end = std::min(text.find('\n', start), text.size());
        std::string_view line = platform::Trimmed(text.substr(start, end - start));
        if (line.starts_with("Error:")) return std::string(line);
        if (line.find("Unrecoverable error") != std::string_view::npos) {
            last = kGhostscriptStopped;
        } else if (!line.empty()) {
            last = line;
        }
        start = end + 1;
    }
    if (!last.empty()) return std::string(last);
    if (run.result.outcome == platform::RunOutcome::Exited) {
        return "exit status " + std::to_string(run.result.exitCode);
    }
    return run.result.error.empty() ? std::string("ended") : run.result.error;
}

std::string ConverterStopText(const platform::RunResult& result, std::chrono::milliseconds timeout,
                              uint64_t memoryLimit) {
    std::string memory = std::to_string(memoryLimit >> 20) + " MiB";
    switch (result.outcome) {
        case platform::RunOutcome::TimedOut: {
            long long seconds = std::chrono::duration_cast<std::chrono::seconds>(timeout).count();
            bool minutes = seconds >= 60 && seconds % 60 == 0;
            return "The converter was stopped after " +
                   Counted(minutes ? seconds / 60 : seconds, minutes ? "minute" : "second") + ".";
        }
        case platform::RunOutcome::Exited:
            if (result.exitCode != kConverterOutOfMemoryStatus || memoryLimit == 0) return {};
            return "The converter was stopped: the file needs more than the " + memory +
                   " of memory a conversion may use.";
        case platform::RunOutcome::KilledBySignal:
            return "The converter was ended by signal " + std::to_string(result.exitCode - 128) +
                   (memoryLimit != 0 ? " (it may use " + memory + " of memory)." : ".");
        case platform::RunOutcome::Cancelled:
        case platform::RunOutcome::NotStarted:
            break;
    }
    return {};
}

ConversionOutcome ConvertToPdf(const std::string& input, const ConversionSettings& settings,
                               const std::string& tempFolder, UiPort& ui, DebugLog& log,
                               OfficeServer* office, std::chrono::milliseconds timeout,
                               uint64_t memoryLimit) {
    std::optional<ConversionPlan> plan = PlanConversion(input, settings, tempFolder);
    if (!plan) return {};
    if (!UsesOffice(*plan, input)) office = nullptr;
    platform::RunResult run = office != nullptr
                                  ? RunOnOfficeServer(*office, *plan, ui, log, timeout, memoryLimit)
                                  : RunProgram(plan->call, ui, log, timeout, memoryLimit);
    if (run.outcome == platform::RunOutcome::Cancelled) return {plan->outputName, false, {}, true};
    std::ifstream output(plan->outputName, std::ios::binary);
    return {plan->outputName, output.is_open(), ConverterStopText(run, timeout, memoryLimit)};
}

void KeepConvertedCopy(const std::string& pdfName, const std::string& folder, DebugLog& log) {
    if (folder.empty()) return;
    namespace fs = std::filesystem;
    fs::path copy = fs::path(folder) / FileTitle(pdfName);
    std::error_code error;
    fs::create_directories(folder, error);
    // Written beside under a name of its own, then renamed: rows converting files of one name
    // at the same time never write into each other's copy.
    if (error || !PutOutputInPlace(pdfName, copy.string()).empty()) {
        log.Printf("pdf copy failed: %s\r\n", copy.string().c_str());
        return;
    }
    log.Printf("pdf copy: %s\r\n", copy.string().c_str());
}

}  // namespace desktop
