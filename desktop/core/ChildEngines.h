// The engines as child processes: each call is one `turnelle` or `gridane` program started
// without a shell, its options the call's settings (EngineOptions), the file names after the
// end of the options, its own temporary files in a folder the caller gives. Nothing of the
// process's own engine objects is touched, so calls may come from any thread.
//
// Children are started through a function the caller gives (ChildrenIn starts them here), so
// that a caller decides how a child is waited for and when it has become stale.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "desktop/core/StepEngines.h"

namespace desktop {

// One child to start: the program's path, its arguments, and entries ("NAME=value") that join
// its environment.
struct ChildCall {
    std::string program;
    std::vector<std::string> arguments;
    std::vector<std::string> environment;
};

struct ChildOutcome {
    bool stale = false;  // ended because its result is no longer wanted
    bool ok = false;     // ended by itself with status 0
    std::string output;  // its standard output and error together
};

// Starts a child, waits for it and says how it ended.
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

class ChildEngines : public StepEngines {
  public:
    // The children's temporary files go to `tempFolder`.
    ChildEngines(const StepPrograms& programs, const StartChild& start, std::string tempFolder)
        : m_programs(programs), m_start(start), m_tempFolder(std::move(tempFolder)) {}
    EngineAnswer Turn(const TurnelleSettings& settings, const std::string& input,
                      const std::string& output) override;
    EngineAnswer Impose(const std::vector<PropertyPut>& puts, const std::string& input,
                        const std::string& output) override;

  private:
    ChildOutcome Start(const std::string& program, std::vector<std::string> arguments,
                       const std::string& input, const std::string& output);

    const StepPrograms& m_programs;
    const StartChild& m_start;
    std::string m_tempFolder;
};

}  // namespace desktop
