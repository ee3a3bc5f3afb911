// printf-style formatting into a std::string of whatever length the numbers need (a box of
// absurd numbers in a damaged file must not be cut off or overflow a buffer), with a decimal
// point whatever the process locale.
#pragma once

#include <string>

namespace gridane {

std::string FormatText(const char* format, ...) __attribute__((format(printf, 1, 2)));

}  // namespace gridane
