#include "gridane/tests/ImposeHelpers.h"

#include <algorithm>
#include <map>
#include <memory>
#include <regex>

#include "gridane/GridaneCom.h"
#include "gridane/PageTree.h"
#include "gridane/PropertyTable.h"
#include "gridane/tests/SettingsFromText.h"
#include "pdf/CPdfDocument.h"
#include "testing/Scratch.h"
#include "testing/Tools.h"

namespace gridane::test {

using namespace testing_support;

std::string Impose(const std::string& settings, const std::string& input, const std::string& output,
                   platform::FileSpace files) {
    GridaneCom engine;
    engine.SetFiles(files);
    ForEachSettingWord(settings,
                       [&](const SettingPut& p, int32_t number, const std::string& value) {
                           if (p.kind == com::PropertyKind::Text) {
                               engine.PutProperty(p.name, value);
                           } else {
                               engine.PutProperty(p.name, number);
                           }
                       });
    return engine.getGridaneFile(input, output);
}

std::string DataFile(const std::string& name) {
    return SourceDir() + "/gridane/tests/data/" + name;
}

std::vector<PageGeometry> InputPages(const std::string& pdf) {
    CPdfDocument document;
    document.Open(pdf);
    std::vector<PageRecord> pages =
        ReadPageTree(document.GetXRef(), document.GetXRef().GetRootNum()).pages;
    return {pages.begin(), pages.end()};
}

std::vector<Box> PageBoxes(const std::string& pdf, const std::string& boxName) {
    int pages = PageCount(pdf);
    CommandResult result =
        Run("pdfinfo -box -f 1 -l " + std::to_string(pages) + " " + ShellQuote(pdf));
    std::vector<Box> boxes;
    std::regex line("Page +[0-9]+ " + boxName +
                    ": +([-0-9.]+) +([-0-9.]+) +([-0-9.]+) +([-0-9.]+)");
    for (std::sregex_iterator it(result.output.begin(), result.output.end(), line), end; it != end;
         ++it) {
        boxes.push_back(
            {std::stod((*it)[1]), std::stod((*it)[2]), std::stod((*it)[3]), std::stod((*it)[4])});
    }
    return boxes;
}

const std::string& NumberedLetterPdf(int pages) {
    static ScratchDir dir;
    static std::map<int, std::string> made;
    auto found = made.find(pages);
    if (found != made.end()) return found->second;
    std::string path = dir.File("numbered" + std::to_string(pages) + ".pdf");
    PdfFromPostScript(NumberedPagesPostScript(pages), path);
    return made.emplace(pages, path).first->second;
}

std::string TurnedByQpdf(const std::string& rotateOptions, const std::string& input,
                         const std::string& output) {
    CommandResult made =
        Run("qpdf " + rotateOptions + " " + ShellQuote(input) + " " + ShellQuote(output));
    return made.exitCode == 0 ? std::string()
                              : made.output + " (exit " + std::to_string(made.exitCode) + ")";
}

std::vector<int> PageObjectNumbers(const std::string& pdf) {
    CommandResult result = Run("qpdf --show-pages " + ShellQuote(pdf));
    std::vector<int> numbers;
    std::regex line("page [0-9]+: ([0-9]+) [0-9]+ R");
    for (std::sregex_iterator it(result.output.begin(), result.output.end(), line), end; it != end;
         ++it) {
        numbers.push_back(std::stoi((*it)[1]));
    }
    return numbers;
}

std::vector<Box> SheetLinks(const std::string& pdf, size_t sheet) {
    CPdfDocument document;
    document.Open(pdf);
    std::vector<PageRecord> sheets =
        ReadPageTree(document.GetXRef(), document.GetXRef().GetRootNum()).pages;
    if (sheet >= sheets.size()) return {};
    const PageRecord& record = sheets[sheet];
    CPdfObject page = document.GetXRef().Resolve(record.objectNumber, record.generation);
    CPdfObject annots = page.GetDict().Lookup("Annots");
    std::vector<Box> links;
    if (!annots.IsArray()) return links;
    for (int i = 0; i < annots.GetArray().GetLength(); ++i) {
        CPdfObject rect = annots.GetArray().Get(i).GetDict().Lookup("Rect");
        if (!rect.IsArray() || rect.GetArray().GetLength() != 4) continue;
        auto at = [&](int k) { return rect.GetArray().Get(k).GetNum(); };
        links.push_back({at(0), at(1), at(2), at(3)});
    }
    return links;
}

int DarkestOn(const testing_support::Image& render, double dpi, double pageHeight, double x1,
              double y1, double x2, double y2) {
    double pixels = dpi / 72.0;
    int darkest = 255;
    for (int step = 0; step <= 10; ++step) {
        double x = x1 + (x2 - x1) * step / 10, y = y1 + (y2 - y1) * step / 10;
        int px = static_cast<int>(x * pixels), py = static_cast<int>((pageHeight - y) * pixels);
        for (int dy = -1; dy <= 1; ++dy)
            for (int dx = -1; dx <= 1; ++dx) {
                int sx = std::clamp(px + dx, 0, render.Width() - 1);
                int sy = std::clamp(py + dy, 0, render.Height() - 1);
                darkest = std::min<int>(darkest, render.At(sx, sy));
            }
    }
    return darkest;
}

}  // namespace gridane::test
