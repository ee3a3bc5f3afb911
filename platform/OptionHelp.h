// One command-line option (or kind of argument) as a program describes it: the program's
// --help, its manual page and its shell completion are all made from one table of these, so
// they cannot tell different stories. The texts are static strings the table owns.
#pragma once

#include <string_view>

namespace platform {

// What the shell offers as the option's value, or as the argument itself.
enum class OptionValue {
    None,    // a switch: no value
    File,    // a file name
    Folder,  // a folder name
    Number,  // a number: nothing to offer
    Paper,   // a paper name of the sheet setting
    Text,    // free text: nothing to offer
};

struct OptionHelp {
    std::string_view option;    // "-c", "--help"; for an argument its placeholder ("NAME.lst")
    std::string_view argument;  // the value's placeholder ("FILE"); empty for a switch
    std::string_view text;      // what it does, one line
    std::string_view example;   // a command line using it; may be empty
    OptionValue value = OptionValue::None;
    bool isArgument = false;  // a name on the command line rather than an option
};

}  // namespace platform
