#include "platform/ChildProcess.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <thread>

#include "platform/RunAndWait.h"

namespace platform {

bool ChildProcess::Start(std::string_view program, const std::vector<std::string>& arguments,
                         SpawnSettings settings, std::string* error) {
    End(std::chrono::milliseconds(0));
    std::string path = FindProgram(program);
    if (path.empty()) {
        *error = "program not found: " + std::string(program);
        return false;
    }
    // Both ends close on exec, so no other program started meanwhile holds the lifeline; the
    // program gets the reading end as its standard input.
    int ends[2];
    if (::pipe2(ends, O_CLOEXEC) != 0) {
        *error = "cannot make a pipe: " + std::string(std::strerror(errno));
        return false;
    }
    settings.standardInput = ends[0];
    m_pid = SpawnInGroup(path, arguments, settings, error);
    ::close(ends[0]);
    if (m_pid < 0) {
        ::close(ends[1]);
        return false;
    }
    m_lifeline = ends[1];
    return true;
}

bool ChildProcess::IsRunning() {
    if (m_pid < 0) return false;
    int status = 0;
    if (::waitpid(m_pid, &status, WNOHANG) != m_pid) return true;
    ::kill(-m_pid, SIGKILL);  // what it started and left behind
    Ended();
    return false;
}

void ChildProcess::CloseLifeline() {
    if (m_lifeline >= 0) ::close(m_lifeline);
    m_lifeline = -1;
}

void ChildProcess::End(std::chrono::milliseconds grace) {
    CloseLifeline();
    if (m_pid < 0) return;
    auto deadline = std::chrono::steady_clock::now() + grace;
    while (IsRunning() && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    if (m_pid < 0) return;
    int status = 0;
    EndProcessGroup(m_pid, &status);
    Ended();
}

void ChildProcess::Ended() {
    m_pid = -1;
    CloseLifeline();
}

}  // namespace platform
