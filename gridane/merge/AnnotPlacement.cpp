#include "gridane/merge/AnnotPlacement.h"

#include <algorithm>
#include <cstdio>

#include "pdf/CPdfRawEdit.h"
#include "platform/ClassicNumbers.h"

namespace gridane {

namespace {

std::string Coordinate(double value) {
    platform::ClassicNumbers decimalPoint;
    char text[64];
    std::snprintf(text, sizeof text, " %.2f ", value);
    return text;
}

double PlaceX(double x, const PagePlacement& p) {
    return p.turned ? p.originX - p.scale * x : p.originX + p.scale * x;
}
double PlaceY(double y, const PagePlacement& p) {
    return p.turned ? p.originY - p.scale * y : p.originY + p.scale * y;
}

// A point of the page on the sheet, for any turn.
std::pair<double, double> PlacePoint(double x, double y, const PagePlacement& p) {
    if (p.quarterTurns == 1) return {p.originX + p.scale * y, p.originY - p.scale * x};
    if (p.quarterTurns == 3) return {p.originX - p.scale * y, p.originY + p.scale * x};
    return {PlaceX(x, p), PlaceY(y, p)};
}

std::string ReplaceArrayEntry(std::string_view raw, std::string_view key,
                              std::string_view coordinates, bool allowReference) {
    std::string_view dict = DictionaryPart(raw);
    auto entry = FindEntry(dict, key);
    if (!entry) return std::string(raw);
    bool isArray = raw[entry->valueBegin] == '[';
    bool isReference = ReferenceAt(dict, entry->valueBegin).has_value();
    if (!isArray && !(allowReference && isReference)) return std::string(raw);
    std::string result(raw.substr(0, entry->valueBegin));
    result += '[';
    result += coordinates;
    result += ']';
    result.append(raw.substr(entry->valueEnd));
    return result;
}

}  // namespace

std::vector<double> RectWithin(const std::vector<double>& rect, const std::array<double, 4>& part) {
    if (rect.size() != 4) return rect;
    double x1 = std::max(std::min(rect[0], rect[2]), part[0]);
    double y1 = std::max(std::min(rect[1], rect[3]), part[1]);
    double x2 = std::min(std::max(rect[0], rect[2]), part[2]);
    double y2 = std::min(std::max(rect[1], rect[3]), part[3]);
    if (x2 <= x1 || y2 <= y1) return {};
    return {x1, y1, x2, y2};
}

std::string PlacedRectText(const std::vector<double>& rect, const PagePlacement& placement) {
    if (rect.size() == 4) {
        auto [x1, y1] = PlacePoint(rect[0], rect[1], placement);
        auto [x2, y2] = PlacePoint(rect[2], rect[3], placement);
        return Coordinate(std::min(x1, x2)) + Coordinate(std::min(y1, y2)) +
               Coordinate(std::max(x1, x2)) + Coordinate(std::max(y1, y2));
    }
    return PlacedPointsText(rect, placement);
}

std::string PlacedPointsText(const std::vector<double>& points, const PagePlacement& placement) {
    std::string text;
    for (size_t k = 0; k + 1 < points.size(); k += 2) {
        auto [x, y] = PlacePoint(points[k], points[k + 1], placement);
        text += Coordinate(x) + Coordinate(y);
    }
    if (points.size() % 2 == 1) text += Coordinate(PlaceX(points.back(), placement));
    return text;
}

std::string ReplaceRectText(std::string_view raw, std::string_view coordinates) {
    return ReplaceArrayEntry(raw, "/Rect", coordinates, true);
}

std::string ReplaceQuadPointsText(std::string_view raw, std::string_view coordinates) {
    return ReplaceArrayEntry(raw, "/QuadPoints", coordinates, false);
}

}  // namespace gridane
