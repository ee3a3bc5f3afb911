// The press sheet: a line of text (the slug), registration targets and a colour bar in the
// outer band of every sheet's margin. The plan places them (PlacePressItems) once a side is laid
// out; PressContent.h turns them into content. Pure functions.
#pragma once

#include <string>
#include <string_view>

#include "gridane/JobSettings.h"
#include "gridane/SheetPlan.h"

namespace gridane {

// The band along the sheet's edges that holds the press items: a sheet with any of them has a
// margin of at least this, beyond the room its cut and fold marks take.
inline constexpr double kPressBand = 20;

// The longest slug template accepted, in bytes.
inline constexpr size_t kMaxSlugLength = 500;

// Whether the slug, the registration targets or the colour bar is asked for.
bool UsesPressSheet(const JobSettings& settings);

// Why the slug template cannot be used (too long, an unknown field); empty when it can.
std::string CheckPressSettings(const JobSettings& settings);

// Places the press items on `side`, whose boxes, rotate and shown size are set. Returns why
// they do not fit on the sheet, else empty.
std::string PlacePressItems(const JobSettings& settings, PlannedSide& side);

// Puts the line `text` in the side's margin in place of a slug line (a poster tile's "row 2,
// column 3"): its left end and baseline at `x`, `y` of the side as shown, within `width`.
void PlaceSideLabel(PlannedSide& side, std::string text, double x, double y, double width);

// What the slug's fields stand for on one sheet side.
struct SlugFields {
    std::string file;  // the input's file name, without its folder
    std::string date;  // the day of the run, YYYY-MM-DD
    std::string job;   // the output's file name without folder and extension
    int sheet = 1;
    int sheets = 1;
    bool back = false;
};

// The template with its fields filled in ("{{" and "}}" give "{" and "}").
std::string ExpandSlug(std::string_view slugTemplate, const SlugFields& fields);

}  // namespace gridane
