#include "desktop/core/Pipeline.h"

#include <cstdio>
#include <filesystem>

#include "desktop/core/DebugLog.h"
#include "desktop/core/EngineSettings.h"
#include "desktop/core/Interrupts.h"
#include "desktop/core/OutsidePrograms.h"
#include "desktop/core/PadwickBinding.h"
#include "desktop/core/PdfProtection.h"
#include "desktop/core/PipelineRun.h"
#include "desktop/core/UiPort.h"
#include "platform/File.h"
#include "platform/TempFiles.h"
#include "platform/Text.h"

namespace desktop {

std::string UnreadableInputText(const std::string& input) {
    std::error_code error;
    bool exists = std::filesystem::exists(input, error);
    return std::string(kInvalidInputMessage) + ": " + input + "\n" +
           (exists ? kInputNotReadable : kNoSuchInput);
}

std::string NoConverterText(const std::string& input) {
    return std::string(kInvalidInputMessage) + ": " + input + "\n" + kNoConverter;
}

ProcessRequest JobRequest(const JobSetup& setup) {
    return {kNoRow, setup.inFile, setup.outFile};
}

int ProcessFile(PipelineContext& context, const ProcessRequest& request, ProcessReport* report) {
    PipelineRun run(context, request);
    int result = run.Run();
    if (report != nullptr) *report = run.Report();
    return result;
}

PipelineRun::PipelineRun(PipelineContext& context, const ProcessRequest& request)
    : m_context(context), m_request(request), m_setup(context.setup) {}

int PipelineRun::Run() {
    Progress(1);
    if (StepResult result = CheckNames()) return *result;
    if (StepResult result = CheckWorkFolder()) return *result;
    if (StepResult result = Convert()) return *result;
    if (StepResult result = Unlock()) return *result;
    CountPages();
    int result = Attempt(m_setup.dontCleanFile == 0);
    if (result == kRetry) result = Attempt(false);
    return result;
}

PipelineRun::StepResult PipelineRun::CheckNames() {
    m_input = m_request.input;
    m_output = m_request.output;
    if (m_request.IsBatchCall()) {
        std::error_code ignored;
        std::filesystem::create_directories(std::string(platform::FolderPart(m_output)), ignored);
    }
    if (m_input.empty()) {
        m_context.ui.Message(kNoInputMessage);
        return kProcessNoInput;
    }
    if (m_output.empty()) {
        m_context.ui.Message(kNoOutputMessage);
        return kProcessNoOutput;
    }
    m_report.output = m_output;
    // A web address names no file here: the web converter fetches it. A batch row's input
    // was found readable when the rows were planned.
    bool webPage = IsWebAddress(m_input) && UrlIsWebPage(m_input);
    if (!webPage && platform::IsSpecialFile(m_input)) {
        m_context.ui.Message(m_input + kNotAFileMessage);
        return kProcessBadInput;
    }
    if (!webPage && !m_request.IsBatchCall() && !platform::IsReadableFile(m_input)) {
        m_context.ui.Message(UnreadableInputText(m_input));
        return kProcessBadInput;
    }
    // The engine would refuse to write over its input, and putting the output in place would
    // then replace the user's file.
    if (platform::IsSameFile(m_input, m_output)) {
        char text[4096];
        std::snprintf(text, sizeof text, kSameFileMessage, m_output.c_str());
        m_context.ui.Message(text);
        return kProcessNoOutput;
    }
    return std::nullopt;
}

// Every working file lives in the private folder; without one nothing is written at all.
PipelineRun::StepResult PipelineRun::CheckWorkFolder() {
    std::error_code error;
    if (m_work.IsPrivate()) std::filesystem::create_directory(m_work.Path() + "output", error);
    if (m_work.IsPrivate() && !error) return std::nullopt;
    Tell("Can't make a working folder in " + platform::TempFolder() +
         " (check TMPDIR and its free space).");
    return kProcessOtherFailure;
}

PipelineRun::StepResult PipelineRun::Convert() {
    m_pdfInput = m_input;
    switch (RouteOfInput(m_input, m_context.conversion)) {
        case InputRoute::AsIs:
            return std::nullopt;
        case InputRoute::NoConverter:
            // It would only puzzle the engine.
            Tell(NoConverterText(m_input));
            return kProcessBadInput;
        case InputRoute::Convert:
            break;
    }
    m_facts.needsConversion = true;
    ShowStep(StepKind::Convert);
    ConversionOutcome converted =
        ConvertToPdf(m_input, m_context.conversion, m_work.Path(), m_context.ui, m_context.log,
                     m_context.office, m_context.converterTimeout);
    if (converted.cancelled || Cancelled()) return Cancel();
    if (converted.pdfName.empty() || !converted.succeeded) {
        std::string because = converted.stopText.empty() ? "" : "\n" + converted.stopText;
        m_context.ui.Message(std::string(kConversionFailedMessage) + because);
        return kProcessConversionFailed;
    }
    KeepConvertedCopy(converted.pdfName, m_context.conversion.pdfDir, m_context.log);
    m_pdfInput = converted.pdfName;
    return std::nullopt;
}

PipelineRun::StepResult PipelineRun::Unlock() {
    // The copy keeps the input's file name, so that every name made from it stays the same.
    std::string copy =
        m_work.Path() + "unlocked/" + std::string(platform::FileNamePart(m_pdfInput));
    UnlockOutcome unlocked = UnlockPdf(m_pdfInput, m_context.password, copy);
    using Kind = UnlockOutcome::Kind;
    switch (unlocked.kind) {
        case Kind::NotEncrypted:
            return std::nullopt;
        case Kind::Unlocked:
            m_context.log.Printf("unlocked copy: %s\r\n", copy.c_str());
            m_pdfInput = copy;
            Note(kUnlockedNote);
            return std::nullopt;
        case Kind::NeedsPassword:
            Tell(NeedsPasswordMessage(m_input));
            return kProcessBadInput;
        case Kind::WrongPassword:
            Tell(WrongPasswordMessage(m_input));
            return kProcessBadInput;
        case Kind::Failed:
            Tell("Can't make an unencrypted copy of " + m_input + ": " + unlocked.error);
            return kProcessOtherFailure;
    }
    return std::nullopt;
}

// The input's page count, when the plan's padding depends on it: counted once, for the plan.
void PipelineRun::CountPages() {
    JobPlan draft = PlanJob(m_setup, m_facts, {});
    const PlanStep* pad = draft.Find(StepKind::Pad);
    if (pad == nullptr || !pad->blanksNeedCount) return;
    m_facts.pageCount = PadwickBinding().GetPageCount(m_pdfInput);
    if (m_facts.pageCount < 0) {
        m_context.log.Printf("page count failed (%d): no blank pages added\r\n", m_facts.pageCount);
    }
}

int PipelineRun::Attempt(bool cleaning) {
    m_current = m_pdfInput;
    m_enginesStarted = false;
    PlanOptions options{m_work.Path(), FileTitle(m_current), FileTitle(m_output), cleaning,
                        m_request.calibration};
    JobPlan plan = PlanJob(m_setup, m_facts, options);
    Progress(2);
    if (StepResult result = Walk(plan)) return *result;
    return Finish(plan);
}

PipelineRun::StepResult PipelineRun::Walk(const JobPlan& plan) {
    for (const PlanStep& step : plan.steps) {
        if (step.kind == StepKind::Convert) continue;  // done once, before any attempt
        if (StepResult result = Take(plan, step)) return result;
        if (Cancelled()) return Cancel();
    }
    return std::nullopt;
}

PipelineRun::StepResult PipelineRun::Take(const JobPlan& plan, const PlanStep& step) {
    ShowStep(step.kind);
    if (step.kind >= StepKind::Rotate && !m_enginesStarted) {
        m_enginesStarted = true;
        Progress(4);
    }
    switch (step.kind) {
        case StepKind::Convert:
            return std::nullopt;
        case StepKind::Pad:
            return Pad(step);
        case StepKind::CleanInput:
            return CleanInput(step);
        case StepKind::Rotate:
            return Rotate(plan, step);
        case StepKind::DoubleAndTurn:
            return DoubleAndTurn(plan, step);
        case StepKind::Impose:
            return Impose(plan, step);
        case StepKind::CleanOutput:
            CleanOutput(plan, step);
            return std::nullopt;
        case StepKind::Reorder:
            Reorder(plan);
            return std::nullopt;
    }
    return std::nullopt;
}

PipelineRun::StepResult PipelineRun::Pad(const PlanStep& step) {
    int blanks = step.blanks;
    if (blanks > kMaxBlankPages) {
        char text[128];
        std::snprintf(text, sizeof text, kTooManyBlanksMessage, blanks);
        Tell(text);
        return kProcessOtherFailure;
    }
    if (blanks >= 1) {
        int added = PadwickBinding().AddBlanks(m_current, step.file, blanks);
        if (added != 1 || !platform::IsReadableFile(step.file)) {
            Tell("Blank pages could not be added to " + m_input + " (padding result " +
                 std::to_string(added) + ").");
            return kProcessOtherFailure;
        }
        m_current = step.file;
    }
    if (m_context.log.IsOn()) {
        m_context.log.Printf("blanksFilename: %s\r\n", m_current.c_str());
        m_context.ui.Message(m_current);
    }
    return std::nullopt;
}

// A cleaning that cannot run (the script missing or failing, or writing nothing) is no reason
// to give the job up: it is done again without cleaning, and the user is told so.
PipelineRun::StepResult PipelineRun::CleanInput(const PlanStep& step) {
    std::string postScript = m_work.Path() + FileTitle(m_current) + ".ps";
    m_context.log.Printf("temp ps file: %s\r\n", postScript.c_str());
    m_context.log.Printf("temp pdf file: %s\r\n", step.file.c_str());
    Progress(2);
    ProgramCall call = CleaningCall(step.cleaningScript, m_current, step.file);
    m_context.log.Printf("params: %s\r\n", call.parameters.c_str());
    Progress(3);
    // The script's own words go to the debug log; the note says why in one line.
    KeptErrors run = RunProgramKeepingErrors(call, m_context.ui, m_context.log,
                                             m_work.Path() + "cleaning-errors.txt");
    std::remove(postScript.c_str());
    if (run.result.outcome == platform::RunOutcome::Cancelled) return Cancel();
    if (!run.result.Succeeded() || !platform::IsReadableFile(step.file)) {
        Note(kDoneWithoutCleaning + ("the cleaning program " + call.program + " could not run (" +
                                     FailureReason(run) + ")"));
        return kRetry;
    }
    m_current = step.file;
    return std::nullopt;
}

// The batch window shows its rows' progress itself: the steps of a row are not named.
void PipelineRun::ShowStep(StepKind kind) {
    if (!m_request.IsBatchCall()) m_context.ui.Step(StepTitle(kind));
}

void PipelineRun::Progress(int position) {
    m_context.ui.Progress(position);
    if (m_context.ui.HandlePendingMessages()) m_cancelled = true;
}

bool PipelineRun::Cancelled() {
    return m_cancelled || InterruptSignal() != 0;
}

int PipelineRun::Cancel() {
    m_context.log.Write("cancelled\r\n");
    if (InterruptSignal() == 0) Tell(kCancelledMessage);
    return kProcessCancelled;
}

void PipelineRun::Tell(const std::string& text) {
    if (m_request.IsBatchCall()) {
        m_context.ui.SetRowStatus(m_request.row, text);
    } else {
        m_context.ui.Message(text);
    }
}

void PipelineRun::Note(const std::string& text) {
    m_context.log.Printf("%s\r\n", text.c_str());
    if (m_report.note.empty()) m_report.note = text;
}

}  // namespace desktop
