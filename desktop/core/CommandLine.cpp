#include "desktop/core/CommandLine.h"

#include <algorithm>

#include "desktop/core/BatchList.h"
#include "velmora/Version.h"

namespace desktop {

namespace {

using Kind = CommandLineAction::Kind;

bool TakesValue(char letter) {
    return letter == 'c' || letter == 'f' || letter == 'o';
}

Kind OptionKind(char letter) {
    switch (letter) {
        case 'c':
            return Kind::LoadSetup;
        case 'f':
            return Kind::OutputFolder;
        case 'h':
            return Kind::Quiet;
        case 'o':
            return Kind::Output;
        case 'p':
            return Kind::Process;
        case 'q':
            return Kind::Quit;
        case 'j':
            return Kind::BatchRows;
        default:
            return Kind::Ignored;
    }
}

bool IsNumber(std::string_view text) {
    return !text.empty() &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

Kind NameKind(std::string_view name) {
    if (name.find(".lst") != std::string_view::npos) return Kind::LoadList;
    if (IsWildcardPattern(name)) return Kind::AddPattern;
    return Kind::Input;
}

}  // namespace

bool CommandLine::HasQuiet() const {
    return std::any_of(actions.begin(), actions.end(),
                       [](const CommandLineAction& a) { return a.kind == Kind::Quiet; });
}

CommandLine ParseCommandLine(const std::vector<std::string>& arguments) {
    CommandLine line;
    for (size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (argument == "--help") {
            line.help = true;
            continue;
        }
        if (argument == "--version") {
            line.version = true;
            continue;
        }
        if (argument == "--password-file" && i + 1 < arguments.size()) {
            line.passwordFile = arguments[++i];
            continue;
        }
        // An action in its place like -p; without a name it fails as -p does without -o.
        if (argument == "--calibration") {
            line.actions.push_back(
                {Kind::Calibration, i + 1 < arguments.size() ? arguments[++i] : ""});
            line.commandLineMode = true;
            continue;
        }
        if (argument == "--watch" && i + 1 < arguments.size()) {
            line.watchFolder = arguments[++i];
            line.commandLineMode = true;
            continue;
        }
        if (!argument.empty() && argument[0] == '-') {
            line.commandLineMode = true;
            char letter = argument.size() > 1 ? argument[1] : '\0';
            std::string value = argument.size() > 2 ? argument.substr(2) : "";
            if (TakesValue(letter) && value.empty() && i + 1 < arguments.size()) {
                value = arguments[++i];
            }
            // "-j" takes the next word only when it is a number, so "-j list.lst" still reads
            // the list.
            if (letter == 'j' && value.empty() && i + 1 < arguments.size() &&
                IsNumber(arguments[i + 1])) {
                value = arguments[++i];
            }
            line.actions.push_back({OptionKind(letter), value});
            continue;
        }
        line.actions.push_back({NameKind(argument), argument});
    }
    return line;
}

namespace {

using platform::OptionHelp;
using platform::OptionValue;

constexpr OptionHelp kOptions[] = {
    {"-c", "FILE", "load the setup file FILE", "velmorade -h -c booklet.plf ...",
     OptionValue::File},
    {"-f", "FOLDER", "batch list output folder", "velmorade -h -f out/ list.lst -p",
     OptionValue::Folder},
    {"-h", "", "quiet mode: no window, messages on standard error", ""},
    {"-j", "N", "batch rows at once (default: cores)", "velmorade -h -j 2 list.lst -p",
     OptionValue::Number},
    {"-o", "FILE", "the output file", "velmorade -h -o out.pdf in.pdf -p", OptionValue::File},
    {"-p", "", "process: the input file, or the batch list when there is one", ""},
    {"-q", "", "quit, saving the settings to Default.plf", ""},
    {"NAME.lst", "", "read a batch list", "velmorade -h -f out jobs.lst -p -q", OptionValue::File,
     true},
    {"PATTERN", "", "add matching files to the batch list (quote it: 'scans/*.pdf')", "",
     OptionValue::Text, true},
    {"NAME", "", "the input file", "velmorade -h -o b.pdf a.pdf -p", OptionValue::File, true},
    {"--calibration", "FILE",
     "instead of imposing, write FILE: a two-sided test sheet of\n"
     "the job's first sheet; the labels under the back's cross give\n"
     "BACKSHIFT (only for layouts with back sides)",
     "velmorade -h -c cards.plf c.pdf --calibration t.pdf", OptionValue::File},
    {"--watch", "FOLDER",
     "watch the hot folder FOLDER until SIGTERM: files arriving in\n"
     "FOLDER/in are imposed with the job FOLDER/job.plf into FOLDER/out,\n"
     "then moved to FOLDER/done (or FOLDER/error with NAME.log saying why)\n"
     "(takes only -j)",
     "velmorade --watch ~/booklets -j 2", OptionValue::Folder},
    {"--password-file", "FILE",
     "its first line is the password that opens\n"
     "protected inputs",
     "velmorade -h --password-file pw.txt -o out.pdf locked.pdf -p", OptionValue::File},
    {"--help", "", "print this text", ""},
    {"--version", "", "print the version", ""},
};

// Pads `text` with blanks to `width` columns, with at least one blank after it.
std::string Padded(std::string text, size_t width) {
    text.append(text.size() < width ? width - text.size() : 1, ' ');
    return text;
}

// The option's lines of --help: its name in the first 15 columns (at least two blanks
// after a longer one), its text beside it, the example at column 51. A text of several lines
// continues at column 15 and, having no column to line up with, takes its example five blanks
// after its last line.
std::string HelpLines(const OptionHelp& option) {
    std::string left = "  " + std::string(option.option);
    if (!option.argument.empty()) left += " " + std::string(option.argument);
    std::string line = left.size() < 14 ? Padded(left, 15) : left + "  ";
    std::string_view rest = option.text;
    std::string lines;
    for (size_t end = rest.find('\n'); end != std::string_view::npos; end = rest.find('\n')) {
        lines += line + std::string(rest.substr(0, end)) + "\n";
        line = std::string(15, ' ');
        rest.remove_prefix(end + 1);
    }
    line += rest;
    if (!option.example.empty()) {
        line = lines.empty() ? Padded(line, 51) : line + "     ";
        line += option.example;
    }
    return lines + line + "\n";
}

}  // namespace

std::span<const platform::OptionHelp> CommandLineOptions() {
    return kOptions;
}

std::string_view UsageSummary() {
    return "Imposes PDF files with the settings of a setup file. Arguments act in the order\n"
           "given; without -h the window opens.\n";
}

std::string_view ExitStatusText() {
    return "In quiet mode the program ends after its arguments. Exit status: 0 when every file\n"
           "processed succeeded, else the result code of the last failure: 1 no input name,\n"
           "2 no output name (or the output is the input), 3 input unreadable, 4 conversion or\n"
           "rotation failed, 5 engine call failed, 6 other failure, 7 imposition failed.\n";
}

std::string UsageText() {
    std::string text = "Usage: velmorade [OPTION | NAME]...\n" + std::string(UsageSummary()) + "\n";
    for (const OptionHelp& option : kOptions) text += HelpLines(option);
    return text + "\nExample: velmorade -h -c job.plf -o out.pdf input.pdf -p -q\n" +
           std::string(ExitStatusText());
}

std::string VersionText() {
    return velmora::VersionLine("velmorade");
}

}  // namespace desktop
