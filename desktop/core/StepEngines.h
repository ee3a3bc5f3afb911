// The engine steps of a plan (rotation, the doubling pass, imposition), carried out one way for
// the run and the preview alike. `RunEngineStep` decides what a step's engine gets (its settings
// as a fresh engine needs them, FreshEnginePuts), what the step reads and writes, and what the
// engine's answer means; the engines themselves are a back end the caller picks: the session's
// engine objects in this process (`InProcessEngines`, the run) or the engines' programs as
// child processes (ChildEngines.h, the preview, which may run on any thread beside a run).
#pragma once

#include <string>
#include <vector>

#include "desktop/core/EngineSettings.h"
#include "desktop/core/JobPlan.h"

namespace desktop {

class EngineObjects;
class UiPort;

// What an engine said to one call.
struct EngineAnswer {
    bool stopped = false;  // ended from outside (a newer preview was asked for): no result
    // The engine's status text: the rotation's is empty on success, else its message; the
    // imposition's is empty on success, the pre-pass file's name for the doubling pass, else
    // its message.
    std::string status;
    std::string fitted;  // the grid step-and-repeat chose, as the engine words it; or empty
};

class StepEngines {
  public:
    virtual ~StepEngines() = default;
    // Turns the pages of `input` into `output` as `settings` say.
    virtual EngineAnswer Turn(const TurnelleSettings& settings, const std::string& input,
                              const std::string& output) = 0;
    // Imposes `input` into `output` with an engine given `puts` on top of its defaults.
    virtual EngineAnswer Impose(const std::vector<PropertyPut>& puts, const std::string& input,
                                const std::string& output) = 0;
};

// The session's engine objects; the imposition's progress goes to `ui`'s bar. The calls throw
// `com::ComError` as the engine objects' helpers do (EngineObjects.h).
class InProcessEngines : public StepEngines {
  public:
    InProcessEngines(EngineObjects& engines, UiPort& ui) : m_engines(engines), m_ui(ui) {}
    EngineAnswer Turn(const TurnelleSettings& settings, const std::string& input,
                      const std::string& output) override;
    EngineAnswer Impose(const std::vector<PropertyPut>& puts, const std::string& input,
                        const std::string& output) override;

  private:
    EngineObjects& m_engines;
    UiPort& m_ui;
};

struct StepAnswer {
    enum class Kind {
        Done,           // the step's product is `product`
        Stopped,        // ended from outside
        TurnFailed,     // a rotation failed: `text` is its message
        PrePassFailed,  // the doubling pass wrote no pre-pass file: `text` is the engine's status
        ImposeFailed,   // the imposition failed: `text` is its message
    };
    Kind kind = Kind::Done;
    std::string text;
    std::string product;  // what the next step reads: the step's file, or its input when the
                          // step is none of the engine steps
    std::string fitted;   // Impose: the grid step-and-repeat chose, or empty
};

// Carries out `step` of `plan` on `input` with `engines`. Rotation writes `step.file`; the
// doubling pass imposes into the plan's output to get the doubled file, turns it into
// `step.scratch` (the run may redistil it into `step.file`) and removes the doubled file; the
// imposition writes `step.file`. Any other step is passed over.
StepAnswer RunEngineStep(StepEngines& engines, const JobPlan& plan, const PlanStep& step,
                         const std::string& input);

}  // namespace desktop
