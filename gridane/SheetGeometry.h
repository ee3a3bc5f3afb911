// Sheet geometry: the boxes written on every sheet side and where each cell's page is drawn.
// Pure functions of the settings, the base page's boxes and rotation, and the cell rotations.
//
// Cells are numbered row by row from the top-left. No page is scaled: a sheet is as large as
// its grid of pages plus the gaps (`rightmargin` between columns, `bottommargin` between rows)
// unless the job gives the sheet's boxes.
#pragma once

#include <array>
#include <string_view>
#include <vector>

#include "gridane/JobSettings.h"

namespace gridane {

// The grid in the base page's own coordinates: the cell grid, with columns and rows exchanged
// when the base page is shown turned by a quarter (the viewer turns the sheet back).
Grid PageGridOf(const JobSettings& settings, int baseRotation);

// A sheet box from the base page's box of the same name: the grid of pages with the gaps.
Box GridSheetBox(const Box& pageBox, Grid pageGrid, int rightMargin, int bottomMargin);

// One half of a page for the 2-to-1 group: left/right (`up2to1`) or lower/upper (`up2to1h`),
// each leaving `offset` points out at the cut.
Box HalfPageBox(const Box& pageBox, bool cutAcross, bool firstHalf, int offset);

// The 2-to-1 group's crop limits: the whole-number upper corner of the last computed CropBox,
// to which a larger MediaBox is cut before it is halved.
struct CropLimits {
    int x = 0;
    int y = 0;
};

enum class SheetBoxKey { CropBox, BleedBox, TrimBox, ArtBox, MediaBox };
std::string_view KeyName(SheetBoxKey key);  // "/CropBox", ...
inline constexpr std::array<SheetBoxKey, 5> kSheetBoxKeys{
    SheetBoxKey::CropBox, SheetBoxKey::BleedBox, SheetBoxKey::TrimBox, SheetBoxKey::ArtBox,
    SheetBoxKey::MediaBox};

// The box written for `key` on a sheet: the job box when given, else computed from the base
// page's box. `jobCropBox`/`jobMediaBox` are the first or the second pair of the job.
// `firstHalf` and `limits` matter only in the 2-to-1 group.
Box ComputeSheetBox(SheetBoxKey key, const Box& pageBox, const Box& jobCropBox,
                    const Box& jobMediaBox, const JobSettings& settings, int baseRotation,
                    bool firstHalf, CropLimits& limits);

// Where a cell's page is drawn: moved by (x, y), or, when `turned`, moved by (altX, altY) and
// turned by 180 degrees so that the turned page covers the same cell.
struct CellPlacement {
    double x = 0;
    double y = 0;
    double altX = 0;
    double altY = 0;
    int rotation = 0;  // 0, 90, 180 or 270; 180 and 270 draw the page turned
    bool Turned() const { return rotation == 180 || rotation == 270; }
    bool operator==(const CellPlacement&) const = default;
};

// Placements of the drawn cells of a sheet side, from the base page's MediaBox and rotation
// and each cell's page rotation (0 for a blank cell).
std::vector<CellPlacement> PlaceCells(const JobSettings& settings, const Box& baseMediaBox,
                                      int baseRotation, const std::vector<int>& cellRotations);

// The /Rotate a sheet carries: 90 for a base page turned by a quarter either way, else 0.
int SheetRotation(int baseRotation);

}  // namespace gridane
