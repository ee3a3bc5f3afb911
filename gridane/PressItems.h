// What a sheet side carries for the press beyond its pages and their cut and fold marks:
// registration targets, a colour bar and a line of text (the slug), placed by the sheet plan
// in the outer band of the sheet's margin (PressSheet.h). Plain data.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace gridane {

// A registration target: a circle and a cross whose arms reach this far from the centre.
inline constexpr double kTargetRadius = 5;
inline constexpr double kTargetReach = 8;
inline constexpr double kPatchSize = 8;
// The slug's type size; it shrinks to fit its room before it is cut.
inline constexpr double kSlugSize = 7;

struct PressItems {
    // Laid out in the side's shown coordinates (the sheet as a viewer shows it, origin lower
    // left); `turns` clockwise quarter turns of the viewer (the side's /Rotate) map them back
    // onto the page, whose own size is `pageWidth` x `pageHeight`.
    int turns = 0;
    double pageWidth = 0;
    double pageHeight = 0;

    std::vector<std::pair<double, double>> targets;  // centres of registration targets

    int patches = 0;  // colour bar patches; 0 for no bar
    double barX = 0, barY = 0, patchSize = 0;

    bool slug = false;  // whether the side has a slug line
    double slugX = 0, slugY = 0;
    double slugWidth = 0;  // room for the line, points
    std::string label;     // the line's own text (a poster tile's), in place of the slug's

    bool Any() const { return !targets.empty() || patches > 0 || slug; }
    bool operator==(const PressItems&) const = default;
};

}  // namespace gridane
