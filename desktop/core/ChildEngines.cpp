#include "desktop/core/ChildEngines.h"

#include <chrono>
#include <cstdio>
#include <fstream>
#include <sstream>

#include "desktop/core/EngineStatus.h"
#include "desktop/core/ProgramCall.h"
#include "platform/RunAndWait.h"
#include "platform/Text.h"

namespace desktop {

namespace {

constexpr std::chrono::minutes kChildTimeout{1};
// What is kept of a child's output: its last lines say what went wrong.
constexpr std::streamoff kMostOutputKept = 64 * 1024;

std::string ReadTail(const std::string& file) {
    std::ifstream in(file, std::ios::binary | std::ios::ate);
    if (!in) return {};
    std::streamoff size = in.tellg();
    in.seekg(size > kMostOutputKept ? size - kMostOutputKept : 0);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (!line.empty()) lines.push_back(line);
    }
    return lines;
}

std::string LastLine(const std::string& output) {
    std::vector<std::string> lines = Lines(output);
    return lines.empty() ? std::string() : std::string(platform::Trimmed(lines.back()));
}

// What a failed child said, without its progress lines: the engines prefix their messages
// with their names. Never empty.
std::string FailureText(const std::string& output) {
    std::vector<std::string> lines = Lines(output);
    std::string kept;
    for (const std::string& line : lines) {
        for (std::string_view prefix : {"gridane: ", "turnelle: "}) {
            if (line.starts_with(prefix)) {
                kept += (kept.empty() ? "" : "\n") + line.substr(prefix.size());
            }
        }
    }
    if (kept.empty() && !lines.empty()) kept = lines.back();
    return kept.empty() ? "the engine failed without a message" : kept;
}

// The line in which the engine names the grid step-and-repeat chose, or empty.
std::string FittedLine(const std::string& output) {
    for (const std::string& line : Lines(output)) {
        if (line.find(" per sheet, ") != std::string::npos)
            return std::string(platform::Trimmed(line));
    }
    return {};
}

}  // namespace

StartChild ChildrenIn(std::string outputFile, std::function<bool()> stale) {
    return [outputFile = std::move(outputFile), stale = std::move(stale)](const ChildCall& call) {
        platform::RunOptions options;
        options.keepWaiting = [&stale] { return !stale(); };
        options.pollInterval = std::chrono::milliseconds(15);
        options.timeout = kChildTimeout;
        options.errorFile = outputFile;
        options.outputWithErrors = true;
        options.environment = call.environment;
        platform::RunResult result = platform::RunAndWait(call.program, call.arguments, options);
        ChildOutcome outcome;
        outcome.output = ReadTail(outputFile);
        std::remove(outputFile.c_str());
        outcome.stale = result.outcome == platform::RunOutcome::Cancelled;
        outcome.ok = result.Succeeded();
        if (result.outcome == platform::RunOutcome::NotStarted) {
            outcome.output = call.program + " could not be started: " + result.error;
        } else if (result.outcome == platform::RunOutcome::TimedOut) {
            outcome.output += "\nstill running after a minute, and ended";
        }
        return outcome;
    };
}

StepPrograms FindStepPrograms() {
    return {platform::FindProgram("gridane"), platform::FindProgram("turnelle")};
}

EngineAnswer ChildEngines::Turn(const TurnelleSettings& settings, const std::string& input,
                                const std::string& output) {
    ChildOutcome run = Start(m_programs.turnelle, EngineOptions(settings), input, output);
    return {run.stale, run.ok ? std::string() : FailureText(run.output), {}};
}

// The program prints the name of a pre-pass file as its last line, as the object returns it.
EngineAnswer ChildEngines::Impose(const std::vector<PropertyPut>& puts, const std::string& input,
                                  const std::string& output) {
    ChildOutcome run = Start(m_programs.gridane, EngineOptions(puts), input, output);
    EngineAnswer answer{run.stale, {}, FittedLine(run.output)};
    std::string last = LastLine(run.output);
    if (!run.ok) {
        answer.status = FailureText(run.output);
    } else if (ClassifyEngineStatus(last, output) == EngineOutcome::PrePassFile) {
        answer.status = last;
    }
    return answer;
}

// Absolute names after the end of the options: no name is read as an option.
ChildOutcome ChildEngines::Start(const std::string& program, std::vector<std::string> arguments,
                                 const std::string& input, const std::string& output) {
    arguments.push_back(platform::FileArgument(input));
    arguments.push_back(platform::FileArgument(output));
    // The engines' own temporary files (the doubling pass) stay in the private folder.
    return m_start({program, std::move(arguments), {"TMPDIR=" + m_tempFolder}});
}

}  // namespace desktop
