#include "testing/RealFiles.h"

#include <regex>
#include <stdexcept>

#include "testing/Scratch.h"
#include "testing/Tools.h"

namespace testing_support {

void MustRun(const std::string& command) {
    CommandResult result = Run(command);
    if (result.exitCode != 0) {
        throw std::runtime_error("command failed: " + command + "\n" + result.output);
    }
}

Image ImageMagickPicture(const std::string& imageFile, int index, int width, int height) {
    ScratchDir dir;
    std::string pgm = dir.File("reference.pgm");
    MustRun("convert " + ShellQuote(imageFile + "[" + std::to_string(index) + "]") +
            " -background white -flatten -colorspace Gray -resize " + std::to_string(width) + "x" +
            std::to_string(height) + "! -depth 8 " + ShellQuote("pgm:" + pgm));
    return Image::ReadPnm(pgm);
}

double PageDifferenceFromImage(const std::string& pdf, int page, int dpi,
                               const std::string& imageFile, int index) {
    Image rendered = RenderPage(pdf, page, dpi);
    Image reference = ImageMagickPicture(imageFile, index, rendered.Width(), rendered.Height());
    return rendered.MeanDifference(reference);
}

PageSize PdfPageSize(const std::string& pdf, int page) {
    std::string number = std::to_string(page);
    CommandResult result = Run("pdfinfo -f " + number + " -l " + number + " " + ShellQuote(pdf));
    PageSize size;
    std::smatch match;
    std::regex line("Page +" + number + " size: +([0-9.]+) x ([0-9.]+)");
    if (std::regex_search(result.output, match, line)) {
        size.width = std::stod(match[1]);
        size.height = std::stod(match[2]);
    }
    return size;
}

std::string PageText(const std::string& pdf, int page) {
    std::string number = std::to_string(page);
    CommandResult result =
        Run("pdftotext -q -f " + number + " -l " + number + " " + ShellQuote(pdf) + " -");
    std::string text = result.output;
    size_t first = text.find_first_not_of(" \t\r\n\f");
    if (first == std::string::npos) return {};
    size_t last = text.find_last_not_of(" \t\r\n\f");
    return text.substr(first, last - first + 1);
}

}  // namespace testing_support
