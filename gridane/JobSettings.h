// The settings of one imposition run (`JobSettings`) and the decisions that follow from them
// alone: the box-string rule, the layout group, its cell count and its grid.
//
// `JobSettings` is plain data copied into every run by value; nothing in it refers to the
// settings object it was copied from.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "paper/SheetSize.h"
#include "platform/Text.h"

namespace gridane {

// A rectangle x1, y1, x2, y2 in points. All four at -1 means "not given" in the job boxes.
struct Box {
    double x1 = -1;
    double y1 = -1;
    double x2 = -1;
    double y2 = -1;

    // A job box counts as given when its first number is not -1.
    bool IsGiven() const { return x1 != -1; }
    // The second crop box counts only when all four numbers are set.
    bool AllGiven() const { return x1 != -1 && y1 != -1 && x2 != -1 && y2 != -1; }
    double Width() const { return x2 - x1; }
    double Height() const { return y2 - y1; }
    bool operator==(const Box&) const = default;
};

// The page-tree default of every page box.
inline constexpr Box kDefaultPageBox{0, 0, 612, 792};

// "x1,y1,x2,y2": four decimal numbers separated by single commas. Anything that does not give
// four finite numbers yields no box (the job box then stays unset).
std::optional<Box> ParseBoxString(std::string_view text);

// A job box as put: the parsed box, or "not given" when the text does not parse (also after an
// earlier good one). A box beyond the format's page limit is not given either, and keeps its
// text in `refused`, so that the run refuses it with a message instead of writing it.
struct JobBox : Box {
    JobBox() = default;
    JobBox(double left, double bottom, double right, double top) : Box{left, bottom, right, top} {}
    std::string refused;
    bool operator==(const JobBox&) const = default;
};

void AssignSettingText(JobBox& box, std::string_view text);

using platform::ParseDecimal;

// A length put as text ("0.1"), in millimetres or points as its setting says. A text that is
// not one finite number keeps itself in `refused`, so that the run can name it in its message
// instead of guessing.
struct DecimalText {
    double value = 0;
    std::string refused;
    bool operator==(const DecimalText&) const = default;
};
using Millimetres = DecimalText;
using Points = DecimalText;

// "" stands for 0; anything else must be a whole decimal number.
void AssignSettingText(DecimalText& length, std::string_view text);

// The sheet size put as text (paper/SheetSize.h), parsed once when it is put: `size` is empty
// for an empty text, else the size or the message naming what is wrong.
struct SheetSetting {
    std::string text;
    std::optional<paper::SheetSizeOrError> size;
    bool operator==(const SheetSetting&) const = default;
};

void AssignSettingText(SheetSetting& sheet, std::string_view text);

// The value of `e` that means "up to the last page".
inline constexpr int32_t kToLastPage = 99999;

struct JobSettings {
    int32_t firstPage = 1;           // s
    int32_t lastPage = kToLastPage;  // e

    bool ab = true;
    bool ab3 = false, ab4 = false, ab6 = false, ab8 = false, ab10 = false, ab12 = false;
    bool split = false;
    bool down = false;
    bool up2x6 = false, up6x2 = false, up3x4 = false, up4x3 = false;
    bool up2x5 = false, up5x2 = false;
    bool up2x4 = false, up4x2 = false;
    bool up2x3 = false, up3x2 = false;
    bool up3 = false, up3down = false;
    bool up4 = false;
    bool up2to1 = false, up2to1h = false;
    bool duplicate = false;
    bool rotateRight = false, rotateLeft = false;
    bool duplex = false, duplex1423 = false, duplex1342 = false, duplex4123 = false;
    bool outer_in = false;

    std::string sequenceFile;  // seq

    int32_t rightMargin = 0;
    int32_t bottomMargin = 0;
    int32_t splitOffset = 0;  // offset_split

    JobBox cropBox, mediaBox, cropBox2, mediaBox2;

    // Sheet layout. All at their defaults, a sheet is as large as its grid of unscaled pages.
    SheetSetting sheet;        // paper name or "W,H" in points, optionally ":portrait"/":landscape"
    bool fitToCell = false;    // fit: pages scaled to fill their cells, enlarged too
    int32_t outerMargin = 0;   // outer_margin, points
    int32_t gutter = 0;        // points between cells
    int32_t signature = 0;     // sheets per booklet section; 0 = one section
    bool rightToLeft = false;  // rtl
    Millimetres creep;         // paper thickness
    bool cropMarks = false;
    bool foldMarks = false;

