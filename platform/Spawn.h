// Starting an outside program without a shell: the parts that waiting for it (RunAndWait.h)
// and keeping it running beside this program (ChildProcess.h) share.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

// What a started program gets besides its arguments.
struct SpawnSettings {
    // The program's whole environment, "NAME=value" entries.
    std::vector<std::string> environment;
    // When not empty, standard error goes to this file (created or emptied).
    std::string errorFile;
    // With an error file: standard output goes there too, the two in the order written.
    bool outputWithErrors = false;
    // When not negative, this descriptor becomes the program's standard input.
    int standardInput = -1;
    // The address space (RLIMIT_AS) of the program and of what it starts; 0: no limit.
    uint64_t addressSpaceLimit = 0;
};

// Starts the program at `path` with `arguments` in a process group of its own (so that ending
// the group ends what it started too), with the default handling of the signals this program
// catches. The pid, or -1 with `error` set.
pid_t SpawnInGroup(const std::string& path, const std::vector<std::string>& arguments,
                   const SpawnSettings& settings, std::string* error);

// Ends the process group of `pid`, politely first (SIGTERM), then for sure (SIGKILL) when the
// program has not ended within two seconds; reaps `pid` and gives its wait status.
void EndProcessGroup(pid_t pid, int* status);

// This program's environment with `entries` ("NAME=value") replacing the entries of the same
// names or added.
std::vector<std::string> EnvironmentWith(const std::vector<std::string>& entries);

// A fresh folder inside $TMPDIR (or /tmp), named `prefix` and six random characters, that only
// this user can enter; empty with `error` set on failure.
std::string MakePrivateFolder(std::string_view prefix, std::string* error);

}  // namespace platform
