// The command-line program over one engine: `PROGRAM [--NAME[=VALUE] ...] INPUT OUTPUT`. Each
// option puts the contract's property of that name on the engine object (a bare --NAME puts
// 1; a text property needs its value), the job method runs on the two names, and the status
// text decides the exit code. The engine's progress is printed as it comes, its warnings
// after the status. `--help` lists the contract's properties with their defaults and meanings.
#pragma once

#include <ostream>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "com/ComponentContract.h"
#include "platform/OptionHelp.h"

namespace com {

// What a text property's value is, for shell completion: a file name, a paper name, ...
struct PropertyValueKind {
    std::string_view property;
    platform::OptionValue value;
};

struct EngineCommand {
    std::string_view program;   // "gridane"
    std::string_view summary;   // what the command does, lines after the usage
    std::string_view epilogue;  // lines after the options (file lists, exit codes)
    const ComponentContract& contract;
    // A status that is no failure, though not empty (the name of a file the run made beside
    // `output` for the caller to go on with); nullptr when every non-empty status is a failure.
    bool (*isResultStatus)(const std::string& status, const std::string& output) = nullptr;
    // Properties whose values completion can offer; the others take numbers or free text.
    std::span<const PropertyValueKind> valueKinds = {};
    // A flag that makes the job print a result instead of writing OUTPUT: with it on, the
    // command takes INPUT alone, runs the job with an empty OUTPUT, prints a result status on
    // standard output as it is and the progress on standard error. Empty when there is none.
    std::string_view printOption = {};
};

// The usage line: "usage: PROGRAM [--NAME=VALUE ...] INPUT OUTPUT\n".
std::string UsageText(const EngineCommand& command);
// The whole --help text.
std::string HelpText(const EngineCommand& command);
// The value's placeholder of a property's option: "TEXT" or "N".
std::string_view OptionArgument(const PropertyContract& property);

// Runs the command over `args` (without the program's name). Exit code: 0 when the status is
// empty (or a result status), 1 when the engine could not be made or the run failed, 2 for a
// command line it cannot use.
int RunEngineCommand(const EngineCommand& command, const std::vector<std::string>& args,
                     std::ostream& out, std::ostream& err);

}  // namespace com
