#include "gridane/Unimpose.h"

#include <algorithm>
#include <cmath>
#include <map>

#include "gridane/Layout.h"
#include "gridane/SheetGeometry.h"
#include "gridane/SheetLayout.h"

namespace gridane {
namespace {

// Sheets whose sides differ by less than this are of one size: producers round differently.
constexpr double kSizeTolerance = 1;

struct ShownSize {
    double width = 0;
    double height = 0;
};

ShownSize ShownSizeOf(const PageGeometry& sheet) {
    Box visible = sheet.VisibleBox();
    int rotation = NormaliseRotation(sheet.rotation);
    bool exchanged = rotation == 90 || rotation == 270;
    return {exchanged ? visible.Height() : visible.Width(),
            exchanged ? visible.Width() : visible.Height()};
}

std::string WholePoints(double value) {
    return std::to_string(static_cast<long>(std::lround(value)));
}

std::string SizeText(const ShownSize& size) {
    return WholePoints(size.width) + " x " + WholePoints(size.height);
}

// Why the sheets are not all two equal halves of one size; empty when they are.
std::string CheckSheets(const std::vector<PageGeometry>& sheets) {
    ShownSize first = ShownSizeOf(sheets.front());
    if (std::abs(first.width - first.height) < kSizeTolerance) {
        return "Sheet 1 is square (" + SizeText(first) +
               " points): unimpose needs sheets of two equal halves, side by side or one above "
               "the other\n";
    }
    for (size_t k = 1; k < sheets.size(); ++k) {
        ShownSize size = ShownSizeOf(sheets[k]);
        if (std::abs(size.width - first.width) >= kSizeTolerance ||
            std::abs(size.height - first.height) >= kSizeTolerance) {
            return "Sheet " + std::to_string(k + 1) + " is " + SizeText(size) +
                   " points, sheet 1 " + SizeText(first) +
                   ": unimpose needs sheets of one size, each two equal halves\n";
        }
    }
    return {};
}

// The half of the sheet's own coordinates that a viewer shows first (left, or top for a sheet
// taller than wide), and the cut between the halves, for each turn of the sheet.
struct OwnHalf {
    bool across = false;  // the cut runs across y: lower and upper halves of the page's own box
    bool first = true;    // the lower (or left) own half is shown first
};

OwnHalf FirstShownHalf(int rotation, bool sideBySide) {
    switch (rotation) {
        case 90:
            return sideBySide ? OwnHalf{true, true} : OwnHalf{false, true};
        case 180:
            return sideBySide ? OwnHalf{false, false} : OwnHalf{true, true};
        case 270:
            return sideBySide ? OwnHalf{true, false} : OwnHalf{false, false};
        default:
            return sideBySide ? OwnHalf{false, true} : OwnHalf{true, false};
    }
}

PlannedSide HalfSide(const PageGeometry& sheet, int sheetPage, int cell, int index) {
    ShownSize shown = ShownSizeOf(sheet);
    int rotation = NormaliseRotation(sheet.rotation);
    OwnHalf own = FirstShownHalf(rotation, shown.width > shown.height);
    bool firstOwn = own.first == (cell == 0);
    Box area = TrimmedBox(sheet);
    HalfCut cut;
    cut.across = own.across;
    cut.line = own.across ? (area.y1 + area.y2) / 2 : (area.x1 + area.x2) / 2;
    Box half = HalfPageBox(area, cut, firstOwn ? PageHalf::First : PageHalf::Second);

    PlannedSide side;
    side.index = index;
    side.sheetNumber = index / 2 + 1;
    side.back = index % 2 == 1;
    side.basePage = sheetPage;
    side.half = firstOwn ? PageHalf::First : PageHalf::Second;
    side.rotate = rotation;
    side.mediaBox = side.cropBox = side.bleedBox = side.trimBox = side.artBox = {half, true};
    bool exchanged = rotation == 90 || rotation == 270;
    side.shownWidth = exchanged ? half.Height() : half.Width();
    side.shownHeight = exchanged ? half.Width() : half.Height();
    PlannedCell drawn;
    drawn.page = sheetPage;
    drawn.rect = half;
    side.cells = {drawn};
    return side;
}

}  // namespace

std::string CheckUnimposeSettings(const JobSettings& s) {
    if (!s.unimpose) return {};
    bool layout = SelectLayoutGroup(s) != LayoutGroup::Up2 || s.split || s.duplicate || s.duplex ||
                  s.duplex1423 || s.duplex1342 || s.duplex4123 || !s.sequenceFile.empty() ||
                  UsesSheetLayout(s) || s.cropBox.IsGiven() || s.mediaBox.IsGiven() ||
                  s.cropBox2.IsGiven() || s.mediaBox2.IsGiven();
    if (layout || s.firstPage != 1 || s.lastPage != kToLastPage) {
        return "Unimpose takes the whole booklet and combines only with signature and rtl\n";
    }
    return {};
}

SheetPlan BuildUnimposePlan(const JobSettings& s, const std::vector<PageGeometry>& sheets) {
    SheetPlan plan;
    plan.grid = {1, 1};
    if (sheets.empty()) return plan;
    plan.problem = CheckSheets(sheets);
    if (!plan.problem.empty()) return plan;

    // Where the booklet of these sheets puts each page: its side and its cell.
    JobSettings booklet;
    booklet.outer_in = true;
    booklet.signature = s.signature;
    booklet.rightToLeft = s.rightToLeft;
    // A last section the booklet did not fill has fewer sheets than the others: its order is
    // still that of a whole section.
    int pageCount = 2 * static_cast<int>(sheets.size());
    int section = 4 * std::max(s.signature, 0);
    if (section > 0) pageCount = (pageCount + section - 1) / section * section;
    LayoutPlan layout = PlanLayout(booklet, pageCount);
    std::map<int, std::pair<int, int>> placeOfPage;
    for (size_t k = 0; k < layout.sheets.size() && k < sheets.size(); ++k) {
        for (int cell = 0; cell < 2; ++cell) {
            int page = layout.sheets[k].Cell(cell);
            if (page >= 1) placeOfPage[page] = {static_cast<int>(k), cell};
        }
    }
    for (int page = 1; page <= pageCount; ++page) {
        auto place = placeOfPage.find(page);
        if (place == placeOfPage.end()) continue;  // a blank cell of the booklet's order
        auto [sheet, cell] = place->second;
        plan.sides.push_back(HalfSide(sheets[static_cast<size_t>(sheet)], sheet + 1, cell,
                                      static_cast<int>(plan.sides.size())));
    }
    return plan;
}

}  // namespace gridane
