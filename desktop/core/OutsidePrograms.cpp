#include "desktop/core/OutsidePrograms.h"

#include <filesystem>
#include <fstream>

#include "desktop/core/DebugLog.h"
#include "desktop/core/Interrupts.h"
#include "desktop/core/UiPort.h"

namespace desktop {

platform::RunResult RunProgram(const ProgramCall& call, UiPort& ui, DebugLog& log,
                               std::chrono::milliseconds timeout) {
    log.Printf("ShellExecute lpDirectory: %s\r\n", "");
    platform::RunOptions options;
    options.timeout = timeout;
    options.keepWaiting = [&ui] { return !ui.HandlePendingMessages() && InterruptSignal() == 0; };
    platform::RunResult result =
        platform::RunAndWait(LinuxProgramName(call.program), call.arguments, options);
    bool ended = result.outcome == platform::RunOutcome::Exited;
    log.Printf("ShellExecute code: %ld\r\n", ended ? static_cast<long>(result.exitCode) : -1L);
    if (!result.error.empty()) log.Printf("ShellExecute error: %s\r\n", result.error.c_str());
    ui.HandlePendingMessages();
    return result;
}

ConversionOutcome ConvertToPdf(const std::string& input, const ConversionSettings& settings,
                               const std::string& tempFolder, UiPort& ui, DebugLog& log,
                               std::chrono::milliseconds timeout) {
    std::optional<ConversionPlan> plan = PlanConversion(input, settings, tempFolder);
    if (!plan) return {};
    platform::RunResult run = RunProgram(plan->call, ui, log, timeout);
    if (run.outcome == platform::RunOutcome::Cancelled) return {plan->outputName, false, true};
    std::ifstream output(plan->outputName, std::ios::binary);
    return {plan->outputName, output.is_open()};
}

void KeepConvertedCopy(const std::string& pdfName, const std::string& folder, DebugLog& log) {
    if (folder.empty()) return;
    namespace fs = std::filesystem;
    fs::path copy = fs::path(folder) / FileTitle(pdfName);
    fs::path partial = copy;
    partial += ".part";
    std::error_code error;
    fs::create_directories(folder, error);
    if (!error) fs::copy_file(pdfName, partial, fs::copy_options::overwrite_existing, error);
    if (!error) fs::rename(partial, copy, error);
    if (error) {
        fs::remove(partial, error);
        log.Printf("pdf copy failed: %s\r\n", copy.string().c_str());
        return;
    }
    log.Printf("pdf copy: %s\r\n", copy.string().c_str());
}

}  // namespace desktop
