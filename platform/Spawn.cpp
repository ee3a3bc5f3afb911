#include "platform/Spawn.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <thread>

#include "platform/RunAndWait.h"

extern char** environ;

namespace platform {

namespace {

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

std::vector<char*> Pointers(std::vector<std::string>& texts) {
    std::vector<char*> pointers;
    for (std::string& text : texts) pointers.push_back(text.data());
    pointers.push_back(nullptr);
    return pointers;
}

pid_t Spawn(std::string path, std::vector<std::string> arguments, const SpawnSettings& settings,
            std::string* error) {
    arguments.insert(arguments.begin(), path);
    std::vector<char*> argv = Pointers(arguments);
    std::vector<std::string> environment(settings.environment);
    std::vector<char*> envp = Pointers(environment);

    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
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
    if (settings.standardInput >= 0) {
        posix_spawn_file_actions_adddup2(&files, settings.standardInput, STDIN_FILENO);
    }
    if (!settings.errorFile.empty()) {
        posix_spawn_file_actions_addopen(&files, STDERR_FILENO, settings.errorFile.c_str(),
                                         O_WRONLY | O_CREAT | O_TRUNC, 0600);
        if (settings.outputWithErrors) {
            posix_spawn_file_actions_adddup2(&files, STDERR_FILENO, STDOUT_FILENO);
        }
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

std::string_view EntryName(std::string_view entry) {
    return entry.substr(0, entry.find('='));
}

}  // namespace

pid_t SpawnInGroup(const std::string& path, const std::vector<std::string>& arguments,
                   const SpawnSettings& settings, std::string* error) {
    std::string startPath = path;
    std::vector<std::string> startArguments = arguments;
    WithAddressSpaceLimit(settings.addressSpaceLimit, &startPath, &startArguments);
    pid_t pid = Spawn(startPath, startArguments, settings, error);
    if (pid > 0 && settings.addressSpaceLimit != 0 && startPath == path) {
        LimitAddressSpace(pid, settings.addressSpaceLimit);
    }
    return pid;
}

void EndProcessGroup(pid_t pid, int* status) {
    using Clock = std::chrono::steady_clock;
    ::kill(-pid, SIGTERM);
    auto deadline = Clock::now() + std::chrono::milliseconds(2000);
    while (Clock::now() < deadline) {
        if (::waitpid(pid, status, WNOHANG) == pid) {
            ::kill(-pid, SIGKILL);  // anything of the group left behind
            return;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    ::kill(-pid, SIGKILL);
    ::waitpid(pid, status, 0);
}

std::vector<std::string> EnvironmentWith(const std::vector<std::string>& entries) {
    std::vector<std::string> environment;
    for (char** entry = environ; *entry != nullptr; ++entry) {
        bool replaced = std::any_of(entries.begin(), entries.end(), [&](const std::string& given) {
            return EntryName(given) == EntryName(*entry);
        });
        if (!replaced) environment.emplace_back(*entry);
    }
    environment.insert(environment.end(), entries.begin(), entries.end());
    return environment;
}

std::string MakePrivateFolder(std::string_view prefix, std::string* error) {
    const char* base = std::getenv("TMPDIR");
    std::string pattern = (base != nullptr && base[0] == '/' ? base : "/tmp");
    pattern += "/" + std::string(prefix) + "XXXXXX";
    if (::mkdtemp(pattern.data()) == nullptr) {
        *error = "cannot make a temporary folder: " + std::string(std::strerror(errno));
        return {};
    }
    return pattern;
}

}  // namespace platform
