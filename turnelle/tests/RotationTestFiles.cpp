#include "RotationTestFiles.h"

#include <cstdio>
#include <sstream>
#include <stdexcept>

#include "testing/Image.h"
#include "testing/Tools.h"

namespace turnelle_test {

using testing_support::Run;
using testing_support::ShellQuote;

namespace {

std::string EntryLine(size_t offset, int generation, char type) {
    char line[32];
    std::snprintf(line, sizeof line, "%010zu %05d %c\r\n", offset, generation, type);
    return line;
}

std::string ObjectText(int number, int generation, const std::string& body) {
    return std::to_string(number) + " " + std::to_string(generation) + " obj\n" + body +
           "\nendobj\n";
}

}  // namespace

void HandWrittenPdf::Add(int number, std::string body, int generation) {
    m_objects[number] = Body{std::move(body), generation};
}

std::string HandWrittenPdf::Build(int rootNumber, const std::string& beforeHeader) const {
    std::string pdf = "%PDF-1.4\n%\xe2\xe3\xcf\xd3\n";
    std::map<int, size_t> offsets;
    for (const auto& [number, body] : m_objects) {
        offsets[number] = pdf.size();
        pdf += ObjectText(number, body.generation, body.text);
    }
    const int size = m_objects.empty() ? 1 : m_objects.rbegin()->first + 1;
    const size_t xref = pdf.size();
    pdf += "xref\n0 " + std::to_string(size) + "\n" + EntryLine(0, 65535, 'f');
    for (int number = 1; number < size; ++number) {
        auto object = m_objects.find(number);
        pdf += object == m_objects.end()
                   ? EntryLine(0, 0, 'f')
                   : EntryLine(offsets[number], object->second.generation, 'n');
    }
    pdf += "trailer\n<< /Size " + std::to_string(size) + " /Root " + std::to_string(rootNumber) +
           " 0 R >>\nstartxref\n" + std::to_string(xref) + "\n%%EOF\n";
    return beforeHeader + pdf;
}

std::string PdfOfObjects(const std::vector<std::string>& bodies) {
    HandWrittenPdf pdf;
    for (size_t i = 0; i < bodies.size(); ++i) pdf.Add(static_cast<int>(i) + 1, bodies[i]);
    return pdf.Build(1);
}

std::string AppendUpdate(const std::string& file, const std::map<int, std::string>& objects,
                         int rootNumber, int size) {
    const size_t key = file.rfind("startxref");
    if (key == std::string::npos) throw std::runtime_error("no startxref");
    const long previous = std::stol(file.substr(key + 9));
    std::string pdf = file;
    std::string section = "xref\n";
    for (const auto& [number, body] : objects) {
        section += std::to_string(number) + " 1\n" + EntryLine(pdf.size(), 0, 'n');
        pdf += ObjectText(number, 0, body);
    }
    const size_t xref = pdf.size();
    pdf += section + "trailer\n<< /Size " + std::to_string(size) + " /Root " +
           std::to_string(rootNumber) + " 0 R /Prev " + std::to_string(previous) +
           " >>\nstartxref\n" + std::to_string(xref) + "\n%%EOF\n";
    return pdf;
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
    HandWrittenPdf pdf;
    pdf.Add(1, "<< /Type /Catalog /Pages 2 0 R >>");
    pdf.Add(2,
            "<< /Type /Pages /Kids [3 0 R 4 0 R] /Count 4 /Rotate 90 "
            "/MediaBox [0 0 300 400] >>");
    pdf.Add(3, "<< /Type /Pages /Parent 2 0 R /Kids [5 0 R 6 0 R] /Count 2 /Rotate 270 >>");
    pdf.Add(4, "<< /Type /Pages /Parent 2 0 R /Kids [7 0 R 8 0 R] /Count 2 >>");
    pdf.Add(5, "<< /Type /Page /Parent 3 0 R /Contents 9 0 R >>");
    pdf.Add(6, "<< /Type /Page /Parent 3 0 R /Contents 10 1 R /Rotate 180 >>");
    pdf.Add(7, "<< /Type /Page /Parent 4 0 R /Contents 11 0 R >>");
    pdf.Add(8, "<< /Type /Page /Parent 4 0 R /Contents 12 0 R /Rotate 0 >>");
    pdf.Add(9, MarkContent(1));
    pdf.Add(10, MarkContent(2), 1);
    pdf.Add(11, MarkContent(3));
    pdf.Add(12, MarkContent(4));
    return pdf.Build(1, beforeHeader);
}

}  // namespace turnelle_test
