#include "RotationTestFiles.h"

#include <cstdio>
#include <sstream>
#include <stdexcept>

#include "testing/Image.h"
#include "testing/PdfBuilder.h"
#include "testing/Tools.h"

namespace turnelle_test {

using testing_support::Run;
using testing_support::ShellQuote;

std::string PdfOfObjects(const std::vector<std::string>& bodies) {
    testing_support::PdfBuilder pdf;
    for (size_t i = 0; i < bodies.size(); ++i) pdf.Object(static_cast<int>(i) + 1, bodies[i]);
    return pdf.BuildWithTable("/Root 1 0 R");
}

std::string MarkContent(int seed) {
    std::ostringstream content;
    content << "0 0 0 rg 10 330 60 60 re f " << 40 + 30 * (seed % 6) << " 40 20 " << 80 + 20 * seed
            << " re f 200 200 80 10 re f";
    const std::string stream = content.str();
    return "<< /Length " + std::to_string(stream.size()) + " >>\nstream\n" + stream + "\nendstream";
}

std::vector<int> EffectiveRotations(const std::string& pdf) {
    const auto result = Run("pdfinfo -f 1 -l 100000 " + ShellQuote(pdf));
    if (result.exitCode != 0) throw std::runtime_error("pdfinfo failed: " + result.output);
    std::vector<int> rotations;
    std::istringstream lines(result.output);
    std::string line;
    while (std::getline(lines, line)) {
        int page = 0;
        int rotation = 0;
        if (std::sscanf(line.c_str(), "Page %d rot: %d", &page, &rotation) == 2) {
            rotations.push_back(rotation);
        }
    }
    return rotations;
}

int QuarterTurnsBetween(int from, int to) {
    return (((to - from) / 90) % 4 + 4) % 4;
}

double TurnedRenderDifference(const std::string& input, const std::string& output, int page,
                              int quarterTurns) {
    // 36 dpi turns the 300 x 400 point test pages into whole pixels, so that a turned render
    // lines up with the turned picture.
    constexpr int kDpi = 36;
    const testing_support::Image expected =
        testing_support::RenderPage(input, page, kDpi).Rotate(quarterTurns);
    const testing_support::Image actual = testing_support::RenderPage(output, page, kDpi);
    if (expected.Width() != actual.Width() || expected.Height() != actual.Height()) return 255;
    return expected.MeanDifference(actual);
}

std::string NestedTreePdf(const std::string& beforeHeader) {
    testing_support::PdfBuilder pdf;
    pdf.Prefix(beforeHeader);
    pdf.Object(1, "<< /Type /Catalog /Pages 2 0 R >>");
    pdf.Object(2,
               "<< /Type /Pages /Kids [3 0 R 4 0 R] /Count 4 /Rotate 90 "
               "/MediaBox [0 0 300 400] >>");
    pdf.Object(3, "<< /Type /Pages /Parent 2 0 R /Kids [5 0 R 6 0 R] /Count 2 /Rotate 270 >>");
    pdf.Object(4, "<< /Type /Pages /Parent 2 0 R /Kids [7 0 R 8 0 R] /Count 2 >>");
    pdf.Object(5, "<< /Type /Page /Parent 3 0 R /Contents 9 0 R >>");
    pdf.Object(6, "<< /Type /Page /Parent 3 0 R /Contents 10 1 R /Rotate 180 >>");
    pdf.Object(7, "<< /Type /Page /Parent 4 0 R /Contents 11 0 R >>");
    pdf.Object(8, "<< /Type /Page /Parent 4 0 R /Contents 12 0 R /Rotate 0 >>");
    pdf.Object(9, MarkContent(1));
    pdf.Object(10, MarkContent(2), 1);
    pdf.Object(11, MarkContent(3));
    pdf.Object(12, MarkContent(4));
    return pdf.BuildWithTable("/Root 1 0 R");
}

}  // namespace turnelle_test
