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

std::string PlacedRectText(const std::vector<double>& rect, const PagePlacement& placement) {
    if (rect.size() == 4) {
        double x1 = PlaceX(rect[0], placement), x2 = PlaceX(rect[2], placement);
        double y1 = PlaceY(rect[1], placement), y2 = PlaceY(rect[3], placement);
        return Coordinate(std::min(x1, x2)) + Coordinate(std::min(y1, y2)) +
               Coordinate(std::max(x1, x2)) + Coordinate(std::max(y1, y2));
    }
    return PlacedPointsText(rect, placement);
}

std::string PlacedPointsText(const std::vector<double>& points, const PagePlacement& placement) {
    std::string text;
    for (size_t k = 0; k < points.size(); ++k) {
        text +=
            Coordinate(k % 2 == 0 ? PlaceX(points[k], placement) : PlaceY(points[k], placement));
    }
    return text;
}

std::string ReplaceRectText(std::string_view raw, std::string_view coordinates) {
    return ReplaceArrayEntry(raw, "/Rect", coordinates, true);
}

std::string ReplaceQuadPointsText(std::string_view raw, std::string_view coordinates) {
    return ReplaceArrayEntry(raw, "/QuadPoints", coordinates, false);
}

}  // namespace gridane
