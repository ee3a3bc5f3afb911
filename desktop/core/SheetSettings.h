// The sheet settings of a job: the sheet's size and orientation, fitting pages to it, the outer
// margin and gutter, booklet signatures, right-to-left order, creep and printer's marks. Here:
// the SHEET value's form, the limits every value is held to (a setup file is read as written
// by anyone), and the text the imposition engine gets for the sheet.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "paper/SheetSize.h"

namespace desktop {

enum class SheetOrientation { Auto, Portrait, Landscape };

// A SHEET value taken apart. `paper` is a name of the paper table (paper/PaperTable.h, as the
// table spells it, never an alias), or kCustomPaper with `width` and `height` in points, or
// empty for no sheet size.
struct SheetChoice {
    std::string paper;
    double width = 0;
    double height = 0;
    SheetOrientation orientation = SheetOrientation::Auto;

    bool operator==(const SheetChoice&) const = default;
};

// The largest sheet side and the widest margin or gutter, in points (200 inches: the largest
// page PDF viewers show); the most sheets in a signature; the thickest paper for creep, in mm.
inline constexpr double kMaxSheetPoints = paper::kMaxSheetSide;
inline constexpr int kMaxMarginPoints = 7200;
inline constexpr int kMaxSignatureSheets = 256;
inline constexpr double kMaxCreepMillimetres = 1.0;

// "A4", "letter:landscape", "595.5,842", "612,792:portrait" in the sheet grammar the engine
// also reads (paper/SheetSize.h); nullopt when `text` is none of these (an unknown name, a
// size out of range, a stray word).
std::optional<SheetChoice> ParseSheet(std::string_view text);
// The SHEET value of `choice` ("" for no paper).
std::string SheetText(const SheetChoice& choice);

// The engine's `sheet` text for a SHEET value: the value in its written form, a paper named as
// the table spells it; "" for none. A value ParseSheet refuses
// goes as it is, for the engine to refuse with its own message.
std::string SheetPutText(std::string_view sheet);

// The paper thickness of a CREEP value in mm (empty: 0); nullopt when it is no plain decimal
// number from 0 to kMaxCreepMillimetres.
std::optional<double> ParseCreep(std::string_view text);
// True for a CREEP value of no thickness ("", "0", "0.0").
bool IsNoCreep(std::string_view text);

// Why a value read from a setup file is not taken, or empty when it is: the key table's
// refusals for SHEET, the check boxes, OUTERMARGIN and GUTTER, SIGNATURE and CREEP, and for
// the boxes (CROPBOX, MEDIABOX and their second ones): a box beyond the format's page limit.
std::string SheetRefusal(std::string_view value);
std::string CheckRefusal(std::string_view value);
std::string MarginRefusal(std::string_view value);
std::string SignatureRefusal(std::string_view value);
std::string CreepRefusal(std::string_view value);
std::string BoxRefusal(std::string_view value);

// The same for the keys of cards and free grids: GRID ("CxR", 1 to 20 each, or empty),
// FILLORDER (rows or columns, or empty), FRAME (points 0 to 10), BLEED (points 0 to 72), FLIP
// (long or short, or empty) and BACKSHIFT ("X,Y" points -72 to 72 each, or empty).
std::string GridRefusal(std::string_view value);
std::string FillOrderRefusal(std::string_view value);
std::string FrameRefusal(std::string_view value);
std::string BleedRefusal(std::string_view value);
std::string FlipRefusal(std::string_view value);
std::string BackShiftRefusal(std::string_view value);

// The same for poster tiles (TILE takes the GRID form, POSTER the SHEET form), the press sheet
// and folded signatures: OVERLAP (points 0 to 72, or empty), FOLD (0, 4, 8, 16 or 32), BINDING
// (saddle or perfect, or empty), COVER (separate, or empty), and for SLUG and TEMPLATE a text
// without control characters (a tab would reach the sheet or the file name unseen).
inline constexpr int kFoldPages[] = {4, 8, 16, 32};
std::string OverlapRefusal(std::string_view value);
std::string FoldRefusal(std::string_view value);
std::string BindingRefusal(std::string_view value);
std::string CoverRefusal(std::string_view value);
std::string PlainTextRefusal(std::string_view value);

}  // namespace desktop
