// printf-style formatting into a std::string of whatever length the numbers need (a box of
// absurd numbers in a damaged file must not be cut off or overflow a buffer), with a decimal
// point whatever the process locale.
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>

namespace gridane {

std::string FormatText(const char* format, ...) __attribute__((format(printf, 1, 2)));

// `value` appended as "%.2f" writes it (the same digits, always a decimal point), without
// printf's cost: for the numbers written for every cell of every sheet.
void AppendTwoDecimals(std::string& text, double value);
// Each of `values` so, followed by a space.
void AppendNumbers(std::string& text, std::initializer_list<double> values);
// The same as "%f" writes it (six decimals).
void AppendSixDecimals(std::string& text, double value);

}  // namespace gridane
