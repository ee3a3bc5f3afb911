#include "platform/RunAndWait.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/resource.h>
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

extern char** environ;

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

// Ends the child's whole process group: politely first, then for sure.
void EndProcessGroup(pid_t pid, int* status) {
    ::kill(-pid, SIGTERM);
    auto deadline = Clock::now() + milliseconds(2000);
    while (Clock::now() < deadline) {
        if (::waitpid(pid, status, WNOHANG) == pid) {
            ::kill(-pid, SIGKILL);  // anything of the group left behind
            return;
        }
        std::this_thread::sleep_for(milliseconds(10));
    }
    ::kill(-pid, SIGKILL);
    ::waitpid(pid, status, 0);
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

// The caller's environment, with TMPDIR set to `temporary` when that is not empty.
std::vector<std::string> ChildEnvironment(const std::string& temporary) {
    std::vector<std::string> entries;
    for (char** entry = environ; *entry != nullptr; ++entry) {
        if (!temporary.empty() && std::strncmp(*entry, "TMPDIR=", 7) == 0) continue;
        entries.emplace_back(*entry);
    }
    if (!temporary.empty()) entries.push_back("TMPDIR=" + temporary);
    return entries;
}

// A fresh folder inside $TMPDIR (or /tmp) that only this user can enter; empty on failure.
std::string MakePrivateFolder(std::string* error) {
    const char* base = std::getenv("TMPDIR");
    std::string pattern = (base != nullptr && base[0] == '/' ? base : "/tmp");
    pattern += "/velmora-run-XXXXXX";
    if (::mkdtemp(pattern.data()) == nullptr) {
        *error = "cannot make a temporary folder: " + std::string(std::strerror(errno));
        return {};
    }
    return pattern;
}

// The program and arguments to start for `path` with an address-space limit of `bytes` (0:
// none): util-linux's prlimit sets the limit and then becomes the program, so the limit holds
// from its first instruction and for everything it starts.
void WithAddressSpaceLimit(uint64_t bytes, std::string* path, std::vector<std::string>* arguments) {
    if (bytes == 0) return;
    std::string limiter = FindProgram("prlimit");
    if (limiter.empty()) return;
    std::string limit = std::to_string(bytes);
    std::vector<std::string> wrapped = {"--as=" + limit + ":" + limit, "--", *path};
    wrapped.insert(wrapped.end(), arguments->begin(), arguments->end());
    *path = limiter;
    *arguments = std::move(wrapped);
}

// Without prlimit: the limit is set on the started program, which may have begun by then.
void LimitAddressSpace(pid_t pid, uint64_t bytes) {
    rlimit limit{static_cast<rlim_t>(bytes), static_cast<rlim_t>(bytes)};
    ::prlimit(pid, RLIMIT_AS, &limit, nullptr);
}

pid_t Spawn(const std::string& path, const std::vector<std::string>& arguments,
            const std::vector<std::string>& environment, const std::string& errorFile,
            std::string* error) {
    std::vector<char*> argv;
    std::string argv0 = path;
    argv.push_back(argv0.data());
    std::vector<std::string> copies(arguments);
    for (std::string& argument : copies) argv.push_back(argument.data());
    argv.push_back(nullptr);
    std::vector<std::string> environmentCopies(environment);
    std::vector<char*> envp;
    for (std::string& entry : environmentCopies) envp.push_back(entry.data());
    envp.push_back(nullptr);

    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    // A group of its own, so that ending it ends what a script started too; the child gets
    // the default signal handling whatever this process set.
    posix_spawnattr_setpgroup(&attributes, 0);
    sigset_t defaults;
    sigemptyset(&defaults);
    sigaddset(&defaults, SIGPIPE);
    sigaddset(&defaults, SIGTERM);
    sigaddset(&defaults, SIGINT);
    posix_spawnattr_setsigdefault(&attributes, &defaults);
    sigset_t none;
    sigemptyset(&none);
    posix_spawnattr_setsigmask(&attributes, &none);
    posix_spawnattr_setflags(
        &attributes, POSIX_SPAWN_SETPGROUP | POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK);
    posix_spawn_file_actions_t files;
    posix_spawn_file_actions_init(&files);
    if (!errorFile.empty()) {
        posix_spawn_file_actions_addopen(&files, STDERR_FILENO, errorFile.c_str(),
                                         O_WRONLY | O_CREAT | O_TRUNC, 0600);
    }
    pid_t pid = -1;
    int failure = ::posix_spawn(&pid, path.c_str(), &files, &attributes, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&files);
    posix_spawnattr_destroy(&attributes);
    if (failure != 0) {
        *error = "cannot start " + path + ": " + std::strerror(failure);
        return -1;
    }
    return pid;
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
    if (!programFolder.empty()) {
        std::string installation = InstallationFolderOf(programFolder);
        for (const std::string& folder :
             {programFolder, installation + "/" + std::string(kHelperProgramFolder)}) {
            if (IsExecutableFile(folder + "/" + fileName)) return folder + "/" + fileName;
        }
    }
    std::string_view rest = searchPath;
    while (true) {
        size_t colon = rest.find(':');
        std::string dir(rest.substr(0, colon));
        if (dir.empty()) dir = ".";
        if (IsExecutableFile(dir + "/" + fileName)) return dir + "/" + fileName;
        if (colon == std::string_view::npos) return {};
        rest.remove_prefix(colon + 1);
    }
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
        temporary = MakePrivateFolder(&result.error);
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
    std::string startPath = path;
    std::vector<std::string> startArguments = arguments;
    WithAddressSpaceLimit(options.addressSpaceLimit, &startPath, &startArguments);
    pid_t pid = Spawn(startPath, startArguments, ChildEnvironment(temporary), options.errorFile,
                      &result.error);
    if (pid < 0) return result;
    if (options.addressSpaceLimit != 0 && startPath == path) {
        LimitAddressSpace(pid, options.addressSpaceLimit);
    }

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
