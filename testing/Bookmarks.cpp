#include "testing/Bookmarks.h"

#include <sstream>
#include <stdexcept>

#include "testing/Scratch.h"
#include "testing/Tools.h"

namespace testing_support {

std::string BookmarkedPostScript() {
    return R"(%!PS
<< /PageSize [612 792] >> setpagedevice
/Helvetica findfont 200 scalefont setfont
1 1 8 { /n exch def 100 300 moveto n 3 string cvs show
  0.8 setgray 0 0 612 60 rectfill 0 setgray
  -36 -36 36 864 rectfill 612 -36 36 864 rectfill -36 -36 684 36 rectfill -36 792 684 36 rectfill
  showpage } for
[/Dest /six /Page 6 /View [/XYZ 20 30 null] /DEST pdfmark
[/Title (P1) /Page 1 /View [/XYZ 50 700 null] /OUT pdfmark
[/Count -2 /Title (P2) /Page 2 /View [/FitH 600] /C [1 0 0] /F 2 /OUT pdfmark
[/Title (P3) /Page 3 /View [/FitR 100 100 300 200] /OUT pdfmark
[/Title (P4) /Page 4 /View [/Fit] /OUT pdfmark
[/Title (P5) /Page 5 /View [/FitV 72] /OUT pdfmark
[/Title (Six) /Dest /six /OUT pdfmark
[/Title (P7) /Page 7 /View [/XYZ 50 700 null] /OUT pdfmark
[/Title (P8) /Page 8 /View [/XYZ 50 700 null] /OUT pdfmark
)";
}

bool PdfFromLatex(const std::string& source, const std::string& pdf) {
    if (Run("command -v pdflatex").exitCode != 0) return false;
    ScratchDir dir;
    WriteWholeFile(dir.File("doc.tex"), source);
    std::string command = "cd " + ShellQuote(dir.Path()) +
                          " && pdflatex -interaction=nonstopmode -no-shell-escape doc.tex";
    for (int pass = 0; pass < 2; ++pass) {
        CommandResult made = Run(command);
        if (made.exitCode != 0) throw std::runtime_error("pdflatex failed:\n" + made.output);
    }
    WriteWholeFile(pdf, ReadWholeFile(dir.File("doc.pdf")));
    return true;
}

std::vector<std::string> OutlineTargets(const std::string& pdf) {
    CommandResult read =
        Run("/usr/bin/python3 " + ShellQuote(SourceDir() + "/testing/scripts/outline_targets.py") +
            " " + ShellQuote(pdf));
    if (read.exitCode != 0) throw std::runtime_error("outline_targets.py failed:\n" + read.output);
    std::vector<std::string> lines;
    std::istringstream in(read.output);
    for (std::string line; std::getline(in, line);) {
        for (char& c : line) {
            if (c == '\t') c = ' ';
        }
        while (!line.empty() && line.back() == ' ') line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

bool GhostscriptRereads(const std::string& pdf, std::string* report) {
    CommandResult read = Run("gs -q -dNOPAUSE -dBATCH -dSAFER -dPDFSTOPONERROR -sDEVICE=nullpage " +
                             ShellQuote(pdf));
    if (report != nullptr) *report = read.output;
    return read.exitCode == 0 && read.output.empty();
}

}  // namespace testing_support
