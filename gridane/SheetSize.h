// The `sheet` setting: a paper name or "W,H" in points, optionally followed by ":portrait" or
// ":landscape". Names are those of the desktop's paper lists ("US Letter", "A4", "Folio, F4",
// ...) and a few common aliases ("Letter", "Tabloid", "11x17"), in any letter case; their sizes
// are the published ones. Without a suffix the orientation is left to the layout, which turns
// the sheet to suit its grid.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace gridane {

enum class SheetOrientation { Automatic, Portrait, Landscape };

struct SheetSize {
    double width = 0;  // points, as named or given; the orientation may exchange them
    double height = 0;
    SheetOrientation orientation = SheetOrientation::Automatic;
    bool operator==(const SheetSize&) const = default;
};

// Every paper name the sheet setting knows, in table order (what shell completion offers).
std::vector<std::string_view> PaperNames();

// The size of a paper name (portrait: width <= height), or nullopt for an unknown name.
std::optional<SheetSize> LookupPaperName(std::string_view name);

// The sheet of a `sheet` text: nullopt for an empty text, else the size or a message naming
// the value that is wrong.
using SheetSizeOrError = std::variant<SheetSize, std::string>;
std::optional<SheetSizeOrError> ParseSheetSize(std::string_view text);

// The largest sheet side a PDF page may have, in points.
inline constexpr double kMaxSheetSide = 14400;

}  // namespace gridane
