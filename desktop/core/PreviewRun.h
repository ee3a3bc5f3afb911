// Carrying out a preview's plan (PreviewPlan.h) as child processes: the rotation, doubling and
// imposition steps, each one `turnelle` or `gridane` call whose options are the step's settings
// as a fresh engine needs them (FreshEnginePuts, EngineOptions), its files in the preview's
// folder. Cleaning is left out (it changes no picture), and so are padding and reordering, whose
// libraries keep process-wide state that the window's own run may be using. The window's engine
// objects are never touched, so a preview may run on any thread; it reads only the plan.
//
// Children are started through a function the caller gives (ChildrenIn starts them here), so
// that a caller decides how a child is waited for and when it has become stale.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "desktop/core/PreviewPlan.h"

namespace desktop {

// One child to start: the program's path, its arguments, and entries ("NAME=value") that join
// its environment.
struct ChildCall {
    std::string program;
    std::vector<std::string> arguments;
    std::vector<std::string> environment;
};

struct ChildOutcome {
    bool stale = false;  // ended because a newer preview was asked for: no result is wanted
    bool ok = false;     // ended by itself with status 0
    std::string output;  // its standard output and error together
};

// Starts a child, waits for it and says how it ended. Called on the preview's thread.
using StartChild = std::function<ChildOutcome(const ChildCall&)>;

// Starts each child without a shell, its output kept in `outputFile` (removed when read); a
// child is ended when `stale` answers true while it runs, or after a minute.
StartChild ChildrenIn(std::string outputFile, std::function<bool()> stale);

// The engines' programs, found as the run finds its outside programs (platform::FindProgram).
struct StepPrograms {
    std::string gridane;
    std::string turnelle;
};
StepPrograms FindStepPrograms();

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
