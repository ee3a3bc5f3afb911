// Patterns of a page drawn into a cell of a sheet.
//
// A pattern's space is the default space of the page that paints it, not the space in force
// when it is painted: a page moved, scaled or turned into a cell would otherwise show its
// hatching, tiles and shading patterns at the sheet's scale and phase. The cell's page gets a
// copy of each pattern whose Matrix also carries the cell's placement.
#pragma once

#include <array>
#include <string>

#include "gridane/merge/AnnotPlacement.h"

namespace gridane {

using Matrix = std::array<double, 6>;

// The transformation a cell's content is drawn with (the cell's "cm" pair, with its numbers
// rounded as they are written there).
Matrix PlacementMatrix(const PagePlacement& placement);

// `first` then `second`, as two "cm" operators in that order make them.
Matrix Concatenate(const Matrix& first, const Matrix& second);

bool IsIdentity(const Matrix& matrix);

// "[a b c d e f]" with up to six decimals each.
std::string MatrixText(const Matrix& matrix);

// `dictText` (a dictionary, or the raw text of an object that opens with one) with the
// /Matrix of its outermost dictionary set to `matrix`.
std::string WithMatrix(std::string_view dictText, const Matrix& matrix);

}  // namespace gridane
