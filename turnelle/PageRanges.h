// The page-range parser: checks a text such as "1-3,5,9-12" against the page count and marks
// the pages it names in the job's page list.
#pragma once

#include <string_view>
#include <vector>

#include "turnelle/ProgressDots.h"
#include "turnelle/RotationPageEntry.h"

namespace turnelle {

// Marks every page the text names: entry p - 1 of `pages` gets the selected flag and `angle`.
// The text is items separated by single commas, each a page number or "first-last"; only the
// characters "0123456789-," may appear. Throws CPdfException with the message of the first
// fault; the pages marked before it stay marked. Pages within the count that the list does not
// hold (a damaged /Count) are passed over. A number too large for 32 bits counts as greater
// than the page count.
void ParsePageRanges(std::string_view text, int pageCount, int angle,
                     std::vector<RotationPageEntry>& pages, ProgressDots& progress);

}  // namespace turnelle
