#include "desktop/core/PreviewPlan.h"

#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "desktop/core/Conversion.h"

namespace desktop {

PreviewPlan PlanPreview(const JobSetup& setup, const std::string& folder, int generation) {
    PreviewPlan preview;
    preview.input = setup.inFile;
    preview.folder = folder;
    PageFacts facts;
    facts.needsConversion =
        NeedsConversion(ConversionExtension(setup.inFile), setup.inFile, ConversionKind::Any);
    std::string work = folder + "/" + std::to_string(generation) + "/";
    preview.plan = PlanJob(setup, facts, {work, FileTitle(setup.inFile), "sheets.pdf", false});
    preview.sheets = FirstSheetsOf(setup);
    preview.firstPage = setup.startPage;
    return preview;
}

std::string PreviewRefusal(const PreviewPlan& preview) {
    if (preview.input.empty()) return "Name an input file to see its first sheets here.";
    std::error_code error;
    if (!std::filesystem::is_regular_file(preview.input, error) ||
        ::access(preview.input.c_str(), R_OK) != 0) {
        return "The input can not be read:\n" + preview.input;
    }
    if (preview.plan.Find(StepKind::Convert) != nullptr) {
        return "The preview shows PDF inputs. This input is converted to PDF when it is imposed.";
    }
    return {};
}

ShownPages PagesToShow(const PreviewPlan& preview, int pageCount) {
    ShownPages pages;
    pages.first = std::max(0, preview.firstPage - 1);
    if (pages.first >= pageCount) pages.first = 0;
    pages.count = std::max(0, std::min(preview.sheets.count, pageCount - pages.first));
    return pages;
}

}  // namespace desktop
