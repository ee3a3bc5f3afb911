#include "desktop/core/CommandLine.h"

#include <algorithm>

#include "desktop/core/BatchList.h"

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

std::string UsageText() {
    return "Usage: velmorade [OPTION | NAME]...\n"
           "Imposes PDF files with the settings of a setup file. Arguments act in the order\n"
           "given; without -h the window opens.\n"
           "\n"
           "  -c FILE      load the setup file FILE            velmorade -h -c booklet.plf ...\n"
           "  -f FOLDER    batch list output folder            velmorade -h -f out/ list.lst -p\n"
           "  -h           quiet mode: no window, messages on standard error\n"
           "  -j N         batch rows at once (default: cores) velmorade -h -j 2 list.lst -p\n"
           "  -o FILE      the output file                     velmorade -h -o out.pdf in.pdf -p\n"
           "  -p           process: the input file, or the batch list when there is one\n"
           "  -q           quit, saving the settings to Default.plf\n"
           "  NAME.lst     read a batch list                   velmorade -h -f out jobs.lst -p -q\n"
           "  PATTERN      add matching files to the batch list (quote it: 'scans/*.pdf')\n"
           "  NAME         the input file                      velmorade -h -o b.pdf a.pdf -p\n"
           "  --watch FOLDER  watch the hot folder FOLDER until SIGTERM: files arriving in\n"
           "               FOLDER/in are imposed with the job FOLDER/job.plf into FOLDER/out,\n"
           "               then moved to FOLDER/done (or FOLDER/error with NAME.log saying why)\n"
           "               (takes only -j)     velmorade --watch ~/booklets -j 2\n"
           "  --help       print this text\n"
           "  --version    print the version\n"
           "\n"
           "Example: velmorade -h -c job.plf -o out.pdf input.pdf -p -q\n"
           "In quiet mode the program ends after its arguments. Exit status: 0 when every file\n"
           "processed succeeded, else the result code of the last failure: 1 no input name,\n"
           "2 no output name (or the output is the input), 3 input unreadable, 4 conversion or\n"
           "rotation failed, 5 engine call failed, 6 other failure, 7 imposition failed.\n";
}

std::string VersionText() {
    return "velmorade (Velmora Desktop Edition) 2.02\n";
}

}  // namespace desktop
