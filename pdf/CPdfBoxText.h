// The box text the settings give ("x1,y1,x2,y2" in points) and the page limit every box a
// setting gives is held to, for the engines and for the desktop program's setup files alike.
// Header only: the sheet plan, which links no library, uses it too.
#pragma once

#include <array>
#include <cmath>
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>

// The largest page side the file format allows, in points (200 inches).
inline constexpr double kMaxPagePoints = 14400;

// "x1,y1,x2,y2": four finite decimal numbers separated by single commas; nullopt for anything
// else.
inline std::optional<std::array<double, 4>> ParseBoxNumbers(std::string_view text) {
    // sscanf needs a terminated text; box strings are short, so a copy costs nothing.
    const std::string terminated(text);
    std::array<double, 4> box{};
    if (std::sscanf(terminated.c_str(), "%lf,%lf,%lf,%lf", &box[0], &box[1], &box[2], &box[3]) !=
        4) {
        return std::nullopt;
    }
    for (double v : box) {
        // "inf" or "nan" would be written into the sheet's boxes as words no reader takes.
        if (!std::isfinite(v)) return std::nullopt;
    }
    return box;
}

// Whether every number of the box lies within -kMaxPagePoints to kMaxPagePoints and neither of
// its sides is longer than kMaxPagePoints.
inline bool IsWithinPageLimits(const std::array<double, 4>& box) {
    for (double v : box) {
        if (std::fabs(v) > kMaxPagePoints) return false;
    }
    return std::fabs(box[2] - box[0]) <= kMaxPagePoints &&
           std::fabs(box[3] - box[1]) <= kMaxPagePoints;
}

// What a box beyond the limit is told, after "is out of range: ".
inline constexpr const char* kPageLimitRule =
    "every number must lie within -14400 and 14400 points, and no side may be longer than "
    "14400 points";
