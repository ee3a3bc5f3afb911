#include "platform/RunAndWait.h"

#include <poll.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <thread>

#include "platform/ParameterText.h"
#include "platform/SharedLibrary.h"
#include "platform/Spawn.h"

namespace platform {

namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

bool IsExecutableFile(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
           ::access(path.c_str(), X_OK) == 0;
}

// A descriptor that becomes readable when the child ends; -1 where the kernel has none.
int OpenProcessDescriptor(pid_t pid) {
#ifdef SYS_pidfd_open
    return static_cast<int>(::syscall(SYS_pidfd_open, pid, 0));
#else
    return -1;
#endif
}

// Waits up to `interval` for the child to end; true with `status` set when it has.
bool WaitForExit(pid_t pid, int pidfd, milliseconds interval, int* status) {
    pid_t done = ::waitpid(pid, status, WNOHANG);
    if (done == pid) return true;
    if (pidfd >= 0) {
        pollfd entry{pidfd, POLLIN, 0};
        ::poll(&entry, 1, static_cast<int>(interval.count()));
    } else {
        std::this_thread::sleep_for(std::min(interval, milliseconds(10)));
    }
    return ::waitpid(pid, status, WNOHANG) == pid;
}

RunResult FromStatus(int status) {
    RunResult result;
    if (WIFEXITED(status)) {
        result.outcome = RunOutcome::Exited;
        result.exitCode = WEXITSTATUS(status);
    } else {
        result.outcome = RunOutcome::KilledBySignal;
        result.exitCode = 128 + (WIFSIGNALED(status) ? WTERMSIG(status) : 0);
    }
    return result;
}

}  // namespace

std::string FileArgument(std::string_view name) {
    if (name.empty() || name.front() == '/') return std::string(name);
    std::string folder(4096, '\0');
    while (::getcwd(folder.data(), folder.size()) == nullptr) {
        if (errno != ERANGE) return {};
        folder.resize(folder.size() * 2);
    }
    folder.resize(std::strlen(folder.c_str()));
    if (folder.empty() || folder.front() != '/') return {};
    if (folder.back() != '/') folder += '/';
    return folder + std::string(name);
}

std::string FindProgramFrom(std::string_view name, const std::string& programFolder,
                            std::string_view searchPath) {
    std::string fileName(name);
    if (fileName.empty()) return {};
    if (fileName.find('/') != std::string::npos) {
        return IsExecutableFile(fileName) ? fileName : std::string();
    }
    std::string installation = InstallationFolderOf(programFolder);
    if (!programFolder.empty()) {
        // The helper folder first: an installation in /usr has the system's programs beside
        // its own, and our web-page front must win over the system's wkhtmltopdf there.
        for (const std::string& folder :
             {installation + "/" + std::string(kHelperProgramFolder), programFolder}) {
            if (IsExecutableFile(folder + "/" + fileName)) return folder + "/" + fileName;
        }
    }
    std::string_view rest = searchPath;
    while (true) {
        size_t colon = rest.find(':');
        std::string dir(rest.substr(0, colon));
        if (dir.empty()) dir = ".";
        if (IsExecutableFile(dir + "/" + fileName)) return dir + "/" + fileName;
        if (colon == std::string_view::npos) break;
        rest.remove_prefix(colon + 1);
    }
    // Last, the installation's bin/: a helper, or a test program in the build tree's tests/,
    // finds the main programs there; the search path comes first so a stand-in put on it wins.
    if (installation.empty()) return {};
    std::string main = installation + "/bin/" + fileName;
    return IsExecutableFile(main) ? main : std::string();
}

std::string FindProgram(std::string_view name) {
    const char* path = std::getenv("PATH");
    return FindProgramFrom(name, ProgramFolder(),
                           path != nullptr ? path : "/usr/local/bin:/usr/bin:/bin");
}

RunResult RunAndWait(std::string_view program, const std::vector<std::string>& arguments,
                     const RunOptions& options) {
    RunResult result;
    std::string path = FindProgram(program);
    if (path.empty()) {
        result.error = "program not found: " + std::string(program);
        return result;
    }
    std::string temporary;
    if (options.privateTemporaryFolder) {
        temporary = MakePrivateFolder("velmora-run-", &result.error);
        if (temporary.empty()) return result;
    }
    // Whatever the program leaves in its temporary folder goes when it has ended.
    struct RemoveWhenDone {
        std::string folder;
        ~RemoveWhenDone() {
            std::error_code ignored;
            if (!folder.empty()) std::filesystem::remove_all(folder, ignored);
        }
    } removal{temporary};
    SpawnSettings settings;
    std::vector<std::string> entries = options.environment;
    if (!temporary.empty()) entries.push_back("TMPDIR=" + temporary);
    settings.environment = EnvironmentWith(entries);
    settings.errorFile = options.errorFile;
    settings.outputWithErrors = options.outputWithErrors;
    settings.addressSpaceLimit = options.addressSpaceLimit;
    pid_t pid = SpawnInGroup(path, arguments, settings, &result.error);
    if (pid < 0) return result;

    int pidfd = OpenProcessDescriptor(pid);
    auto started = Clock::now();
    int status = 0;
    RunOutcome ending = RunOutcome::Exited;
    while (!WaitForExit(pid, pidfd, options.pollInterval, &status)) {
        if (options.timeout.count() > 0 && Clock::now() - started >= options.timeout) {
            ending = RunOutcome::TimedOut;
        } else if (options.keepWaiting && !options.keepWaiting()) {
            ending = RunOutcome::Cancelled;
        } else {
            continue;
        }
        EndProcessGroup(pid, &status);
        break;
    }
    if (pidfd >= 0) ::close(pidfd);
    if (ending != RunOutcome::Exited) {
        result.outcome = ending;
        result.error = ending == RunOutcome::TimedOut ? "timed out" : "cancelled";
        return result;
    }
    return FromStatus(status);
}

RunResult RunAndWait(std::string_view program, std::string_view parameterText,
                     const RunOptions& options) {
    return RunAndWait(program, SplitParameterText(parameterText), options);
}

}  // namespace platform
