#include "paper/PaperTable.h"

#include <array>

#include "platform/Text.h"

namespace paper {
namespace {

// clang-format off
constexpr std::array<Paper, 60> kPapers{{
    {"US Letter", 215.9, 279.4, {612, 792, 215.9, 279.4}},
    {"Executive", 184.15, 266.7, {522, 756, 184.1, 266.7}},
    {"Ledger", 279.4, 431.8, {792, 1224, 279.4, 431.8}},
    {"Legal", 215.9, 355.6, {612, 1008, 215.9, 355.6}},
    {"A0", 841, 1189, {2384, 3370, 841, 1189}},
    {"A1", 594, 841, {1684, 2384, 594, 841}},
    {"A2", 420, 594, {1190, 1684, 420, 594}},
    {"A3", 297, 420, {842, 1190, 297, 420}},
    {"A4", 210, 297, {595, 842, 210, 297}},
    {"A5", 148, 210, {420, 595, 148, 210}},
    {"A6", 105, 148, {298, 420, 105, 148}},
    {"A7", 74, 105, {209, 298, 74, 105}},
    {"A8", 52, 74, {210, 147, 74, 52}},
    {"A9", 37, 52, {147, 105, 52, 37}},
    {"A10", 26, 37, {105, 74, 37, 26}},
    {"2A0", 1189, 1682, {6741, 4768, 1682, 1189}},
    {"4A0", 1682, 2378, {4768, 3370, 2378, 1682}},
    {"Folio, F4", 210, 330, {595, 935, 210, 330}},
    {"Foolscap E", 203, 330, {575, 935, 203, 330}},
    {"Index Card 5x8", 127, 203.2, {576, 360, 203, 127}},
    {"Photo 4x6", 101.6, 152.4, {432, 288, 152, 102}},
    {"Statement, Half Letter", 139.7, 215.9, {432, 279, 216, 140}},
    {"Tabloid", 279.4, 431.8, {1224, 792, 431.8, 279.4}},
    {"US Government", 203.2, 266.7, {575, 792, 203.2, 266.7}},
    {"DL", 99, 210, {595, 283, 210, 99}},
    {"SRA3", 320, 450, {1276, 907, 450, 320}},
    {"B0", 1000, 1414, {2835, 4008, 1000, 1414}},
    {"B1", 707, 1000, {2004, 2835, 707, 1000}},
    {"B2", 500, 707, {1417, 2004, 500, 707}},
    {"B3", 353, 500, {1001, 1417, 353, 500}},
    {"B4", 250, 353, {709, 1001, 250, 353}},
    {"B5", 176, 250, {499, 709, 176, 250}},
    {"B6", 125, 176, {354, 499, 125, 176}},
    {"B7", 88, 125, {249, 354, 88, 125}},
    {"B8", 62, 88, {176, 249, 62, 88}},
    {"B9", 44, 62, {125, 176, 44, 62}},
    {"B10", 31, 44, {88, 125, 31, 44}},
    {"C0", 917, 1297, {3677, 2599, 1297, 917}},
    {"C1", 648, 917, {2599, 1837, 917, 648}},
    {"C2", 458, 648, {1837, 578, 648, 458}},
    {"C3", 324, 458, {578, 919, 458, 324}},
    {"C4", 229, 324, {919, 649, 324, 229}},
    {"C5", 162, 229, {649, 459, 229, 162}},
    {"C6", 114, 162, {459, 323, 162, 114}},
    {"C7", 81, 114, {323, 230, 114, 81}},
    {"C8", 57, 81, {230, 162, 81, 57}},
    {"C9", 40, 57, {162, 113, 57, 40}},
    {"C10", 28, 40, {113, 79, 40, 28}},
    {"Arch A", 228.6, 304.8, {864, 648, 229, 305}},
    {"Arch B", 304.8, 457.2, {1296, 864, 305, 457}},
    {"Arch C", 457.2, 609.6, {1728, 1296, 457, 610}},
    {"Arch D", 609.6, 914.4, {2592, 1728, 610, 914}},
    {"Arch E", 914.4, 1219.2, {3456, 2592, 914, 1219}},
    {"ANSI C", 431.8, 558.8, {1584, 1224, 559, 432}},
    {"ANSI D", 558.8, 863.6, {2448, 1584, 864, 559}},
    {"ANSI E", 863.6, 1117.6, {3168, 2448, 1118, 864}},
    {"SRA4", 225, 320, {}},
    {"SRA2", 450, 640, {}},
    {"RA4", 215, 305, {}},
    {"RA3", 305, 430, {}},
}};
// clang-format on
constexpr size_t kDialogRows = 56;

struct Alias {
    std::string_view alias;
    std::string_view name;
};
constexpr std::array<Alias, 12> kAliases{{
    {"Letter", "US Letter"},
    {"ANSI A", "US Letter"},
    {"ANSI B", "Tabloid"},
    {"11x17", "Tabloid"},
    {"Half Letter", "Statement, Half Letter"},
    {"Statement", "Statement, Half Letter"},
    {"Folio", "Folio, F4"},
    {"F4", "Folio, F4"},
    {"Foolscap", "Foolscap E"},
    {"US Goverment", "US Government"},
    {"Index Card", "Index Card 5x8"},
    {"Government Letter", "US Government"},
}};

const Paper* FindRow(std::string_view name) {
    for (const Paper& paper : kPapers) {
        if (platform::SameLetters(paper.name, name)) return &paper;
    }
    return nullptr;
}

}  // namespace

std::span<const Paper> Papers() {
    return kPapers;
}

std::span<const Paper> DialogPapers() {
    return std::span<const Paper>(kPapers).first(kDialogRows);
}

const Paper* FindPaper(std::string_view name) {
    name = platform::Trimmed(name);
    if (const Paper* paper = FindRow(name)) return paper;
    for (const Alias& alias : kAliases) {
        if (platform::SameLetters(alias.alias, name)) return FindRow(alias.name);
    }
    return nullptr;
}

std::vector<std::string_view> PaperNames() {
    std::vector<std::string_view> names;
    for (const Paper& paper : kPapers) names.push_back(paper.name);
    for (const Alias& alias : kAliases) names.push_back(alias.alias);
    return names;
}

}  // namespace paper
