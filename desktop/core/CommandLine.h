// The program's command line as a list of actions, taken in the order given.
//
// Each argument is one word as the shell passed it and is taken exactly as it stands: a name
// with blanks, double quotes or leading blanks stays whole and unchanged (the shell has already
// removed the quoting the user typed). An option's value is the text after its first two
// characters ("-cjob.plf"); when that is empty the next argument is the value ("-c job.plf").
// Any argument beginning with "-" turns command-line mode on; an unknown option letter does
// nothing else.
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/OptionHelp.h"

namespace desktop {

struct CommandLineAction {
    enum class Kind {
        LoadSetup,     // -c NAME: load a setup file (without override)
        OutputFolder,  // -f FOLDER: the batch window's output folder
        Quiet,         // -h: quiet mode, no window
        Output,        // -o NAME: OUTFILE
        Process,       // -p: the Process command
        Calibration,   // --calibration FILE: the job's test sheet for the back shift
        Quit,          // -q: close as the Close button does
        BatchRows,     // -j N: the batch runs up to N rows at once
        LoadList,      // a name containing ".lst": read that batch list
        AddPattern,    // a name containing "*" or "?": add the matching files to the list
        Input,         // any other name: INFILE
        Ignored,       // an unknown option letter
    };
    Kind kind;
    std::string value;

    bool operator==(const CommandLineAction&) const = default;
};

struct CommandLine {
    std::vector<CommandLineAction> actions;
    bool commandLineMode = false;
    bool help = false;        // --help
    bool version = false;     // --version
    std::string watchFolder;  // --watch FOLDER: watch that hot folder (FolderWatch.h)
    // --password-file FILE: its first line opens inputs that need a password.
    std::string passwordFile;

    bool HasQuiet() const;
};

// The actions of `arguments` (the words after the program's name).
CommandLine ParseCommandLine(const std::vector<std::string>& arguments);

// The options and arguments, in the order --help lists them.
std::span<const platform::OptionHelp> CommandLineOptions();
// What the program does (two lines), and what its exit status tells.
std::string_view UsageSummary();
std::string_view ExitStatusText();
// The usage text that --help prints: every option with an example.
std::string UsageText();
std::string VersionText();

}  // namespace desktop
