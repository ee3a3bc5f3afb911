#include "desktop/core/JobPlan.h"

namespace desktop {

std::string_view StepName(StepKind kind) {
    switch (kind) {
        case StepKind::Convert:
            return "convert";
        case StepKind::Pad:
            return "pad";
        case StepKind::CleanInput:
            return "clean input";
        case StepKind::Rotate:
            return "rotate";
        case StepKind::DoubleAndTurn:
            return "double and turn";
        case StepKind::Impose:
            return "impose";
        case StepKind::CleanOutput:
            return "clean output";
        case StepKind::Reorder:
            return "reorder";
    }
    return "";
}

std::string_view StepTitle(StepKind kind) {
    switch (kind) {
        case StepKind::Convert:
            return "Converting to PDF";
        case StepKind::Pad:
            return "Adding blank pages";
        case StepKind::CleanInput:
            return "Cleaning input";
        case StepKind::Rotate:
            return "Turning pages";
        case StepKind::DoubleAndTurn:
            return "Doubling pages";
        case StepKind::Impose:
            return "Imposing";
        case StepKind::CleanOutput:
            return "Cleaning output";
        case StepKind::Reorder:
            return "Putting pages in reading order";
    }
    return "";
}

const PlanStep* JobPlan::Find(StepKind kind) const {
    for (const PlanStep& step : steps) {
        if (step.kind == kind) return &step;
    }
    return nullptr;
}

std::vector<PropertyPut> FreshEnginePuts(const JobPlan& plan, const PlanStep& step) {
    std::vector<PropertyPut> puts;
    const PlanStep* doubling = plan.Find(StepKind::DoubleAndTurn);
    if (step.kind == StepKind::Impose && doubling != nullptr) puts = doubling->puts;
    puts.insert(puts.end(), step.puts.begin(), step.puts.end());
    return puts;
}

FirstSheets FirstSheetsOf(const JobSetup& job) {
    JobSetup storage;
    const JobSetup& setup = ImposedJob(job, storage);
    if (setup.processingType.rfind("1up", 0) == 0) return {2, false};
    // Folded signatures are printed on both sides of their sheets.
    if (IsChosen(setup.duplex2Up) || IsChosen(setup.typeAB4) || setup.fold != 0) return {2, true};
    // Cards with backs behind fronts: each sheet of fronts is followed by its backs.
    if (setup.repeat != 0 && setup.duplexBacks != 0) return {2, true};
    return {1, false};
}

std::string SheetCaption(const FirstSheets& sheets, int index) {
    if (sheets.frontAndBack) return index == 0 ? "Sheet 1 front" : "Sheet 1 back";
    if (sheets.count == 1) return "Sheet 1";
    return "Sheet " + std::to_string(index + 1);
}

bool TurnsPage(const TurnelleSettings& settings, int page, int pageCount) {
    if (!settings.type) return false;
    bool firstHalf = 2 * page <= pageCount;
    switch (*settings.type) {
        case 2:
            return true;
        case 3:
            return page % 2 == 1;
        case 4:
            return page % 2 == 0;
        case 5:
            return firstHalf;
        case 6:
            return !firstHalf;
        default:
            return false;
    }
}

namespace {

PlanStep Step(StepKind kind, std::string file = {}) {
    PlanStep step;
    step.kind = kind;
    step.file = std::move(file);
    return step;
}

PlanStep PadStep(const JobSetup& setup, const PageFacts& facts, const PlanOptions& options) {
    PlanStep step =
        Step(StepKind::Pad, options.workFolder + "blanks_" + options.inputTitle + ".pdf");
    step.blanksNeedCount = PaddingNeedsPageCount(setup);
    step.blanks = PaddingCount(setup, step.blanksNeedCount ? facts.pageCount : 0);
    return step;
}

PlanStep DoublingStep(const JobSetup& setup, const std::string& output, std::string_view script) {
    PlanStep step = Step(StepKind::DoubleAndTurn, output + ".rot_gs.pdf");
    step.scratch = output + ".rot";
    step.puts = GridanePuts(setup);
    std::vector<PropertyPut> doubling = DoublingPuts(setup);
    step.puts.insert(step.puts.end(), doubling.begin(), doubling.end());
    step.rotation = DoublingRotationSettings(setup);
    step.cleaningScript = script;
    return step;
}

}  // namespace

JobPlan PlanJob(const JobSetup& job, const PageFacts& facts, const PlanOptions& options) {
    JobSetup storage;
    const JobSetup& setup = ImposedJob(job, storage);
    JobPlan plan;
    plan.cleaning = options.cleaning && setup.dontCleanFile == 0 && !options.calibration;
    plan.output = options.workFolder + "output/" + options.outputTitle;
    std::string_view script = CleaningScript(setup);
    std::vector<PlanStep>& steps = plan.steps;
    if (facts.needsConversion) steps.push_back(Step(StepKind::Convert));
    if (PaddingRequested(setup)) steps.push_back(PadStep(setup, facts, options));
    if (plan.cleaning) {
        PlanStep clean =
            Step(StepKind::CleanInput, options.workFolder + "__" + options.inputTitle + ".pdf");
        clean.cleaningScript = script;
        steps.push_back(clean);
    }
    if (RotationRequested(setup)) {
        PlanStep rotate = Step(StepKind::Rotate, plan.output + ".rot");
        rotate.rotation = RotationSettings(setup);
        steps.push_back(rotate);
    }
    bool doubling = DoublingRequested(setup);
    if (doubling) steps.push_back(DoublingStep(setup, plan.output, script));
    PlanStep impose = Step(StepKind::Impose, plan.output);
    impose.puts = doubling ? AfterDoublingPuts() : GridanePuts(setup);
    if (options.calibration) {
        impose.puts.push_back(CalibrationPut());
        steps.push_back(impose);
        return plan;
    }
    steps.push_back(impose);
    if (plan.cleaning) {
        PlanStep clean = Step(StepKind::CleanOutput, plan.output + "_clean.pdf");
        clean.cleaningScript = script;
        steps.push_back(clean);
    }
    if (setup.processingType == kLayoutSplitVertical && setup.reorder1 != 0) {
        steps.push_back(Step(StepKind::Reorder, plan.output + ".rot"));
    }
    return plan;
}

}  // namespace desktop
