#include "desktop/core/PaperSizes.h"

#include <algorithm>
#include <array>

namespace desktop {
namespace {

// Width and height in points, then in millimetres, as the lists have always held them.
constexpr std::array<PaperSize, 56> kSizes{{
    {"US Letter", 612, 792, 215.9, 279.4},
    {"Executive", 522, 756, 184.1, 266.7},
    {"Ledger", 792, 1224, 279.4, 431.8},
    {"Legal", 612, 1008, 215.9, 355.6},
    {"A0", 2384, 3370, 841, 1189},
    {"A1", 1684, 2384, 594, 841},
    {"A2", 1190, 1684, 420, 594},
    {"A3", 842, 1190, 297, 420},
    {"A4", 595, 842, 210, 297},
    {"A5", 420, 595, 148, 210},
    {"A6", 298, 420, 105, 148},
    {"A7", 209, 298, 74, 105},
    {"A8", 210, 147, 74, 52},
    {"A9", 147, 105, 52, 37},
    {"A10", 105, 74, 37, 26},
    {"2A0", 6741, 4768, 1682, 1189},
    {"4A0", 4768, 3370, 2378, 1682},
    {"Folio, F4", 595, 935, 210, 330},
    {"Foolscap E", 575, 935, 203, 330},
    {"Index Card 5x8", 576, 360, 203, 127},
    {"Photo 4x6", 432, 288, 152, 102},
    {"Statement, Half Letter", 432, 279, 216, 140},
    {"Tabloid", 1224, 792, 431.8, 279.4},
    {"US Goverment", 575, 792, 203.2, 266.7},
    {"DL", 595, 283, 210, 99},
    {"SRA3", 1276, 907, 450, 320},
    {"B0", 2835, 4008, 1000, 1414},
    {"B1", 2004, 2835, 707, 1000},
    {"B2", 1417, 2004, 500, 707},
    {"B3", 1001, 1417, 353, 500},
    {"B4", 709, 1001, 250, 353},
    {"B5", 499, 709, 176, 250},
    {"B6", 354, 499, 125, 176},
    {"B7", 249, 354, 88, 125},
    {"B8", 176, 249, 62, 88},
    {"B9", 125, 176, 44, 62},
    {"B10", 88, 125, 31, 44},
    {"C0", 3677, 2599, 1297, 917},
    {"C1", 2599, 1837, 917, 648},
    {"C2", 1837, 578, 648, 458},
    {"C3", 578, 919, 458, 324},
    {"C4", 919, 649, 324, 229},
    {"C5", 649, 459, 229, 162},
    {"C6", 459, 323, 162, 114},
    {"C7", 323, 230, 114, 81},
    {"C8", 230, 162, 81, 57},
    {"C9", 162, 113, 57, 40},
    {"C10", 113, 79, 40, 28},
    {"Arch A", 864, 648, 229, 305},
    {"Arch B", 1296, 864, 305, 457},
    {"Arch C", 1728, 1296, 457, 610},
    {"Arch D", 2592, 1728, 610, 914},
    {"Arch E", 3456, 2592, 914, 1219},
    {"ANSI C", 1584, 1224, 559, 432},
    {"ANSI D", 2448, 1584, 864, 559},
    {"ANSI E", 3168, 2448, 1118, 864},
}};

constexpr std::array<std::string_view, 57> MakeNames() {
    std::array<std::string_view, 57> names{};
    for (size_t i = 0; i < kSizes.size(); ++i) names[i] = kSizes[i].name;
    names[56] = kCustomPaper;
    return names;
}
constexpr std::array<std::string_view, 57> kNames = MakeNames();

const PaperSize* Find(std::string_view name) {
    auto found = std::find_if(kSizes.begin(), kSizes.end(),
                              [name](const PaperSize& size) { return size.name == name; });
    return found == kSizes.end() ? nullptr : &*found;
}

}  // namespace

std::span<const PaperSize> PaperSizes() {
    return kSizes;
}

std::span<const std::string_view> PaperSizeNames() {
    return kNames;
}

std::optional<PointSize> LookupPoints(std::string_view name) {
    const PaperSize* size = Find(name);
    if (size == nullptr) return std::nullopt;
    return PointSize{size->widthPt, size->heightPt};
}

std::optional<MillimetreSize> LookupMillimetres(std::string_view name) {
    const PaperSize* size = Find(name);
    if (size == nullptr) return std::nullopt;
    return MillimetreSize{size->widthMm, size->heightMm};
}

std::string_view PaperNameForPoints(int width, int height) {
    for (const PaperSize& size : kSizes) {
        if (size.widthPt == width && size.heightPt == height) return size.name;
    }
    return kCustomPaper;
}

std::string_view PaperNameForMillimetres(double width, double height) {
    for (const PaperSize& size : kSizes) {
        if (size.widthMm == width && size.heightMm == height) return size.name;
    }
    return kCustomPaper;
}

bool ChoosePaperPoints(std::string_view name, int& width, int& height) {
    if (name == kCustomPaper) return true;
    if (std::optional<PointSize> size = LookupPoints(name)) {
        width = size->width;
        height = size->height;
    }
    return false;
}

bool ChoosePaperMillimetres(std::string_view name, double& width, double& height) {
    if (name == kCustomPaper) return true;
    if (std::optional<MillimetreSize> size = LookupMillimetres(name)) {
        width = size->width;
        height = size->height;
    }
    return false;
}

}  // namespace desktop
