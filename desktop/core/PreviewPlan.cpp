#include "desktop/core/PreviewPlan.h"

#include <algorithm>
#include <utility>

#include "desktop/core/Conversion.h"
#include "desktop/core/Pipeline.h"
#include "platform/File.h"

namespace desktop {

PreviewPlan PlanPreview(const JobSetup& setup, const std::string& folder, int generation,
                        const ConversionSettings& conversion) {
    PreviewPlan preview;
    preview.input = setup.inFile;
    preview.folder = folder;
    preview.route = RouteOfInput(setup.inFile, conversion);
    PageFacts facts;
    facts.needsConversion = preview.route == InputRoute::Convert;
    std::string work = folder + "/" + std::to_string(generation) + "/";
    preview.plan = PlanJob(setup, facts, {work, FileTitle(setup.inFile), "sheets.pdf", false});
    preview.sheets = FirstSheetsOf(setup);
    preview.firstPage = setup.startPage;
    preview.lastPage = setup.endPage;
    return preview;
}

std::string PreviewRefusal(const PreviewPlan& preview) {
    if (preview.input.empty()) return "Name an input file to see its sheets here.";
    if (!platform::IsReadableFile(preview.input)) {
        return "The input can not be read:\n" + preview.input;
    }
    if (preview.route == InputRoute::NoConverter) return NoConverterText(preview.input);
    if (preview.plan.Find(StepKind::Convert) != nullptr) {
        return "The preview shows PDF inputs. This input is converted to PDF when it is imposed.";
    }
    return {};
}

namespace {

// The input pages the engine copies as they are before and after the imposed range. A doubling
// pass imposes its doubled file whole.
std::pair<int, int> KeptPages(const PreviewPlan& preview, int inputPages) {
    if (inputPages <= 0 || preview.plan.Find(StepKind::DoubleAndTurn) != nullptr) return {0, 0};
    int first = preview.firstPage;
    int last = preview.lastPage;
    if (first < 1 || first > inputPages || last < first) return {0, 0};
    return {first - 1, last < inputPages ? inputPages - last : 0};
}

}  // namespace

std::string PageCaption(const PreviewPlan& preview, int index, int inputPages, int outputPages) {
    auto [before, after] = KeptPages(preview, inputPages);
    if (before + after >= outputPages) before = after = 0;  // not what the engine wrote
    if (index < before) return "Page " + std::to_string(index + 1) + " as it is";
    if (index >= outputPages - after) {
        return "Page " + std::to_string(inputPages - (outputPages - index) + 1) + " as it is";
    }
    int side = index - before;
    if (preview.sheets.frontAndBack) {
        return "Sheet " + std::to_string(side / 2 + 1) + (side % 2 == 0 ? " front" : " back");
    }
    return "Sheet " + std::to_string(side + 1);
}

}  // namespace desktop
