// Carrying out a preview's plan (PreviewPlan.h): its rotation, doubling and imposition steps,
// each through RunEngineStep with the engines as child processes (ChildEngines.h), its files in
// the preview's folder. Cleaning is left out (it changes no picture), and so are padding and
// reordering, whose libraries keep process-wide state that the window's own run may be using.
// The window's engine objects are never touched, so a preview may run on any thread; it reads
// only the plan.
#pragma once

#include <string>

#include "desktop/core/ChildEngines.h"
#include "desktop/core/PreviewPlan.h"

namespace desktop {

struct PreviewOutcome {
    bool stale = false;
    std::string imposed;  // the imposed file; empty when there is none
    std::string note;     // why there is none
    std::string fitted;   // the grid step-and-repeat chose, as the engine printed it; or empty
};

// Carries out `preview`'s steps with `programs`, each started by `start`.
PreviewOutcome RunPreview(const PreviewPlan& preview, const StepPrograms& programs,
                          const StartChild& start);

}  // namespace desktop
