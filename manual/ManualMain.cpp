// velmora_manual FOLDER: writes the suite's manual pages (FOLDER/man/man1, man5) and its bash
// completions (FOLDER/bash-completion/completions) from the programs' option tables.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "manual/BashCompletion.h"
#include "manual/ProgramManual.h"
#include "manual/RoffPage.h"

namespace {

namespace fs = std::filesystem;

bool Write(const fs::path& path, const std::string& text) {
    std::error_code error;
    fs::create_directories(path.parent_path(), error);
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
    out.close();
    if (!out) std::fprintf(stderr, "velmora_manual: cannot write %s\n", path.c_str());
    return static_cast<bool>(out);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fputs("usage: velmora_manual FOLDER\n", stderr);
        return 2;
    }
    fs::path share = argv[1];
    std::vector<manual::ProgramManual> programs = manual::SuiteManuals();
    std::vector<std::string> pages;
    for (const manual::ProgramManual& program : programs) pages.push_back(program.name + "(1)");
    pages.push_back("velmora-setup(5)");

    bool written = true;
    for (const manual::ProgramManual& program : programs) {
        std::vector<std::string> others;
        for (const std::string& page : pages) {
            if (page != program.name + "(1)") others.push_back(page);
        }
        written &=
            Write(share / "man/man1" / (program.name + ".1"), manual::ProgramPage(program, others));
        written &= Write(share / "bash-completion/completions" / program.name,
                         manual::BashCompletionScript(program, manual::SheetPaperNames()));
    }
    written &= Write(share / "man/man5/velmora-setup.5",
                     manual::SetupFilePage({pages.begin(), pages.end() - 1}));
    return written ? 0 : 1;
}
