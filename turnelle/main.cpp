// The `turnelle` command: creates the rotation engine through the component runtime (as the
// desktop program does), puts the settings given as options and rotates one file (or a file
// list). Exit 0 when the status text is empty, 1 when a run failed (the status is printed), 2
// for a command line it cannot use.
#include <iostream>
#include <string>
#include <vector>

#include "com/EngineClient.h"

namespace {

constexpr const char* kHelp =
    "Usage: turnelle [--type=N] [--rotateAngle=N] [--rotatePages=TEXT] [--force=N] INPUT OUTPUT\n"
    "Writes a copy of the PDF file INPUT to OUTPUT in which the selected pages are rotated.\n"
    "\n"
    "  --type=N          which pages: 2 all pages (default), 3 odd pages, 4 even pages,\n"
    "                    5 first half, 6 second half, any other value the list --rotatePages\n"
    "  --rotateAngle=N   angle in degrees the selected pages get (default 0), a multiple of 90\n"
    "  --rotatePages=TEXT  page numbers and ranges such as 1-3,5,9-12 (no blanks), used when\n"
    "                    --type is not 2 to 6\n"
    "  --force=N         N not 0: add the angle to each page's present rotation instead of\n"
    "                    replacing it (default 0)\n"
    "  --help            print this text\n"
    "\n"
    "An INPUT ending in .txt (or of four characters or fewer) is a list of input files, one a\n"
    "line; OUTPUT then reads -fFOLDER (each output in FOLDER under its input's name) or\n"
    "-oFILE (every output to FILE).\n"
    "Exit status: 0 done, 1 the run failed (its message is printed), 2 bad command line.\n";

int UsageError(const std::string& message) {
    std::cerr << "turnelle: " << message << "\nTry 'turnelle --help'.\n";
    return 2;
}

// Puts one "--NAME=VALUE" option; an error text when it cannot be.
std::string PutOption(com::EngineClient& rotation, const std::string& argument) {
    const size_t equals = argument.find('=');
    if (equals == std::string::npos) return "option needs a value: " + argument;
    const std::string_view name = std::string_view(argument).substr(2, equals - 2);
    const std::string_view value = std::string_view(argument).substr(equals + 1);
    const com::HRESULT hr = rotation.Put(name, value);
    if (hr == com::DISP_E_UNKNOWNNAME) return "unknown setting: --" + std::string(name);
    if (hr == com::DISP_E_TYPEMISMATCH) {
        return "--" + std::string(name) + " needs a whole number, not '" + std::string(value) + "'";
    }
    if (com::FAILED(hr)) return "--" + std::string(name) + ": " + com::HresultMessage(hr);
    return {};
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    for (const std::string& argument : arguments) {
        if (argument == "--help" || argument == "-h") {
            std::cout << kHelp;
            return 0;
        }
    }
    com::EngineClient rotation(com::TurnelleEngine());
    if (com::FAILED(rotation.CreationResult())) {
        std::cerr << "turnelle: cannot create the rotation engine: "
                  << com::HresultMessage(rotation.CreationResult()) << "\n";
        return 1;
    }
    std::vector<std::string> names;
    for (const std::string& argument : arguments) {
        if (argument.starts_with("--") && argument.size() > 2) {
            const std::string problem = PutOption(rotation, argument);
            if (!problem.empty()) return UsageError(problem);
            continue;
        }
        names.push_back(argument);
    }
    if (names.size() != 2) return UsageError("expected an input and an output name");
    std::string status;
    if (const com::HRESULT hr = rotation.RunJob({names[0], names[1], ""}, &status);
        com::FAILED(hr)) {
        std::cerr << "turnelle: " << com::HresultMessage(hr) << "\n";
        return 1;
    }
    std::cout.flush();
    if (!status.empty()) {
        std::cerr << status;
        if (status.back() != '\n') std::cerr << '\n';
    }
    // What the engine got past in the inputs, after the status.
    std::string warnings;
    if (com::SUCCEEDED(rotation.RunWarnings(&warnings))) std::cerr << warnings;
    return status.empty() ? 0 : 1;
}
