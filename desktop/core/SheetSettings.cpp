#include "desktop/core/SheetSettings.h"

#include <algorithm>
#include <charconv>
#include <cstdio>

#include "desktop/core/PaperSizes.h"
#include "paper/SheetSize.h"
#include "pdf/CPdfBoxText.h"
#include "platform/Text.h"

namespace desktop {
namespace {

using platform::PlainDecimal;
using platform::Trimmed;

// A whole number of at most nine digits, with an optional minus sign.
std::optional<int> WholeNumber(std::string_view text) {
    text = Trimmed(text);
    if (text.empty() || text.size() > 10) return std::nullopt;
    int value = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return value;
}

std::string Number(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.2f", value);
    std::string out(text);
    while (out.back() == '0') out.pop_back();
    if (out.back() == '.') out.pop_back();
    return out;
}

std::string_view SuffixOf(SheetOrientation orientation) {
    switch (orientation) {
        case SheetOrientation::Portrait:
            return ":portrait";
        case SheetOrientation::Landscape:
            return ":landscape";
        default:
            return {};
    }
}

SheetOrientation OrientationOf(paper::SheetOrientation orientation) {
    switch (orientation) {
        case paper::SheetOrientation::Portrait:
            return SheetOrientation::Portrait;
        case paper::SheetOrientation::Landscape:
            return SheetOrientation::Landscape;
        default:
            return SheetOrientation::Auto;
    }
}

}  // namespace

std::optional<SheetChoice> ParseSheet(std::string_view text) {
    SheetChoice choice;
    std::optional<paper::SheetSizeOrError> parsed = paper::ParseSheetSize(text);
    if (!parsed) return choice;
    const auto* size = std::get_if<paper::SheetSize>(&*parsed);
    if (size == nullptr) return std::nullopt;
    choice.orientation = OrientationOf(size->orientation);
    if (!size->paper.empty()) {
        choice.paper = std::string(size->paper);
        return choice;
    }
    choice.paper = std::string(kCustomPaper);
    choice.width = size->width;
    choice.height = size->height;
    return choice;
}

std::string SheetText(const SheetChoice& choice) {
    if (choice.paper.empty()) return {};
    std::string text = choice.paper == kCustomPaper
                           ? Number(choice.width) + "," + Number(choice.height)
                           : choice.paper;
    return text + std::string(SuffixOf(choice.orientation));
}

std::string SheetPutText(std::string_view sheet) {
    std::optional<SheetChoice> choice = ParseSheet(sheet);
    return choice ? SheetText(*choice) : std::string(sheet);
}

std::optional<double> ParseCreep(std::string_view text) {
    if (Trimmed(text).empty()) return 0.0;
    std::optional<double> value = PlainDecimal(text);
    if (!value || *value > kMaxCreepMillimetres) return std::nullopt;
    return value;
}

bool IsNoCreep(std::string_view text) {
    std::optional<double> creep = ParseCreep(text);
    return creep && *creep == 0;
}

std::string SheetRefusal(std::string_view value) {
    if (ParseSheet(value)) return {};
    return "is neither a paper name of the list nor a width and height in points from 1 to " +
           Number(kMaxSheetPoints);
}

std::string CheckRefusal(std::string_view value) {
    std::optional<int> number = WholeNumber(value);
    return number && (*number == 0 || *number == 1) ? std::string() : "is not 0 or 1";
}

std::string MarginRefusal(std::string_view value) {
    std::optional<int> number = WholeNumber(value);
    if (number && *number >= 0 && *number <= kMaxMarginPoints) return {};
    return "is not a number of points from 0 to " + std::to_string(kMaxMarginPoints);
}

std::string SignatureRefusal(std::string_view value) {
    std::optional<int> number = WholeNumber(value);
    if (number && *number >= 0 && *number <= kMaxSignatureSheets) return {};
    return "is not a number of sheets from 0 to " + std::to_string(kMaxSignatureSheets);
}

std::string BoxRefusal(std::string_view value) {
    std::optional<std::array<double, 4>> box = ParseBoxNumbers(value);
    if (!box || IsWithinPageLimits(*box)) return {};
    return std::string("is out of range: ") + kPageLimitRule;
}

std::string CreepRefusal(std::string_view value) {
    if (ParseCreep(value)) return {};
    return "is not a paper thickness in mm from 0 to " + Number(kMaxCreepMillimetres);
}

namespace {

std::string PointsRefusal(std::string_view value, double most) {
    if (Trimmed(value).empty()) return {};
    std::optional<double> points = PlainDecimal(value);
    if (points && *points <= most) return {};
    return "is not a number of points from 0 to " + Number(most);
}

std::string OneOfRefusal(std::string_view value, std::string_view a, std::string_view b) {
    if (value.empty() || value == a || value == b) return {};
    return "is neither " + std::string(a) + " nor " + std::string(b);
}

}  // namespace

std::string GridRefusal(std::string_view value) {
    size_t cross = value.find('x');
    auto side = [](std::string_view digits) {
        std::optional<int> number = WholeNumber(digits);
        return number && *number >= 1 && *number <= 20;
    };
    if (value.empty() || (cross != std::string_view::npos && side(value.substr(0, cross)) &&
                          side(value.substr(cross + 1)))) {
        return {};
    }
    return "is not columns x rows, each from 1 to 20";
}

std::string FillOrderRefusal(std::string_view value) {
    return OneOfRefusal(value, "rows", "columns");
}

std::string FrameRefusal(std::string_view value) {
    return PointsRefusal(value, 10);
}

std::string BleedRefusal(std::string_view value) {
    return PointsRefusal(value, 72);
}

std::string FlipRefusal(std::string_view value) {
    return OneOfRefusal(value, "long", "short");
}

std::string BackShiftRefusal(std::string_view value) {
    if (value.empty()) return {};
    size_t comma = value.find(',');
    auto within = [](std::string_view text) {
        std::string_view trimmed = Trimmed(text);
        bool negative = trimmed.starts_with('-');
        std::optional<double> number = PlainDecimal(negative ? trimmed.substr(1) : trimmed);
        return number && *number <= 72;
    };
    if (comma != std::string_view::npos && within(value.substr(0, comma)) &&
        within(value.substr(comma + 1))) {
        return {};
    }
    return "is not X,Y in points, each from -72 to 72";
}

std::string OverlapRefusal(std::string_view value) {
    return PointsRefusal(value, 72);
}

std::string FoldRefusal(std::string_view value) {
    std::optional<int> pages = WholeNumber(value);
    if (pages && (*pages == 0 || std::ranges::find(kFoldPages, *pages) != std::end(kFoldPages)))
        return {};
    return "is not 0, 4, 8, 16 or 32 pages";
}

std::string BindingRefusal(std::string_view value) {
    return OneOfRefusal(value, "saddle", "perfect");
}

std::string CoverRefusal(std::string_view value) {
    if (value.empty() || value == "separate") return {};
    return "is not separate";
}

std::string PlainTextRefusal(std::string_view value) {
    bool control = std::ranges::any_of(value, [](char c) { return c >= 0 && c < ' '; });
    return control ? "holds a control character" : std::string();
}

}  // namespace desktop
