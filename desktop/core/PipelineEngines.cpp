// The engine steps of ProcessFile: rotation, the doubling pass, imposition, cleaning of the
// output, the reordering, and putting the finished output in place.
#include <cstdio>
#include <fstream>

#include "com/Hresult.h"
#include "desktop/core/DebugLog.h"
#include "desktop/core/EngineObjects.h"
#include "desktop/core/EngineSettings.h"
#include "desktop/core/OutputPlacement.h"
#include "desktop/core/OutsidePrograms.h"
#include "desktop/core/PipelineRun.h"
#include "desktop/core/StepEngines.h"
#include "desktop/core/UiPort.h"
#include "pdfbinding/PdfLibraryBinding.h"
#include "pdfbinding/ReorderSplitPages.h"
#include "platform/File.h"
#include "platform/Utf.h"

namespace desktop {

namespace {

// The page count of a PDF file through the DPL library; -1 when it cannot be read.
int PdfPageCount(const std::string& path) {
    PdfLibraryBinding pdf;
    if (!pdf.IsUsable()) return -1;
    std::u16string wide = platform::Utf8ToUtf16(path);
    if (pdf.DPLLoadFromFile(pdf.InstanceId(), wide.c_str(), u"") == 0) return -1;
    int document = pdf.DPLSelectedDocument(pdf.InstanceId());
    int pages = pdf.DPLPageCount(pdf.InstanceId());
    pdf.DPLRemoveDocument(pdf.InstanceId(), document);
    return pages;
}

}  // namespace

// A failing engine call ends the call: a COM failure with the runtime's text (5), any other
// failure with "Error with pdf file" (6).
template <class Calls>
PipelineRun::StepResult PipelineRun::Guarded(Calls calls) {
    try {
        return calls();
    } catch (const com::ComError& error) {
        Tell(error.what());
        return kProcessComFailure;
    } catch (const std::exception&) {
        m_context.log.Write("Error with pdf file\r\n");
        Tell(kPdfErrorMessage);
        return kProcessOtherFailure;
    }
}

// The rotation, the doubling pass and the imposition go through the one carrying-out of engine
// steps (StepEngines.h), with the session's engine objects; here only what the run adds: its
// log lines, its messages and result codes, and the redistilling of the turned file.
StepAnswer PipelineRun::RunEngine(const JobPlan& plan, const PlanStep& step) {
    InProcessEngines engines(m_context.engines, m_context.ui);
    return RunEngineStep(engines, plan, step, m_current);
}

PipelineRun::StepResult PipelineRun::Rotate(const JobPlan& plan, const PlanStep& step) {
    return Guarded([&]() -> StepResult {
        m_context.log.Write("rotate\r\n");
        m_context.log.Printf("rotate tempFile: %s\r\n", step.file.c_str());
        StepAnswer answer = RunEngine(plan, step);
        if (answer.kind != StepAnswer::Kind::Done) {
            Tell(answer.text);
            return kProcessConversionFailed;
        }
        m_current = answer.product;
        return std::nullopt;
    });
}

PipelineRun::StepResult PipelineRun::DoubleAndTurn(const JobPlan& plan, const PlanStep& step) {
    return Guarded([&]() -> StepResult {
        m_context.log.Printf("rotate2 tempFile: %s\r\n", step.scratch.c_str());
        StepAnswer answer = RunEngine(plan, step);
        if (answer.kind == StepAnswer::Kind::PrePassFailed) {
            Tell(std::string(kPdfErrorMessage) + "," + answer.text);
            return kProcessImpositionFailed;
        }
        if (answer.kind != StepAnswer::Kind::Done) {
            Tell(answer.text);
            return kProcessConversionFailed;
        }
        return Redistill(step);
    });
}

// The turned file is redistilled by the cleaning script; a redistilling that cannot run leaves
// the turned file, which imposes as well.
PipelineRun::StepResult PipelineRun::Redistill(const PlanStep& step) {
    ProgramCall call = CleaningCall(step.cleaningScript, step.scratch, step.file);
    m_context.log.Printf("rot params1: %s\r\n", call.parameters.c_str());
    // As with every cleaning, the script's own words go to the debug log only.
    KeptErrors run = RunProgramKeepingErrors(call, m_context.ui, m_context.log,
                                             m_work.Path() + "cleaning-errors.txt");
    if (run.result.outcome == platform::RunOutcome::Cancelled) return Cancel();
    m_current =
        run.result.Succeeded() && platform::IsReadableFile(step.file) ? step.file : step.scratch;
    if (m_current == step.scratch) {
        m_context.log.Printf("turned file not redistilled (%s): %s\r\n", FailureReason(run).c_str(),
                             step.scratch.c_str());
    }
    return std::nullopt;
}

PipelineRun::StepResult PipelineRun::Impose(const JobPlan& plan, const PlanStep& step) {
    return Guarded([&]() -> StepResult {
        DebugLog& log = m_context.log;
        log.Printf("nUp file m_filename: %s to %s\r\n", m_current.c_str(), step.file.c_str());
        if (platform::IsReadableFile(m_current)) {
            log.Printf("OK! opened nUp file m_filename: %s\r\n", m_current.c_str());
        } else {
            log.Printf("ERROR! - can't open nUp file m_filename: %s\r\n", m_current.c_str());
        }
        Progress(5);
        log.Printf("nUp m_filenameOut: %s\r\n", step.file.c_str());
        StepAnswer answer = RunEngine(plan, step);
        log.Printf("nUp status: %s\r\n", answer.text.c_str());
        Progress(6);
        if (answer.kind == StepAnswer::Kind::Done) return std::nullopt;
        if (plan.cleaning) {
            Note(kDoneWithoutCleaning +
                 ("the imposition of the cleaned file failed (" + answer.text + ")"));
            return kRetry;
        }
        if (m_request.IsBatchCall()) {
            Tell(answer.text);
        } else {
            Tell("Imposed file: " + m_input + " to " + m_output + "\n\n" + answer.text);
        }
        return kProcessImpositionFailed;
    });
}

// Only a cleaned file that reads as the same document replaces the imposed one; otherwise the
// imposed file stands and the user is told in one line why the output was not cleaned (the
// cleaning script's own words go to the debug log).
void PipelineRun::CleanOutput(const JobPlan& plan, const PlanStep& step) {
    ProgramCall call = CleaningCall(step.cleaningScript, plan.output, step.file);
    Progress(6);
    KeptErrors run = RunProgramKeepingErrors(call, m_context.ui, m_context.log,
                                             m_work.Path() + "cleaning-errors.txt");
    if (run.result.outcome == platform::RunOutcome::Cancelled) {
        m_cancelled = true;
        return;
    }
    int imposedPages = PdfPageCount(plan.output);
    int cleanedPages = PdfPageCount(step.file);
    if (run.result.Succeeded() && imposedPages > 0 && cleanedPages == imposedPages &&
        std::rename(step.file.c_str(), plan.output.c_str()) == 0) {
        return;
    }
    m_context.log.Printf("cleaned output not used: %s\r\n", step.file.c_str());
    std::string reason = !run.result.Succeeded() ? FailureReason(run)
                         : cleanedPages < 0
                             ? "the cleaned file cannot be read"
                             : "the cleaned file has " + std::to_string(cleanedPages) +
                                   " pages instead of " + std::to_string(imposedPages);
    Note("output not cleaned: " + reason);
    // A window's batch run only logs it, as the row's status says the rest.
    if (!m_request.IsBatchCall() || m_context.commandLineMode) {
        m_context.ui.Message("output not cleaned: " + reason);
    }
}

void PipelineRun::Reorder(const JobPlan& plan) {
    int result = ReorderSplitPages(plan.output);
    if (result == kReorderNotWholeSheets) {
        std::string text =
            "Pages not reordered: the page count of " + m_output + " is not a multiple of 4.";
        m_context.log.Printf("%s\r\n", text.c_str());
        if (!m_request.IsBatchCall()) m_context.ui.Message(text);
    }
}

int PipelineRun::Finish(const JobPlan& plan) {
    if (Cancelled()) return Cancel();
    std::string error = PutOutputInPlace(plan.output, m_output);
    if (!error.empty()) {
        Tell("Can't write " + m_output + ": " + error);
        return kProcessOtherFailure;
    }
    Progress(kLastProgressPosition);
    if (!m_report.note.empty()) m_context.ui.Status(m_report.note);
    if (!m_request.IsBatchCall() && !m_context.commandLineMode && !m_request.calibration) {
        m_context.ui.Message(kDoneMessage, kProgramTitle);
    }
    return kProcessDone;
}

}  // namespace desktop
