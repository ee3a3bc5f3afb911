// The named paper sizes of the conversion dialog's size lists: one table in whole points (for
// the image, TIFF, text and word-processor pairs), one in millimetres (for the web-page pair).
// The values are the program's own: several rows are landscape, some differ in orientation
// between the two tables, and a few ("A8", "2A0", "C2") differ from the published sizes.
#pragma once

#include <optional>
#include <span>
#include <string_view>

namespace desktop {

inline constexpr std::string_view kCustomPaper = "Custom";

struct PaperSize {
    std::string_view name;
    int widthPt;
    int heightPt;
    double widthMm;
    double heightMm;
};

// The 56 named sizes in list order ("US Letter" ... "ANSI E"); "Custom" is not among them.
std::span<const PaperSize> PaperSizes();

// The 57 names of each list: the table's names, then "Custom".
std::span<const std::string_view> PaperSizeNames();

struct PointSize {
    int width;
    int height;
    bool operator==(const PointSize&) const = default;
};
struct MillimetreSize {
    double width;
    double height;
    bool operator==(const MillimetreSize&) const = default;
};

// The pair of a name; nullopt for "Custom" and unknown names (the pair is then left as it is).
std::optional<PointSize> LookupPoints(std::string_view name);
std::optional<MillimetreSize> LookupMillimetres(std::string_view name);

// The first name whose held pair equals the given one in both values (reals compared
// exactly), else "Custom".
std::string_view PaperNameForPoints(int width, int height);
std::string_view PaperNameForMillimetres(double width, double height);

// Choosing `name` in one of the dialog's lists: "Custom" enables the pair's two edits and
// returns true; any other name disables them (returns false) and sets the pair from the table
// (points for the image, TIFF, text and word-processor lists, millimetres for the web-page
// list), an unknown name leaving it as it is.
bool ChoosePaperPoints(std::string_view name, int& width, int& height);
bool ChoosePaperMillimetres(std::string_view name, double& width, double& height);

}  // namespace desktop
