// Moving an annotation with its page: the page's content is drawn on the sheet moved by a
// translation and, for turned cells, turned by 180 degrees about the new origin; the
// annotation's Rect (and QuadPoints) get the same transformation, edited in the raw text of the
// annotation object. Pure functions over texts.
#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace gridane {

// Where a cell's page lands on the sheet: a point (x, y) of the page is drawn at
// (originX + x, originY + y), or at (originX - x, originY - y) when the cell is turned; a
// scaled page's coordinates are multiplied by its scale first.
struct PagePlacement {
    double originX = 0;
    double originY = 0;
    bool turned = false;
    // The drawing's scale: (originX + scale x, ...) .
    double scale = 1;
    // 1 or 3 for a cell turned by a quarter clockwise or counter-clockwise (`turned` is then
    // false): (x, y) lands at (originX + scale y, originY - scale x) or at
    // (originX - scale y, originY + scale x).
    int quarterTurns = 0;

    bool operator==(const PagePlacement&) const = default;
};

// The coordinates of a placed Rect as text, each number written " %.2f ". A four-number Rect
// stays normalised (lower-left corner first) when the cell is turned.
std::string PlacedRectText(const std::vector<double>& rect, const PagePlacement& placement);

// The coordinate pairs of a placed QuadPoints array, " %.2f " each, in their order.
std::string PlacedPointsText(const std::vector<double>& points, const PagePlacement& placement);

// `rect` (x1, y1, x2, y2, in any corner order) cut to `part`; empty when nothing of it is left.
std::vector<double> RectWithin(const std::vector<double>& rect, const std::array<double, 4>& part);

// `raw` with the value of /Rect replaced by "[" `coordinates` "]". The value may be a direct
// array or a reference (which then becomes a direct array). Unchanged when the annotation
// has no /Rect entry of either form.
std::string ReplaceRectText(std::string_view raw, std::string_view coordinates);

// The same for /QuadPoints, which is edited only when it is a direct array.
std::string ReplaceQuadPointsText(std::string_view raw, std::string_view coordinates);

}  // namespace gridane
