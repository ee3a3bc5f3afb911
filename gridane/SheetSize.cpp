#include "gridane/SheetSize.h"

#include "gridane/JobSettings.h"

#include <array>
#include <charconv>
#include <cmath>

namespace gridane {
namespace {

struct PaperName {
    std::string_view name;
    double widthMm;
    double heightMm;
};

// Published sizes, portrait. The names of the desktop's paper lists first, then aliases.
constexpr std::array<PaperName, 72> kPapers{{
    {"US Letter", 215.9, 279.4},
    {"Executive", 184.15, 266.7},
    {"Ledger", 279.4, 431.8},
    {"Legal", 215.9, 355.6},
    {"A0", 841, 1189},
    {"A1", 594, 841},
    {"A2", 420, 594},
    {"A3", 297, 420},
    {"A4", 210, 297},
    {"A5", 148, 210},
    {"A6", 105, 148},
    {"A7", 74, 105},
    {"A8", 52, 74},
    {"A9", 37, 52},
    {"A10", 26, 37},
    {"2A0", 1189, 1682},
    {"4A0", 1682, 2378},
    {"Folio, F4", 210, 330},
    {"Foolscap E", 203, 330},
    {"Index Card 5x8", 127, 203.2},
    {"Photo 4x6", 101.6, 152.4},
    {"Statement, Half Letter", 139.7, 215.9},
    {"Tabloid", 279.4, 431.8},
    {"US Goverment", 203.2, 266.7},
    {"DL", 99, 210},
    {"SRA3", 320, 450},
    {"B0", 1000, 1414},
    {"B1", 707, 1000},
    {"B2", 500, 707},
    {"B3", 353, 500},
    {"B4", 250, 353},
    {"B5", 176, 250},
    {"B6", 125, 176},
    {"B7", 88, 125},
    {"B8", 62, 88},
    {"B9", 44, 62},
    {"B10", 31, 44},
    {"C0", 917, 1297},
    {"C1", 648, 917},
    {"C2", 458, 648},
    {"C3", 324, 458},
    {"C4", 229, 324},
    {"C5", 162, 229},
    {"C6", 114, 162},
    {"C7", 81, 114},
    {"C8", 57, 81},
    {"C9", 40, 57},
    {"C10", 28, 40},
    {"Arch A", 228.6, 304.8},
    {"Arch B", 304.8, 457.2},
    {"Arch C", 457.2, 609.6},
    {"Arch D", 609.6, 914.4},
    {"Arch E", 914.4, 1219.2},
    {"ANSI C", 431.8, 558.8},
    {"ANSI D", 558.8, 863.6},
    {"ANSI E", 863.6, 1117.6},
    {"Letter", 215.9, 279.4},
    {"ANSI A", 215.9, 279.4},
    {"ANSI B", 279.4, 431.8},
    {"11x17", 279.4, 431.8},
    {"Half Letter", 139.7, 215.9},
    {"Statement", 139.7, 215.9},
    {"Folio", 210, 330},
    {"F4", 210, 330},
    {"Foolscap", 203, 330},
    {"US Government", 203.2, 266.7},
    {"Index Card", 127, 203.2},
    {"SRA4", 225, 320},
    {"SRA2", 450, 640},
    {"RA4", 215, 305},
    {"RA3", 305, 430},
    {"Government Letter", 203.2, 266.7},
}};

constexpr double kPointsPerMm = 72.0 / 25.4;

char Lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool SameLetters(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t k = 0; k < a.size(); ++k) {
        if (Lower(a[k]) != Lower(b[k])) return false;
    }
    return true;
}

std::string_view Trimmed(std::string_view text) {
    size_t begin = text.find_first_not_of(" \t");
    if (begin == std::string_view::npos) return {};
    size_t end = text.find_last_not_of(" \t");
    return text.substr(begin, end - begin + 1);
}

// A whole decimal number, or nullopt.
std::optional<double> NumberOf(std::string_view text) {
    return ParseDecimal(Trimmed(text));
}

std::optional<SheetSizeOrError> PointsSize(std::string_view text, std::string_view value) {
    size_t comma = text.find(',');
    std::optional<double> width = NumberOf(text.substr(0, comma));
    std::optional<double> height = NumberOf(text.substr(comma + 1));
    if (!width || !height) return std::nullopt;
    if (*width < 1 || *height < 1 || *width > kMaxSheetSide || *height > kMaxSheetSide) {
        return SheetSizeOrError{"Sheet size '" + std::string(value) +
                                "' is out of range: each side must be 1 to 14400 points\n"};
    }
    return SheetSizeOrError{SheetSize{*width, *height}};
}

}  // namespace

std::vector<std::string_view> PaperNames() {
    std::vector<std::string_view> names;
    for (const PaperName& paper : kPapers) names.push_back(paper.name);
    return names;
}

std::optional<SheetSize> LookupPaperName(std::string_view name) {
    name = Trimmed(name);
    for (const PaperName& paper : kPapers) {
        if (SameLetters(paper.name, name)) {
            return SheetSize{paper.widthMm * kPointsPerMm, paper.heightMm * kPointsPerMm};
        }
    }
    return std::nullopt;
}

std::optional<SheetSizeOrError> ParseSheetSize(std::string_view text) {
    if (Trimmed(text).empty()) return std::nullopt;
    std::string_view body = text;
    SheetOrientation orientation = SheetOrientation::Automatic;
    size_t colon = text.rfind(':');
    if (colon != std::string_view::npos) {
        std::string_view suffix = Trimmed(text.substr(colon + 1));
        if (SameLetters(suffix, "portrait")) {
            orientation = SheetOrientation::Portrait;
        } else if (SameLetters(suffix, "landscape")) {
            orientation = SheetOrientation::Landscape;
        } else {
            return SheetSizeOrError{"Sheet orientation '" + std::string(suffix) + "' in '" +
                                    std::string(text) + "' is neither portrait nor landscape\n"};
        }
        body = text.substr(0, colon);
    }
    std::optional<SheetSizeOrError> size;
    if (std::optional<SheetSize> named = LookupPaperName(body)) {
        size = SheetSizeOrError{*named};
    } else if (body.find(',') != std::string_view::npos) {
        size = PointsSize(body, text);
    }
    if (!size) {
        return SheetSizeOrError{"Unknown sheet size '" + std::string(text) +
                                "': give a paper name such as A4 or Letter, or W,H in points\n"};
    }
    if (auto* sheet = std::get_if<SheetSize>(&*size)) sheet->orientation = orientation;
    return size;
}

}  // namespace gridane
