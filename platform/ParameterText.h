// Parameter texts: one line holding a program's arguments, split the way the Windows command
// line splits it, and the quoting that makes any name come back whole from that split.
//
// Splitting rules: blanks and tabs outside double quotes separate arguments; a double quote
// toggles grouping and is removed; 2n backslashes before a double quote give n backslashes
// and the quote toggles, 2n+1 give n backslashes and a literal quote; a doubled quote inside
// a group is one literal quote; other backslashes are plain characters. Nothing else is
// special: "$", ";", backquotes and the like are ordinary characters.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace platform {

std::vector<std::string> SplitParameterText(std::string_view text);

// `argument` enclosed in double quotes, with the quotes and backslashes it holds escaped so
// that SplitParameterText gives it back as one argument. A name without quotes or a trailing
// backslash comes out as '"' + name + '"'.
std::string QuoteArgument(std::string_view argument);

}  // namespace platform
