// The text of a sheet side's drawing: per cell, a small stream that saves the graphics state
// and moves the origin to the cell, the cell page's own content streams (listed by reference,
// never read), and a small stream that restores the state. Pure text builders; the sheet
// writer writes the streams and puts the array text into the page.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "gridane/SheetPlan.h"

namespace gridane {

// "q", the move to the cell, for a page turned by a half the turn, and the clip to the
// page's visible box ("x y w h re W n") when the cell has one.
std::string CellOpenContent(const PlannedCell& cell);
inline constexpr std::string_view kCellCloseContent = "Q\n";

// The side's crop and fold marks, drawn after every cell; empty when it has none.
std::string SheetMarksContent(const PlannedSide& side);

// A new, uncompressed stream object: "%d 0 obj\n<<\n/Length %d >>\nstream\n...endstream\nendobj\n".
std::string StreamObjectText(int number, std::string_view content);

// " %d %d R " for one content stream of a cell page.
std::string ContentReferenceText(int number, int generation);

struct CellDrawing {
    int openStream = 0;
    std::string contentsList;  // the cell page's " n g R " references; empty for a blank cell
    int closeStream = 0;
};

// " %d 0 R %s %d 0 R" per cell in slot order, and one blank after the last.
std::string SheetContentsArrayText(const std::vector<CellDrawing>& cells);

}  // namespace gridane
