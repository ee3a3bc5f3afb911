// What a program's manual page and its shell completion say, gathered from the tables its own
// --help is made from: the desktop program's command-line table, the engines' member lists
// (through their commands), the option tables of scanvey, regsvr and velmora-cups. Plain data
// owning its texts.
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/OptionHelp.h"

namespace manual {

// One option as the programs' tables give it (platform::OptionHelp), owning its texts.
struct ManualOption {
    std::string option;
    std::string argument;
    std::string text;
    std::string example;
    platform::OptionValue value = platform::OptionValue::None;
    bool isArgument = false;
};

struct ProgramManual {
    std::string name;         // "gridane"
    std::string purpose;      // the NAME line after the dash
    std::string synopsis;     // the arguments after the name
    std::string description;  // lines; an empty line starts a new paragraph
    // What joins an option to its value: "=" (--sheet=A4), " " (-c job.plf), "" (-ifile.tif).
    std::string valueSeparator;
    std::vector<ManualOption> options;
    std::string exitStatus;

    void AddOptions(std::span<const platform::OptionHelp> table);
};

// Every program of the suite: velmorade, gridane, turnelle, scanvey, regsvr, velmora-cups.
std::vector<ProgramManual> SuiteManuals();

// The paper names the sheet setting knows, for completion.
std::vector<std::string_view> SheetPaperNames();

}  // namespace manual
