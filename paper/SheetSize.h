// The one grammar of a sheet size, shared by the engine's `sheet` setting, the setup file's
// SHEET value and the main window: a paper name of the table (PaperTable.h, any letter case,
// aliases too) or "W,H" in points (plain decimals: no sign, no exponent), optionally followed by
// ":portrait" or ":landscape". Without a suffix the orientation is left to the layout, which turns
// the sheet to suit its grid.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <variant>

namespace paper {

enum class SheetOrientation { Automatic, Portrait, Landscape };

struct SheetSize {
    double width = 0;  // points, as named or given; the orientation may exchange them
    double height = 0;
    SheetOrientation orientation = SheetOrientation::Automatic;
    std::string_view paper;  // the table's name of a named paper (never an alias), else empty
    bool operator==(const SheetSize&) const = default;
};

// The largest sheet side a PDF page may have, in points.
inline constexpr double kMaxSheetSide = 14400;

// The size of a paper name at its published size (portrait), or nullopt for an unknown name.
std::optional<SheetSize> LookupPaperName(std::string_view name);

// The sheet of a `sheet` text: nullopt for an empty text, else the size or a message naming
// the value that is wrong.
using SheetSizeOrError = std::variant<SheetSize, std::string>;
std::optional<SheetSizeOrError> ParseSheetSize(std::string_view text);

}  // namespace paper
