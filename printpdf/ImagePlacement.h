// Where an image goes on a page: the transformation that maps the image's unit square onto
// the rectangle the caller names, in the page's PDF space.
//
// Callers name rectangles in drawing coordinates: measured from the corner the origin setting
// chooses, with the rectangle extending away from that corner into the page.
#pragma once

#include <optional>

namespace printpdf {

enum class DrawingOrigin { BottomLeft = 0, TopLeft = 1 };

struct PdfRect {
    double x = 0;  // lower-left corner in PDF space
    double y = 0;
    double width = 0;
    double height = 0;
};

struct ImageMatrix {
    double a = 1, b = 0, c = 0, d = 1, e = 0, f = 0;
};

// The PDF rectangle of a drawing-coordinate rectangle on a page whose media box is `page`.
PdfRect ToPdfRect(DrawingOrigin origin, const PdfRect& page, double left, double top, double width,
                  double height);

// Stretches the image over `target`; `quarterTurn` turns it clockwise first.
ImageMatrix StretchInto(const PdfRect& target, bool quarterTurn);

struct FitRequest {
    double imageWidth = 0;  // the image's proportions (any unit)
    double imageHeight = 0;
    int hAlign = 0;  // 0 left, 1 centre, 2 right
    int vAlign = 0;  // 0 near the origin's side, 1 middle, 2 far side
    bool allowQuarterTurn = false;
};

// The drawing-coordinate rectangle (left, top, width, height) that the image fills when fitted
// into the box, and whether it is turned; no value for out-of-range alignments or sizes.
struct FitResult {
    double left = 0, top = 0, width = 0, height = 0;
    bool quarterTurn = false;
};
std::optional<FitResult> FitInto(const FitRequest& request, double left, double top, double width,
                                 double height);

}  // namespace printpdf
