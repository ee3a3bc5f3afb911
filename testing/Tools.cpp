#include "testing/Tools.h"

#include <sys/wait.h>

#include <cstdio>
#include <sstream>
#include <stdexcept>

#include "testing/Scratch.h"

namespace testing_support {

CommandResult Run(const std::string& command) {
    CommandResult result;
    std::string full = command + " 2>&1";
    FILE* pipe = ::popen(full.c_str(), "r");
    if (pipe == nullptr) return result;
    char buffer[4096];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) result.output.append(buffer, n);
    int status = ::pclose(pipe);
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

std::string ShellQuote(const std::string& argument) {
    std::string quoted = "'";
    for (char c : argument) {
        if (c == '\'') {
            quoted += "'\\''";
        } else {
            quoted += c;
        }
    }
    return quoted + "'";
}

bool QpdfCheck(const std::string& pdf, std::string* report) {
    CommandResult result = Run("qpdf --check " + ShellQuote(pdf));
    if (report != nullptr) *report = result.output;
    // qpdf exits 0 when clean and 3 when there are only warnings.
    return result.exitCode == 0 || result.exitCode == 3;
}

bool QpdfCheckClean(const std::string& pdf, std::string* report) {
    std::string output;
    bool passed = QpdfCheck(pdf, &output);
    if (report != nullptr) *report = output;
    return passed && output.find("WARNING") == std::string::npos;
}

int PageCount(const std::string& pdf) {
    CommandResult result = Run("qpdf --show-npages " + ShellQuote(pdf));
    if (result.exitCode != 0 && result.exitCode != 3) return -1;
    return std::stoi(result.output);
}

namespace {

Image Render(const std::string& pdf, int page, int dpi, const char* extraOption) {
    ScratchDir dir;
    std::string prefix = dir.File("page");
    std::ostringstream command;
    command << "pdftoppm -gray " << extraOption << "-r " << dpi << " -f " << page << " -l " << page
            << " -singlefile " << ShellQuote(pdf) << " " << ShellQuote(prefix);
    CommandResult result = Run(command.str());
    if (result.exitCode != 0) throw std::runtime_error("pdftoppm failed: " + result.output);
    return Image::ReadPnm(prefix + ".pgm");
}

}  // namespace

Image RenderPage(const std::string& pdf, int page, int dpi) {
    return Render(pdf, page, dpi, "");
}

Image RenderPageCropBox(const std::string& pdf, int page, int dpi) {
    return Render(pdf, page, dpi, "-cropbox ");
}

void PdfFromPostScript(const std::string& postscript, const std::string& pdf) {
    ScratchDir dir;
    std::string ps = dir.File("in.ps");
    WriteWholeFile(ps, postscript);
    CommandResult result =
        Run("gs -q -dNOPAUSE -dBATCH -dSAFER -sDEVICE=pdfwrite -sOutputFile=" + ShellQuote(pdf) +
            " " + ShellQuote(ps));
    if (result.exitCode != 0) throw std::runtime_error("gs failed: " + result.output);
}

std::string NumberedPagesPostScript(int pages, int width, int height) {
    std::ostringstream ps;
    ps << "%!PS-Adobe-3.0\n"
       << "<< /PageSize [" << width << " " << height << "] >> setpagedevice\n";
    for (int p = 1; p <= pages; ++p) {
        ps << "% page " << p << "\n"
           << "0 setgray newpath 0 0 moveto " << width << " 0 rlineto 0 " << height << " rlineto "
           << -width
           << " 0 rlineto closepath 4 setlinewidth stroke\n"
           // a black square in the top-left corner marks the orientation
           << "newpath 10 " << height - 70 << " moveto 60 0 rlineto 0 60 rlineto -60 0 rlineto "
           << "closepath fill\n"
           << "8 setlinewidth\n";
        // stripes whose count depends on the page number
        for (int k = 1; k <= p % 7 + 1; ++k) {
            ps << "newpath 20 " << height / 8 + k * 20 << " moveto " << width / 2
               << " 0 rlineto stroke\n";
        }
        ps << "/Helvetica-Bold findfont " << height / 4 << " scalefont setfont\n"
           << width / 5 << " " << height / 2 << " moveto (" << p << ") show\n"
           << "showpage\n";
    }
    return ps.str();
}

}  // namespace testing_support
