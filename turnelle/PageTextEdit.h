// The one edit the rotation job makes to an input object: a selected page's raw text gets its
// new /Rotate value, in place of the old one or as a new first entry of its dictionary. The
// rest of the text is kept byte for byte.
#pragma once

#include <string>
#include <string_view>

#include "turnelle/RotationPageEntry.h"

namespace turnelle {

// `raw` is the page object's whole text ("12 0 obj\r<< ... >>\rendobj\r"). The new value is
// `page.angle`, or with `force` the page's current rotation combined with it. An existing
// value is read after any white space and minus signs; a value written as a reference or a
// real number is replaced whole.
std::string EditPageRotate(std::string_view raw, const RotationPageEntry& page, bool force);

}  // namespace turnelle