    // Cards and free grids. All at their defaults, the layouts above decide alone.
    std::string freeGrid;      // grid: "CxR", any columns and rows in place of the fixed grids
    std::string fillOrder;     // order: "rows" (or empty) or "columns"
    std::string fillFrom;      // from: "top" (or empty) or "bottom"
    Points frame;              // frame: width of a line round every placed page, points
    bool repeat = false;       // every cell of side k shows page k, the grid fitted to the sheet
    Points bleed;              // bleed: points of each copy shown beyond its trim
    bool duplexBacks = false;  // duplex_backs: pages 1, 2 are front and back of card 1, ...
    std::string flip;          // flip: "long" (or empty) or "short", the duplex turn-over edge
    std::string backShift;     // back_shift: "X,Y" points every back side moves by
    bool calibration = false;  // write a test sheet for back_shift instead of imposing

    // The press sheet: a line of text, registration targets and a colour bar in the margin.
    std::string slug;       // the line's template, with {file}, {date}, {sheet}, ... fields
    bool regMarks = false;  // regmarks
    bool colorBar = false;  // colorbar

    bool unimpose = false;  // a 2-up booklet back into its pages in reading order

    // Poster tiles: every page enlarged over several sheets of the sheet size.
    std::string posterTiles;  // tile: "CxR" sheets a page is spread over
    SheetSetting posterSize;  // poster: the size a page is enlarged to, tiles as it needs
    Points overlap;           // points of picture neighbouring tiles share

    // Folded signatures: each sheet printed on both sides and folded into a section of pages.
    int32_t fold = 0;     // pages a sheet holds: 4, 8, 16 or 32; 0 = off
    std::string binding;  // "saddle" (or empty): sections nested; "perfect": stacked
    std::string cover;    // "separate": pages 1, 2 and the last two on a sheet of their own

    // Sheet templates: a layout read from a file in place of the built-in ones, and the
    // printing of the template of the built-in layout instead of a run.
    std::string templateFile;  // template
    bool printTemplate = false;

    // Decided by the plan, never put: the grid and turn that the automatic fit of `repeat`
    // chose (0 x 0 when none was fitted).
    int fittedColumns = 0;
    int fittedRows = 0;
    bool fittedTurned = false;

    bool operator==(const JobSettings&) const = default;
};

// Free: a grid of any size (`grid`, or the grid `repeat` fitted to the sheet).
enum class LayoutGroup { Up12, Up10, Up8, Up6, Up3, Up4, TwoToOne, Up2, Free };

// The group whose flags are on: Free with a grid, repeat or fold, else the first in the order 12,
// 10, 8, 6, 3, 4, 2-to-1, else 2-up.
LayoutGroup SelectLayoutGroup(const JobSettings& settings);

// Cells on one sheet side: 12, 10, 8, 6, 3, 4, 1 (2-to-1) or 2; 0 for the free group, whose
// count follows from its grid (CellCountOf).
int CellCount(LayoutGroup group);
int CellCountOf(const JobSettings& settings);

// The largest free grid: columns and rows each 1 to this.
inline constexpr int kMaxFreeGridSide = 20;

// Cells drawn by the content stream of a sheet side: the 2-to-1 group uses the 2-up form.
int DrawnCellCount(LayoutGroup group);

// Cell slots that must all be 0 for a sheet record to end the sheet list.
int SignificantSlotCount(LayoutGroup group);

// Columns and rows of the grid as the cells are numbered (row by row from the top-left),
// before any turn of the base page is taken into account.
struct Grid {
    int columns = 1;
    int rows = 1;
    bool operator==(const Grid&) const = default;
};
Grid GridOf(const JobSettings& settings);

// "CxR" with C and R from 1 to kMaxFreeGridSide ("3x4", "3X4"); nullopt for anything else.
std::optional<Grid> ParseGridText(std::string_view text);

// A page rotation turned into 0, 90, 180 or 270; values that are no multiple of 90 count as 0.
int NormaliseRotation(int64_t degrees);

}  // namespace gridane
