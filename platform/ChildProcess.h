// A program kept running beside this one, such as a server that answers many requests.
//
// The program runs in a process group of its own, and its standard input is a lifeline: a pipe
// whose writing end only this object holds (never passed on to other programs). The program sees
// its input end when End() closes it, and also when this program ends in any way, killed
// included, so it can end itself and clean up after a crash here. The object ends the
// program's whole group when it goes. Calls are not serialized: one owner makes them.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Spawn.h"

namespace platform {

class ChildProcess {
  public:
    ChildProcess() = default;
    ~ChildProcess() { End(std::chrono::milliseconds(0)); }
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    // Starts `program` (found with FindProgram) with `arguments` and `settings` (whose
    // standardInput is the lifeline's). False with `error` set when it cannot be started.
    bool Start(std::string_view program, const std::vector<std::string>& arguments,
               SpawnSettings settings, std::string* error);

    // True while the program runs. Once it has ended it is reaped, and whatever it left of its
    // group is ended too.
    bool IsRunning();
    pid_t Pid() const { return m_pid; }

    // Closes the lifeline, gives the program `grace` to end by itself, then ends its whole
    // group; waits until the program has ended. Nothing when none runs.
    void End(std::chrono::milliseconds grace);
    // Closes the lifeline without waiting, so that several programs end side by side; End()
    // then waits for this one.
    void CloseLifeline();

  private:
    void Ended();

    pid_t m_pid = -1;
    int m_lifeline = -1;  // the writing end of the program's standard input
};

}  // namespace platform
