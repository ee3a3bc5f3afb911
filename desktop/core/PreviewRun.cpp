#include "desktop/core/PreviewRun.h"

#include <filesystem>

#include "desktop/core/PdfProtection.h"
#include "platform/RunAndWait.h"
#include "platform/Text.h"

namespace desktop {

namespace {

// The input as the steps read it: a protected input is shown from its unencrypted copy in the
// preview's folder, as the run imposes it. Empty with `note` set when it needs a password.
std::string PreviewInput(const PreviewPlan& preview, const std::string& folder, std::string& note) {
    std::string input = platform::FileArgument(preview.input);
    std::string unlocked =
        folder + "unlocked/" + std::string(platform::FileNamePart(preview.input));
    switch (UnlockPdf(input, {}, unlocked).kind) {
        case UnlockOutcome::Kind::Unlocked:
            return unlocked;
        case UnlockOutcome::Kind::NeedsPassword:
        case UnlockOutcome::Kind::WrongPassword:
            note = "The input needs a password: Impose asks for it.";
            return {};
        default:
            return input;
    }
}

}  // namespace

PreviewOutcome RunPreview(const PreviewPlan& preview, const StepPrograms& programs,
                          const StartChild& start) {
    PreviewOutcome outcome;
    if (std::string refusal = PreviewRefusal(preview); !refusal.empty()) {
        outcome.note = refusal;
        return outcome;
    }
    std::string folder(platform::FolderPart(preview.plan.output));
    std::error_code ignored;
    std::filesystem::create_directories(folder, ignored);
    std::string current = PreviewInput(preview, folder, outcome.note);
    if (current.empty()) return outcome;
    ChildEngines engines(programs, start, preview.folder);
    for (const PlanStep& step : preview.plan.steps) {
        StepAnswer answer = RunEngineStep(engines, preview.plan, step, current);
        if (answer.kind == StepAnswer::Kind::Stopped) {
            outcome.stale = true;
            return outcome;
        }
        if (answer.kind != StepAnswer::Kind::Done) {
            outcome.note = "The input can not be imposed with these settings:\n" + answer.text;
            return outcome;
        }
        current = answer.product;
        if (step.kind == StepKind::Impose) {
            outcome.imposed = step.file;
            outcome.fitted = answer.fitted;
        }
    }
    return outcome;
}

}  // namespace desktop
