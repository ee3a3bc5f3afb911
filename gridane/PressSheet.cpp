#include "gridane/PressSheet.h"

#include <array>
#include <cmath>

namespace gridane {
namespace {

// Space kept between the middle target and the bar or slug beside it.
constexpr double kTargetClearance = 4;
// The colour bar's patches (PressContent.cpp draws them).
constexpr int kPatchCount = 16;
// The least room a slug line may have.
constexpr double kSlugRoomLeast = 30;

std::string WholePoints(double value) {
    return std::to_string(static_cast<long>(std::lround(value)));
}

// Which field a "{...}" at `at` names; the length of the whole field, or 0 for none.
struct FieldMatch {
    std::string_view name;
    size_t length = 0;
};

constexpr std::array<std::string_view, 6> kSlugFields{"file",   "date", "sheet",
                                                      "sheets", "side", "job"};

FieldMatch FieldAt(std::string_view text, size_t at) {
    size_t close = text.find('}', at);
    if (close == std::string_view::npos) return {};
    std::string_view name = text.substr(at + 1, close - at - 1);
    for (std::string_view field : kSlugFields) {
        if (name == field) return {field, close - at + 1};
    }
    return {};
}

}  // namespace

bool UsesPressSheet(const JobSettings& s) {
    return !s.slug.empty() || s.regMarks || s.colorBar;
}

std::string CheckPressSettings(const JobSettings& s) {
    if (s.slug.size() > kMaxSlugLength) {
        return "Slug of " + std::to_string(s.slug.size()) +
               " characters is too long: give at most " + std::to_string(kMaxSlugLength) + "\n";
    }
    for (size_t at = 0; at < s.slug.size(); ++at) {
        if (s.slug[at] != '{') continue;
        if (s.slug.compare(at, 2, "{{") == 0) {
            ++at;
            continue;
        }
        FieldMatch field = FieldAt(s.slug, at);
        if (field.length == 0) {
            std::string_view rest = std::string_view(s.slug).substr(at, 20);
            size_t close = rest.find('}');
            if (close != std::string_view::npos) rest = rest.substr(0, close + 1);
            return "Slug field '" + std::string(rest) +
                   "' is unknown: use {file}, {date}, {sheet}, {sheets}, {side} or {job}, and {{ "
                   "for {\n";
        }
        at += field.length - 1;
    }
    return {};
}

void PlaceSideLabel(PlannedSide& side, std::string text, double x, double y, double width) {
    PressItems& items = side.press;
    items.turns = (side.rotate / 90) % 4;
    items.pageWidth = side.mediaBox.box.Width();
    items.pageHeight = side.mediaBox.box.Height();
    items.slug = true;
    items.slugX = x;
    items.slugY = y;
    items.slugWidth = width;
    items.label = std::move(text);
}

std::string PlacePressItems(const JobSettings& s, PlannedSide& side) {
    PressItems& items = side.press;
    items = {};
    if (!UsesPressSheet(s)) return {};
    double w = side.shownWidth, h = side.shownHeight;
    items.turns = (side.rotate / 90) % 4;
    items.pageWidth = side.mediaBox.box.Width();
    items.pageHeight = side.mediaBox.box.Height();
    const double middle = kPressBand / 2;
    if (s.regMarks) {
        items.targets = {
            {w / 2, middle}, {w / 2, h - middle}, {middle, h / 2}, {w - middle, h / 2}};
    }
    // The bar and the slug start at the left and end before the middle target, or before the
    // band of the right edge.
    double end = s.regMarks ? w / 2 - kTargetReach - kTargetClearance : w - kPressBand;
    if (s.colorBar) {
        items.patches = kPatchCount;
        items.patchSize = kPatchSize;
        items.barX = kPressBand;
        items.barY = middle - kPatchSize / 2;
        double needed = items.barX + items.patches * kPatchSize;
        if (needed > end) {
            double least =
                s.regMarks ? 2 * (needed + kTargetReach + kTargetClearance) : needed + kPressBand;
            return "The colour bar needs a sheet " + WholePoints(least) +
                   " points wide; the sheet is " + WholePoints(w) + "\n";
        }
    }
    if (!s.slug.empty()) {
        items.slug = true;
        items.slugX = kPressBand;
        items.slugY = h - middle - kSlugSize * 0.35;
        items.slugWidth = end - kPressBand;
        if (items.slugWidth < kSlugRoomLeast) {
            return "The sheet, " + WholePoints(w) + " points wide, has no room for the slug\n";
        }
    }
    return {};
}

std::string ExpandSlug(std::string_view slugTemplate, const SlugFields& f) {
    std::string text;
    for (size_t at = 0; at < slugTemplate.size(); ++at) {
        char c = slugTemplate[at];
        if (c == '}' && slugTemplate.compare(at, 2, "}}") == 0) ++at;
        if (c != '{') {
            text += c;
            continue;
        }
        if (slugTemplate.compare(at, 2, "{{") == 0) {
            text += '{';
            ++at;
            continue;
        }
        FieldMatch field = FieldAt(slugTemplate, at);
        if (field.length == 0) {
            text += c;
            continue;
        }
        if (field.name == "file") text += f.file;
        if (field.name == "date") text += f.date;
        if (field.name == "sheet") text += std::to_string(f.sheet);
        if (field.name == "sheets") text += std::to_string(f.sheets);
        if (field.name == "side") text += f.back ? "back" : "front";
        if (field.name == "job") text += f.job;
        at += field.length - 1;
    }
    return text;
}

}  // namespace gridane
