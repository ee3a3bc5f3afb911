// Page-range texts: "3", "1-8", "1-3,7"; a range whose end is before its start ("1-0")
// stands for no page.
#pragma once

#include <optional>
#include <string_view>
#include <vector>

namespace printpdf {

// The page numbers the text names, in its order; no value when the text is not such a list
// or names a page outside 1..pageCount.
std::optional<std::vector<int>> ParsePageRanges(std::string_view text, int pageCount);

}  // namespace printpdf
