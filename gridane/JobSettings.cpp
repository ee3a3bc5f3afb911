#include "gridane/JobSettings.h"

#include "gridane/FoldedSignatures.h"

#include <charconv>
#include <cmath>
#include <cstdio>

#include "pdf/CPdfBoxText.h"

namespace gridane {

std::optional<Box> ParseBoxString(std::string_view text) {
    std::optional<std::array<double, 4>> numbers = ParseBoxNumbers(text);
    if (!numbers) return std::nullopt;
    return Box{(*numbers)[0], (*numbers)[1], (*numbers)[2], (*numbers)[3]};
}

void AssignSettingText(JobBox& box, std::string_view text) {
    box = {};
    std::optional<std::array<double, 4>> numbers = ParseBoxNumbers(text);
    if (!numbers) return;
    if (!IsWithinPageLimits(*numbers)) {
        box.refused = std::string(text);
        return;
    }
    box = JobBox((*numbers)[0], (*numbers)[1], (*numbers)[2], (*numbers)[3]);
}

void AssignSettingText(SheetSetting& sheet, std::string_view text) {
    sheet.text = std::string(text);
    sheet.size = paper::ParseSheetSize(text);
}

void AssignSettingText(DecimalText& length, std::string_view text) {
    length = {};
    if (text.empty()) return;
    std::optional<double> value = ParseDecimal(text);
    if (!value) {
        length.refused = std::string(text);
        return;
    }
    length.value = *value;
}

LayoutGroup SelectLayoutGroup(const JobSettings& s) {
    if (!s.freeGrid.empty() || s.repeat || s.fold != 0) return LayoutGroup::Free;
    if (s.up2x6 || s.up6x2 || s.up3x4 || s.up4x3) return LayoutGroup::Up12;
    if (s.up2x5 || s.up5x2) return LayoutGroup::Up10;
    if (s.up2x4 || s.up4x2) return LayoutGroup::Up8;
    if (s.up2x3 || s.up3x2) return LayoutGroup::Up6;
    if (s.up3 || s.up3down) return LayoutGroup::Up3;
    if (s.up4) return LayoutGroup::Up4;
    if (s.up2to1 || s.up2to1h) return LayoutGroup::TwoToOne;
    return LayoutGroup::Up2;
}

int CellCount(LayoutGroup group) {
    switch (group) {
        case LayoutGroup::Up12:
            return 12;
        case LayoutGroup::Up10:
            return 10;
        case LayoutGroup::Up8:
            return 8;
        case LayoutGroup::Up6:
            return 6;
        case LayoutGroup::Up3:
            return 3;
        case LayoutGroup::Up4:
            return 4;
        case LayoutGroup::TwoToOne:
            return 1;
        case LayoutGroup::Up2:
            return 2;
        case LayoutGroup::Free:
            return 0;
    }
    return 2;
}

int CellCountOf(const JobSettings& s) {
    LayoutGroup group = SelectLayoutGroup(s);
    if (group != LayoutGroup::Free) return CellCount(group);
    Grid grid = GridOf(s);
    return grid.columns * grid.rows;
}

int DrawnCellCount(LayoutGroup group) {
    return group == LayoutGroup::TwoToOne ? 2 : CellCount(group);
}

int SignificantSlotCount(LayoutGroup group) {
    switch (group) {
        case LayoutGroup::Up12:
        case LayoutGroup::Up10:
        case LayoutGroup::Up8:
        case LayoutGroup::Up6:
        case LayoutGroup::Up3:
            return CellCount(group);
        default:
            return 4;
    }
}

Grid GridOf(const JobSettings& s) {
    switch (SelectLayoutGroup(s)) {
        case LayoutGroup::Up12:
            if (s.up2x6) return {2, 6};
            if (s.up6x2) return {6, 2};
            if (s.up3x4) return {3, 4};
            return {4, 3};
        case LayoutGroup::Up10:
            return s.up2x5 ? Grid{2, 5} : Grid{5, 2};
        case LayoutGroup::Up8:
            return s.up2x4 ? Grid{2, 4} : Grid{4, 2};
        case LayoutGroup::Up6:
            return s.up2x3 ? Grid{2, 3} : Grid{3, 2};
        case LayoutGroup::Up3:
            return s.up3 ? Grid{3, 1} : Grid{1, 3};
        case LayoutGroup::Up4:
            return {2, 2};
        // The 2-to-1 group draws its one page where the left cell of the 2-up grid is.
        case LayoutGroup::TwoToOne:
            return {2, 1};
        case LayoutGroup::Up2:
            return s.down ? Grid{1, 2} : Grid{2, 1};
        case LayoutGroup::Free:
            if (s.fittedColumns > 0 && s.fittedRows > 0) return {s.fittedColumns, s.fittedRows};
            if (s.fold != 0) return FoldGrid(s.fold);
            return ParseGridText(s.freeGrid).value_or(Grid{1, 1});
    }
    return {2, 1};
}

std::optional<Grid> ParseGridText(std::string_view text) {
    size_t cross = text.find_first_of("xX");
    if (cross == std::string_view::npos) return std::nullopt;
    auto side = [](std::string_view digits) -> std::optional<int> {
        int value = 0;
        auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
        if (digits.empty() || error != std::errc() || end != digits.data() + digits.size())
            return std::nullopt;
        if (value < 1 || value > kMaxFreeGridSide) return std::nullopt;
        return value;
    };
    std::optional<int> columns = side(text.substr(0, cross));
    std::optional<int> rows = side(text.substr(cross + 1));
    if (!columns || !rows) return std::nullopt;
    return Grid{*columns, *rows};
}

int NormaliseRotation(int64_t degrees) {
    int64_t r = ((degrees % 360) + 360) % 360;
    return r % 90 == 0 ? static_cast<int>(r) : 0;
}

}  // namespace gridane
