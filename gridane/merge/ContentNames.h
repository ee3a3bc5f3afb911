// Renaming resource names inside a page's content stream data.
//
// A name is renamed only where it is a whole name token used as the resource operand of the
// operator that reads its category: "Tf" (Font), "Do" (XObject), "gs" (ExtGState), "cs" and
// "CS" and an inline image's colour space (ColorSpace), "scn" and "SCN" (Pattern), "sh"
// (Shading). Names inside strings, comments and
// inline image data, names that merely start with the old name, and equal names of another
// category are left alone. Pure function; the result is a new buffer.
#pragma once

#include <string>
#include <string_view>

#include "gridane/merge/RenameMap.h"

namespace gridane {

std::string RenameContentNames(std::string_view data, const CategoryRenames& renames);

}  // namespace gridane
