// printf-style formatting into a std::string of whatever length the numbers need (a box of
// absurd numbers in a damaged file must not be cut off or overflow a buffer).
#pragma once

#include <string>

namespace gridane {

std::string FormatText(const char* format, ...) __attribute__((format(printf, 1, 2)));

}  // namespace gridane
