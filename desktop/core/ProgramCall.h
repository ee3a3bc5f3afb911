// An outside program to start: its name as the system knows it ("Scanvey.exe", "Koblin.bat"),
// the parameter text as the system builds it (for the debug log), and the same parameters as
// an argument list in which every file name is one argument whatever characters it holds. The
// program is started with the argument list, never by splitting the text again.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace desktop {

struct ProgramCall {
    std::string program;                 // "Pictavo.exe", "Koblin.bat", ...
    std::string parameters;              // the parameter text
    std::vector<std::string> arguments;  // the parameters, one per argument

    bool operator==(const ProgramCall&) const = default;
};

// The name of our program that stands for a system program name: "Scanvey.exe" -> "scanvey",
// "wkhtmltopdf32.exe" -> "wkhtmltopdf", "Koblin.bat" -> "koblin", "KoblinP.bat" -> "koblinp";
// any other name loses a ".exe" or ".bat" ending and is written in lower case.
std::string LinuxProgramName(std::string_view systemName);

// The file title of a name: the text after its last '/' or '\\' (the whole name when there is
// none). Linux hides no extensions, so the extension stays.
std::string FileTitle(std::string_view name);

}  // namespace desktop
