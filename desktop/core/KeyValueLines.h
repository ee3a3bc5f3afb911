// The line form shared by setup files and "conversion.ini": "KEY;value" lines, read in pieces
// of at most 254 characters, tokenised at ';' and line feed with empty tokens skipped.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace desktop {

// Calls `onLine(key, value)` for every line of `text` that has a key, in file order. CR-LF
// pairs count as line feeds (the files are read in text mode). Only the first 254 characters
// of a line are looked at; the rest of a longer line is passed over. `value` is nullopt when
// the line holds a key only.
void ForEachKeyValue(
    std::string_view text,
    const std::function<void(std::string_view key, std::optional<std::string_view> value)>& onLine);

// A decimal integer as the C library's atoi reads it: leading white space, an optional sign,
// digits up to the first other character; no digits give 0. Values beyond the int range
// saturate at its ends.
int ReadInteger(std::string_view text);

// A decimal real as strtod reads it in the C locale; no number gives 0.
double ReadReal(std::string_view text);

// The whole file at `path` as bytes, or nullopt when it cannot be opened for reading (or is a
// folder). Files larger than `maxBytes` are read only up to that size.
std::optional<std::string> ReadTextFile(const std::string& path, size_t maxBytes = 1 << 20);

// `text` with every line feed preceded by a carriage return, as this program's files have it.
std::string WithCrLf(std::string_view text);

// Writes `text` to `path` with every line feed written as CR-LF; false when the file cannot be
// created or written.
bool WriteTextFileCrLf(const std::string& path, std::string_view text);

}  // namespace desktop
