// Small text helpers shared by every layer: trimming blanks, a decimal number in C notation,
// and the parts of a slash-separated file name. All borrow from their argument: a returned
// view lives as long as the text it was cut from.
#pragma once

#include <optional>
#include <string_view>

namespace platform {

// `text` without leading and trailing white space (blanks, tabs, line ends).
std::string_view Trimmed(std::string_view text);

// Whether `a` and `b` hold the same text when ASCII letters are compared without case.
bool SameLetters(std::string_view a, std::string_view b);

// One finite decimal number written in C notation ("0.1", "-2", "+3", "1e2"), whatever the
// locale; nullopt for anything else (blanks included).
std::optional<double> ParseDecimal(std::string_view text);

// A plain decimal number of at most 16 characters, blanks around it ignored: digits with at
// most one point, no sign, no exponent; nullopt for anything else.
std::optional<double> PlainDecimal(std::string_view text);

// The name after the last slash ("out.pdf" of "/w/out.pdf"); the whole text without a slash.
std::string_view FileNamePart(std::string_view path);

// The folder before the name, with its closing slash ("/w/" of "/w/out.pdf"); empty without a
// slash.
std::string_view FolderPart(std::string_view path);

}  // namespace platform
