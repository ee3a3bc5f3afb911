// The one table of named paper sizes. Every place that names a paper reads it: the engine's
// `sheet` setting, the setup file's SHEET check, the main window's sheet list and the
// conversion dialog's size lists. A name is found in any letter case, blanks around it
// ignored, and a few common aliases ("Letter", "11x17", "F4") stand for the rows they name.
//
// Each row holds the published size in millimetres (portrait). The first 56 rows are the
// conversion dialog's list, in its order, and also hold the pairs that dialog has always put
// into conversion settings: whole points and millimetres as the program gave them, several
// landscape and a few ("A8", "2A0", "C2") unlike the published size. Settings files written
// with them stay as they are. The table is static: references into it live for the program.
#pragma once

#include <span>
#include <string_view>
#include <vector>

namespace paper {

// The conversion dialog's own pair for a paper of its list.
struct DialogSize {
    int widthPt = 0;
    int heightPt = 0;
    double widthMm = 0;
    double heightMm = 0;
};

struct Paper {
    std::string_view name;
    double widthMm;  // published size, portrait: width <= height
    double heightMm;
    DialogSize dialog;  // all 0 for the rows after the dialog's list
};

inline constexpr double kPointsPerMm = 72.0 / 25.4;

// Every named paper: the conversion dialog's list, then the published sizes it lacks.
std::span<const Paper> Papers();
// The first rows of Papers(): the conversion dialog's list ("US Letter" ... "ANSI E").
std::span<const Paper> DialogPapers();

// The row of `name` or of the alias `name`, in any letter case; nullptr for no paper.
const Paper* FindPaper(std::string_view name);

// Every name FindPaper knows: the rows' names in table order, then the aliases (what shell
// completion offers).
std::vector<std::string_view> PaperNames();

}  // namespace paper
