#include "gridane/tests/ImposeHelpers.h"

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

std::string Impose(const std::string& settings, const std::string& input,
                   const std::string& output) {
    GridaneCom engine;
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

}  // namespace gridane::test
