// A two-sided test sheet for the register of a duplex printer (`calibration`): a cross at the
// centre of both sides and rulers through it, ticked every millimetre. Printed and held to the
// light, the back's cross falls somewhere on the front's rulers; the front's labels there give
// the back shift (in points) that brings the back into register.
#pragma once

#include <string>
#include <utility>

#include "platform/FileSpace.h"

namespace gridane {

// How the printer turns the sheet over for its back: over its long or its short edge (as the
// job's flip says), which on a sheet of this shape is its left and right or its top and bottom.
struct SheetTurnOver {
    bool shortEdge = false;
    bool overLeftRight = true;
};
SheetTurnOver TurnOverOf(bool shortEdge, double width, double height);

// The content of one side of the test sheet, `width` x `height` points, drawing its text in
// the font resource /F1 (kSlugFontDict).
std::string CalibrationSideContent(double width, double height, bool back, SheetTurnOver turn);

// The back shift, in points along x and y, that corrects a back whose cross shows `right` and
// `up` millimetres from the front's centre, seen on the front.
std::pair<double, double> BackShiftForReading(double right, double up, SheetTurnOver turn);

// Writes the two sides as the PDF `path` (replacing it only when complete); throws
// CPdfException with the reason when the file cannot be written.
void WriteCalibrationSheet(const std::string& path, double width, double height, bool shortEdge,
                           platform::FileSpace files = {});

}  // namespace gridane
