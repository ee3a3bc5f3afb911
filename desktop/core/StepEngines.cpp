#include "desktop/core/StepEngines.h"

#include <cstdio>

#include "desktop/core/EngineObjects.h"
#include "desktop/core/EngineStatus.h"
#include "desktop/core/StepProgressSink.h"

namespace desktop {

EngineAnswer InProcessEngines::Turn(const TurnelleSettings& settings, const std::string& input,
                                    const std::string& output) {
    PutTurnelleSettings(m_engines.Turnelle(), settings);
    return {false, GetTurnelleFile(m_engines.Turnelle(), input, output, ""), {}};
}

EngineAnswer InProcessEngines::Impose(const std::vector<PropertyPut>& puts,
                                      const std::string& input, const std::string& output) {
    PutGridaneProperties(m_engines.Gridane(), puts);
    StepProgressSink toBar(m_engines.ProgressSink(), m_ui);
    ScopedProgressSink reporting(m_engines, &toBar);
    return {false, GetGridaneFile(m_engines.Gridane(), input, output), {}};
}

namespace {

StepAnswer Answer(StepAnswer::Kind kind, std::string text) {
    StepAnswer answer;
    answer.kind = kind;
    answer.text = std::move(text);
    return answer;
}

StepAnswer Product(std::string file) {
    StepAnswer answer;
    answer.product = std::move(file);
    return answer;
}

// Turns `input` into `output`, which the next step then reads.
StepAnswer Turn(StepEngines& engines, const TurnelleSettings& settings, const std::string& input,
                const std::string& output) {
    EngineAnswer turned = engines.Turn(settings, input, output);
    if (turned.stopped) return Answer(StepAnswer::Kind::Stopped, {});
    if (!turned.status.empty()) return Answer(StepAnswer::Kind::TurnFailed, turned.status);
    return Product(output);
}

// The engine's pre-pass writes the input followed by itself beside the plan's output; that
// file is turned into the scratch file and then removed.
StepAnswer DoubleAndTurn(StepEngines& engines, const JobPlan& plan, const PlanStep& step,
                         const std::string& input) {
    EngineAnswer doubled = engines.Impose(FreshEnginePuts(plan, step), input, plan.output);
    if (doubled.stopped) return Answer(StepAnswer::Kind::Stopped, {});
    if (ClassifyEngineStatus(doubled.status, plan.output) != EngineOutcome::PrePassFile) {
        return Answer(StepAnswer::Kind::PrePassFailed, doubled.status);
    }
    StepAnswer turned = Turn(engines, step.rotation, doubled.status, step.scratch);
    std::remove(doubled.status.c_str());
    return turned;
}

StepAnswer Impose(StepEngines& engines, const JobPlan& plan, const PlanStep& step,
                  const std::string& input) {
    EngineAnswer imposed = engines.Impose(FreshEnginePuts(plan, step), input, step.file);
    if (imposed.stopped) return Answer(StepAnswer::Kind::Stopped, {});
    switch (ClassifyEngineStatus(imposed.status, step.file)) {
        case EngineOutcome::Done:
            break;
        case EngineOutcome::PrePassFile:
            std::remove(imposed.status.c_str());
            break;
        case EngineOutcome::Failure:
            return Answer(StepAnswer::Kind::ImposeFailed, imposed.status);
    }
    StepAnswer answer = Product(step.file);
    answer.fitted = imposed.fitted;
    return answer;
}

}  // namespace

StepAnswer RunEngineStep(StepEngines& engines, const JobPlan& plan, const PlanStep& step,
                         const std::string& input) {
    switch (step.kind) {
        case StepKind::Rotate:
            return Turn(engines, step.rotation, input, step.file);
        case StepKind::DoubleAndTurn:
            return DoubleAndTurn(engines, plan, step, input);
        case StepKind::Impose:
            return Impose(engines, plan, step, input);
        default:
            return Product(input);
    }
}

}  // namespace desktop
