// The conversion dialog's size lists over the one paper table (paper/PaperTable.h): its pairs
// in whole points (for the image, TIFF, text and word-processor pairs) and in millimetres (for
// the web-page pair). The pairs are the dialog's own columns of the table: several rows are
// landscape, some differ in orientation between points and millimetres, and a few ("A8",
// "2A0", "C2") differ from the published sizes. Names are found as the table finds them (any
// letter case, aliases).
#pragma once

#include <optional>
#include <span>
#include <string_view>

namespace desktop {

inline constexpr std::string_view kCustomPaper = "Custom";

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
