// The sheet plan of a template (SheetTemplate.h): its sides repeated sheet by sheet, each cell
// showing the page its formula gives.
#include <algorithm>
#include <tuple>

#include "gridane/PressSheet.h"
#include "gridane/SheetTemplate.h"

namespace gridane {
namespace {

const PageGeometry* PageOf(const std::vector<PageGeometry>& pages, int page) {
    if (page < 1 || static_cast<size_t>(page) > pages.size()) return nullptr;
    return &pages[static_cast<size_t>(page) - 1];
}

// The page's visible box turned by `turns` quarters: its width and height on the sheet.
std::pair<double, double> TurnedSize(const Box& visible, int turns) {
    if (turns % 2 == 1) return {visible.Height(), visible.Width()};
    return {visible.Width(), visible.Height()};
}

// Where the page's origin goes so that its visible box, turned and scaled, is centred in the
// cell's rectangle (PlannedCell says where a page point goes for each turn).
void CentreInRect(PlannedCell& cell, const Box& visible, std::optional<double> scale) {
    auto [width, height] = TurnedSize(visible, cell.quarterTurns);
    const Box& rect = cell.rect;
    double s = scale ? *scale : 1;
    if (!scale && width > 0 && height > 0) {
        s = std::min({1.0, rect.Width() / width, rect.Height() / height});
    }
    double cx = (rect.x1 + rect.x2) / 2, cy = (rect.y1 + rect.y2) / 2;
    double vx = (visible.x1 + visible.x2) / 2, vy = (visible.y1 + visible.y2) / 2;
    switch (cell.quarterTurns) {
        case 0:
            cell.x = cx - s * vx, cell.y = cy - s * vy;
            break;
        case 1:
            cell.x = cx - s * vy, cell.y = cy + s * vx;
            break;
        case 2:
            cell.x = cx + s * vx, cell.y = cy + s * vy;
            break;
        default:
            cell.x = cx + s * vy, cell.y = cy - s * vx;
            break;
    }
    cell.scale = s;
}

PlannedCell PlaceCell(const TemplateCell& given, int page, const std::vector<PageGeometry>& pages) {
    PlannedCell cell;
    cell.page = page;
    cell.rect = given.rect;
    cell.quarterTurns = given.quarterTurns;
    const PageGeometry* geometry = PageOf(pages, page);
    if (given.at) {
        std::tie(cell.x, cell.y) = *given.at;
        cell.scale = given.scale.value_or(1);
    } else if (geometry != nullptr) {
        CentreInRect(cell, geometry->VisibleBox(), given.scale);
    } else {
        cell.x = given.rect.x1, cell.y = given.rect.y1;
        cell.scale = given.scale.value_or(1);
    }
    if (geometry != nullptr && given.clipKind == TemplateClip::Visible)
        cell.clip = geometry->VisibleBox();
    if (page != 0 && given.clipKind == TemplateClip::Given) {
        cell.clip = given.clip;
        cell.showsPart = given.part;
    }
    return cell;
}

PlannedSide PlaceSide(const TemplateSide& given, const std::vector<int>& cellPages,
                      const std::vector<PageGeometry>& pages, size_t index, bool oneSided) {
    PlannedSide side;
    side.index = static_cast<int>(index);
    side.sheetNumber = oneSided ? side.index + 1 : side.index / 2 + 1;
    side.back = !oneSided && index % 2 == 1;
    side.mediaBox = given.mediaBox;
    side.cropBox = given.cropBox;
    side.bleedBox = given.bleedBox;
    side.trimBox = given.trimBox;
    side.artBox = given.artBox;
    side.rotate = given.rotate;
    bool exchanged = side.rotate % 180 == 90;
    const Box& media = side.mediaBox.box;
    side.shownWidth = exchanged ? media.Height() : media.Width();
    side.shownHeight = exchanged ? media.Width() : media.Height();
    for (size_t k = 0; k < given.cells.size(); ++k) {
        side.cells.push_back(PlaceCell(given.cells[k], cellPages[k], pages));
    }
    auto base =
        std::find_if(cellPages.begin(), cellPages.end(), [](int page) { return page != 0; });
    side.baseCell = static_cast<int>(base - cellPages.begin());
    side.basePage = *base;
    side.marks = given.marks;
    side.trims = given.trims;
    side.frames = given.frames;
    side.frameWidth = given.frameWidth;
    SetShownTurns(side, pages);
    return side;
}

std::string SheetProblem(const std::string& path, const std::string& reason, int64_t sheet) {
    return "Template: " + path + ": " + reason + " for s = " + std::to_string(sheet) + "\n";
}

// Lays out the sides of sheet `s`; false when a side shows no page (the plan ends there) or
// when `plan.problem` was set.
bool AddSheet(const JobSettings& settings, const std::vector<PageGeometry>& pages,
              const SheetTemplate& tmpl, FormulaVariables v, SheetPlan& plan, size_t& itemCount) {
    for (size_t j = 0; j < tmpl.sides.size(); ++j) {
        const TemplateSide& given = tmpl.sides[j];
        std::vector<int> cellPages;
        for (size_t k = 0; k < given.cells.size(); ++k) {
            auto page = given.cells[k].page.Evaluate(v);
            if (auto* problem = std::get_if<std::string>(&page)) {
                std::string path =
                    "sides[" + std::to_string(j) + "].cells[" + std::to_string(k) + "].page";
                plan.problem = SheetProblem(path, *problem, v.s);
                return false;
            }
            int64_t number = std::get<int64_t>(page);
            cellPages.push_back(number < v.b || number > v.e ? 0 : static_cast<int>(number));
        }
        if (std::all_of(cellPages.begin(), cellPages.end(), [](int page) { return page == 0; })) {
            return false;
        }
        itemCount +=
            given.cells.size() + given.marks.size() + given.trims.size() + given.frames.size();
        if (plan.sides.size() >= kMaxTemplateSides || itemCount > kMaxTemplateItems) {
            plan.problem = "Template: more than " + std::to_string(kMaxTemplateSides) +
                           " sides or " + std::to_string(kMaxTemplateItems) +
                           " cells and lines; does every side end? \"sheets\" tells how many "
                           "sheets there are\n";
            return false;
        }
        plan.sides.push_back(PlaceSide(given, cellPages, pages, plan.sides.size(), tmpl.oneSided));
        std::string pressProblem = PlacePressItems(settings, plan.sides.back());
        if (!pressProblem.empty()) {
            plan.problem = pressProblem;
            return false;
        }
        if (const auto& label = given.label) {
            PlaceSideLabel(plan.sides.back(), label->text, label->x, label->y, label->width);
        }
    }
    return true;
}

}  // namespace

SheetPlan BuildTemplatePlan(const JobSettings& settings, const std::vector<PageGeometry>& pages,
                            const SheetTemplate& tmpl) {
    SheetPlan plan;
    plan.group = LayoutGroup::Free;
    plan.grid = {1, 1};
    plan.lastPage = settings.lastPage;
    int pageCount = static_cast<int>(pages.size());
    FormulaVariables v{0, pageCount, settings.firstPage, std::min(settings.lastPage, pageCount)};
    for (int page = 1; page < v.b && page <= pageCount; ++page) plan.keptBefore.push_back(page);
    int64_t sheets = static_cast<int64_t>(kMaxTemplateSides) + 1;
    if (tmpl.sheets) {
        auto count = tmpl.sheets->Evaluate(v);
        if (auto* problem = std::get_if<std::string>(&count)) {
            plan.problem = "Template: sheets: " + *problem + "\n";
            return plan;
        }
        sheets = std::min(sheets, std::get<int64_t>(count));
    }
    size_t itemCount = 0;
    for (v.s = 0; v.s < sheets; ++v.s) {
        if (!AddSheet(settings, pages, tmpl, v, plan, itemCount)) break;
    }
    if (!plan.problem.empty()) return plan;
    if (!tmpl.doubled) {
        for (int64_t page = v.e + 1; page <= pageCount; ++page)
            plan.keptAfter.push_back(static_cast<int>(page));
    }
    return plan;
}

}  // namespace gridane
