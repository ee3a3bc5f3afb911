// Starting an outside program and waiting for it, without a shell.
//
// The program gets an argument list split from a parameter text (ParameterText.h), so a name
// with blanks, quotes, "$(...)", ";" or backquotes reaches it whole and is never interpreted.
// While it runs, the caller's poll is asked every `pollInterval` whether to go on (a window
// handles its events there and may answer "cancelled"); a cancelled or timed-out program is
// ended together with the processes it started.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

// The path of program `name`: a name with a folder as it stands; a bare name in the running
// program's installation's helper folder first (PREFIX/libexec/velmora, where the converters
// and cleaning scripts are installed), then beside the running program, then on PATH, then in
// its installation's bin/. Empty when no executable is found.
std::string FindProgram(std::string_view name);

// The same for a program in `programFolder` with `searchPath` as PATH.
std::string FindProgramFrom(std::string_view name, const std::string& programFolder,
                            std::string_view searchPath);

// A file name as an outside program must receive it: an absolute path, so that it begins with
// "/" and no program reads it as an option ("-x", "--x") or an argument file ("@x"). A relative
// name is joined to the working folder, with nothing else changed; an absolute name and an
// empty one stay as they are. Empty too when the working folder cannot be known.
std::string FileArgument(std::string_view name);

// The end-of-options marker for the programs that have one: every argument after it is a name.
inline constexpr std::string_view kEndOfOptions = "--";

struct RunOptions {
    // Asked between waits; returning false ends the program (cancel). May be empty.
    std::function<bool()> keepWaiting;
    std::chrono::milliseconds pollInterval{30};
    // 0 waits without a limit.
    std::chrono::milliseconds timeout{0};
    // When not empty, the program's standard error goes to this file (created or emptied)
    // instead of this process's, for the caller to read.
    std::string errorFile;
    // With an error file: the program's standard output goes there too.
    bool outputWithErrors = false;

    // The address space (RLIMIT_AS) of the program and of what it starts; 0: no limit.
    uint64_t addressSpaceLimit = 0;
    // Entries ("NAME=value") that replace or join this program's environment for the program.
    std::vector<std::string> environment;
    // A private temporary folder: made inside $TMPDIR (or /tmp) for this run, given to the
    // program as its TMPDIR and removed with all it holds when the program has ended, however
    // it ended. Without it the program shares the caller's temporary folder.
    bool privateTemporaryFolder = false;
};

enum class RunOutcome {
    Exited,          // the program ended by itself; see exitCode
    NotStarted,      // not found or not startable; see error
    Cancelled,       // keepWaiting answered false and the program was ended
    TimedOut,        // still running after the timeout and ended
    KilledBySignal,  // ended by a signal from elsewhere; exitCode holds 128 + the signal
};

struct RunResult {
    RunOutcome outcome = RunOutcome::NotStarted;
    int exitCode = -1;
    std::string error;

    bool Succeeded() const { return outcome == RunOutcome::Exited && exitCode == 0; }
};

// Runs `program` (found with FindProgram) with `arguments` and waits for it.
RunResult RunAndWait(std::string_view program, const std::vector<std::string>& arguments,
                     const RunOptions& options = {});

// The same with the arguments split from `parameterText`.
RunResult RunAndWait(std::string_view program, std::string_view parameterText,
                     const RunOptions& options = {});

}  // namespace platform
