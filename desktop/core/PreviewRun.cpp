#include "desktop/core/PreviewRun.h"

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "desktop/core/EngineStatus.h"
#include "desktop/core/PdfProtection.h"
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

std::string Trimmed(std::string text) {
    size_t first = text.find_first_not_of(" \t");
    size_t last = text.find_last_not_of(" \t");
    return first == std::string::npos ? std::string() : text.substr(first, last - first + 1);
}

std::string LastLine(const std::string& output) {
    std::vector<std::string> lines = Lines(output);
    return lines.empty() ? std::string() : Trimmed(lines.back());
}

// What a failed child said, without its progress lines: the engines prefix their messages
// with their names.
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
    return kept;
}

// The line in which the engine names the grid step-and-repeat chose, or empty.
std::string FittedLine(const std::string& output) {
    for (const std::string& line : Lines(output)) {
        if (line.find(" per sheet, ") != std::string::npos) return Trimmed(line);
    }
    return {};
}

class PreviewSteps {
  public:
    // The steps read `input` first.
    PreviewSteps(const PreviewPlan& preview, const StepPrograms& programs, const StartChild& start,
                 std::string input)
        : m_input(std::move(input)), m_preview(preview), m_programs(programs), m_start(start) {}

    // Runs `step`; `m_input` becomes its product. Steps that change no picture pass.
    ChildOutcome Run(const PlanStep& step) {
        const JobPlan& plan = m_preview.plan;
        switch (step.kind) {
            case StepKind::Rotate:
                return Turn(step.rotation, m_input, step.file);
            case StepKind::DoubleAndTurn: {
                std::vector<PropertyPut> puts = FreshEnginePuts(plan, step);
                ChildOutcome run = Start(m_programs.gridane, EngineOptions(puts), plan.output);
                std::string doubled = LastLine(run.output);
                if (!run.ok ||
                    ClassifyEngineStatus(doubled, plan.output) != EngineOutcome::PrePassFile) {
                    run.ok = false;
                    return run;
                }
                run = Turn(step.rotation, doubled, step.scratch);
                std::remove(doubled.c_str());
                return run;
            }
            case StepKind::Impose:
                return Start(m_programs.gridane, EngineOptions(FreshEnginePuts(plan, step)),
                             step.file);
            default:
                return {false, true, {}};
        }
    }

  private:
    ChildOutcome Turn(const TurnelleSettings& rotation, std::string input,
                      const std::string& output) {
        m_input = std::move(input);
        ChildOutcome run = Start(m_programs.turnelle, EngineOptions(rotation), output);
        if (run.ok) m_input = output;
        return run;
    }

    // Absolute names after the end of the options: no name is read as an option.
    ChildOutcome Start(const std::string& program, std::vector<std::string> arguments,
                       const std::string& output) {
        arguments.push_back(platform::FileArgument(m_input));
        arguments.push_back(platform::FileArgument(output));
        // The engines' own temporary files (the doubling pass) stay in the private folder.
        return m_start({program, std::move(arguments), {"TMPDIR=" + m_preview.folder}});
    }

    std::string m_input;  // what the next step reads
    const PreviewPlan& m_preview;
    const StepPrograms& m_programs;
    const StartChild& m_start;
};

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

PreviewOutcome RunPreview(const PreviewPlan& preview, const StepPrograms& programs,
                          const StartChild& start) {
    PreviewOutcome outcome;
    if (std::string refusal = PreviewRefusal(preview); !refusal.empty()) {
        outcome.note = refusal;
        return outcome;
    }
    std::string folder(platform::FolderPart(preview.plan.output));
    std::error_code ignored;
    std::filesystem::create_directories(folder, ignored);
    std::string input = platform::FileArgument(preview.input);
    // A protected input is shown from its unencrypted copy, as the run imposes it.
    std::string unlocked =
        folder + "unlocked/" + std::string(platform::FileNamePart(preview.input));
    switch (UnlockPdf(input, {}, unlocked).kind) {
        case UnlockOutcome::Kind::Unlocked:
            input = unlocked;
            break;
        case UnlockOutcome::Kind::NeedsPassword:
        case UnlockOutcome::Kind::WrongPassword:
            outcome.note = "The input needs a password: Impose asks for it.";
            return outcome;
        default:
            break;
    }
    PreviewSteps steps(preview, programs, start, input);
    for (const PlanStep& step : preview.plan.steps) {
        ChildOutcome run = steps.Run(step);
        if (run.stale) {
            outcome.stale = true;
            return outcome;
        }
        if (!run.ok) {
            outcome.note =
                "The input can not be imposed with these settings:\n" + FailureText(run.output);
            return outcome;
        }
        if (step.kind == StepKind::Impose) {
            outcome.imposed = step.file;
            outcome.fitted = FittedLine(run.output);
        }
    }
    return outcome;
}

}  // namespace desktop
