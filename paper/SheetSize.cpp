#include "paper/SheetSize.h"

#include "paper/PaperTable.h"
#include "platform/Text.h"

namespace paper {
namespace {

using platform::Trimmed;

std::optional<SheetSizeOrError> PointsSize(std::string_view text, std::string_view value) {
    size_t comma = text.find(',');
    std::optional<double> width = platform::PlainDecimal(text.substr(0, comma));
    std::optional<double> height = platform::PlainDecimal(text.substr(comma + 1));
    if (!width || !height) return std::nullopt;
    if (*width < 1 || *height < 1 || *width > kMaxSheetSide || *height > kMaxSheetSide) {
        return SheetSizeOrError{"Sheet size '" + std::string(value) +
                                "' is out of range: each side must be 1 to 14400 points\n"};
    }
    return SheetSizeOrError{SheetSize{*width, *height, SheetOrientation::Automatic, {}}};
}

}  // namespace

std::optional<SheetSize> LookupPaperName(std::string_view name) {
    const Paper* paper = FindPaper(name);
    if (paper == nullptr) return std::nullopt;
    return SheetSize{paper->widthMm * kPointsPerMm, paper->heightMm * kPointsPerMm,
                     SheetOrientation::Automatic, paper->name};
}

std::optional<SheetSizeOrError> ParseSheetSize(std::string_view text) {
    if (Trimmed(text).empty()) return std::nullopt;
    std::string_view body = text;
    SheetOrientation orientation = SheetOrientation::Automatic;
    size_t colon = text.rfind(':');
    if (colon != std::string_view::npos) {
        std::string_view suffix = Trimmed(text.substr(colon + 1));
        if (platform::SameLetters(suffix, "portrait")) {
            orientation = SheetOrientation::Portrait;
        } else if (platform::SameLetters(suffix, "landscape")) {
            orientation = SheetOrientation::Landscape;
        } else {
            return SheetSizeOrError{"Sheet orientation '" + std::string(suffix) + "' in '" +
                                    std::string(text) + "' is neither portrait nor landscape\n"};
        }
        body = text.substr(0, colon);
    }
    std::optional<SheetSizeOrError> size;
    if (std::optional<SheetSize> named = LookupPaperName(body)) {
        size = SheetSizeOrError{*named};
    } else if (body.find(',') != std::string_view::npos) {
        size = PointsSize(body, text);
    }
    if (!size) {
        return SheetSizeOrError{"Unknown sheet size '" + std::string(text) +
                                "': give a paper name such as A4 or Letter, or W,H in points\n"};
    }
    if (auto* sheet = std::get_if<SheetSize>(&*size)) sheet->orientation = orientation;
    return size;
}

}  // namespace paper
