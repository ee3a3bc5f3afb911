// An outside program to start: its file name here (one of OutsideProgram below), the parameter
// text as the system builds it (for the debug log), and the same parameters as
// an argument list in which every file name is one argument, an absolute path, whatever
// characters it holds. The program is started with the argument list, never by splitting the
// text again.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace desktop {

struct ProgramCall {
    std::string program;                 // "pictavo", "koblin", ...
    std::string parameters;              // the parameter text
    std::vector<std::string> arguments;  // the parameters, one per argument

    bool operator==(const ProgramCall&) const = default;
};

// Builds a call's parameter text and its argument list side by side. Every file name goes in
// through File or GluedFile, which make it an absolute path (platform::FileArgument): whatever
// the user named, a program reads it only as a file, never as an option or an argument file.
// EndOfOptions puts "--" into the argument list before the names of a program that takes it;
// the parameter text keeps the system's form for the log.
class CallBuilder {
  public:
    // `text` (with its leading blanks) goes into the parameter text, `argument` into the list.
    void Option(std::string_view text, std::string argument);
    void EndOfOptions();
    // A file name: after `separator` and in double quotes in the text, alone in the list.
    void File(std::string_view separator, std::string_view name);
    // A file name glued to its option ("-i/in/x.png"): `separator`, the option and the quoted
    // name in the text.
    void GluedFile(std::string_view separator, std::string_view option, std::string_view name);
    bool Empty() const { return m_text.empty(); }
    ProgramCall Build(std::string program) const;

  private:
    std::string m_text;
    std::vector<std::string> m_arguments;
};

// The outside programs a job starts, by their file names (found beside velmorade, in the
// installation's helper folder or on PATH).
namespace OutsideProgram {
inline constexpr std::string_view kCleaning = "koblin";
inline constexpr std::string_view kPrepressCleaning = "koblinp";
inline constexpr std::string_view kWebPage = "wkhtmltopdf";
inline constexpr std::string_view kImage = "pictavo";
inline constexpr std::string_view kTiff = "scanvey";
inline constexpr std::string_view kTextAndDocument = "quillet";
inline constexpr std::string_view kSpreadsheet = "brannock";
}  // namespace OutsideProgram

// The file title of a name: the text after its last '/' or '\\' (the whole name when there is
// none). Linux hides no extensions, so the extension stays.
std::string FileTitle(std::string_view name);

}  // namespace desktop
