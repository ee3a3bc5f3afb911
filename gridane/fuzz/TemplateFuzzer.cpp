// Feeds arbitrary bytes to the sheet-template reader; a template it takes is planned over a
// few made-up pages and its plan printed as a template again. Every crash, leak, hang or
// sanitizer report is a finding; refusals and plan problems are the expected outcome.
#include <cstdint>
#include <string_view>

#include "gridane/SheetTemplate.h"
#include "gridane/TemplatePrint.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    auto read =
        gridane::ReadSheetTemplate(std::string_view(reinterpret_cast<const char*>(data), size));
    const auto* tmpl = std::get_if<gridane::SheetTemplate>(&read);
    if (tmpl == nullptr) return 0;
    std::vector<gridane::PageGeometry> pages(9);
    pages[4].rotation = 90;
    pages[6].hasCropBox = true;
    pages[6].cropBox = {10, 10, 300, 400};
    gridane::JobSettings settings;
    gridane::SheetPlan plan = gridane::BuildTemplatePlan(settings, pages, *tmpl);
    if (plan.problem.empty() && !plan.sides.empty())
        gridane::PrintSheetTemplate(settings, pages, plan);
    return 0;
}
