// The line form shared by setup files and "conversion.ini": "KEY;value" lines, tokenised at
// ';' and line feed with empty tokens skipped; and the limits every configuration file of the
// program is read within.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace desktop {

// The longest text a value may hold (names were held in buffers of 255 characters). A longer
// value is refused whole, with a message, never cut.
inline constexpr size_t kMaxValueLength = 254;

// The most a setup file, "conversion.ini" or a list file is read of.
inline constexpr size_t kMaxConfigFileBytes = size_t{1} << 20;

struct KeyValueLine {
    std::string_view key;
    std::optional<std::string_view> value;  // nullopt when the line holds a key only
    int number = 0;                         // 1 for the file's first line
};

// Calls `onLine` for every line of `text` that has a key, in file order. CR-LF pairs count as
// line feeds (the files are read in text mode); a line ends at its first NUL byte. Values are
// passed whole, however long: the caller refuses those over kMaxValueLength (TooLongMessage).
void ForEachKeyValue(std::string_view text,
                     const std::function<void(const KeyValueLine& line)>& onLine);

// The message for a text that is longer than kMaxValueLength and so was not taken: `where`
// and `what` name it ("job.plf, line 3", "the value of OUTFILE"), e.g. "job.plf, line 3: the
// value of OUTFILE is longer than 254 characters and was not taken".
std::string TooLongMessage(std::string_view where, std::string_view what);

// "NAME, line N": where a line of a file is, for messages.
std::string FileLinePlace(std::string_view fileName, int lineNumber);

// A decimal integer as the C library's atoi reads it: leading white space, an optional sign,
// digits up to the first other character; no digits give 0. Values beyond the int range
// saturate at its ends.
int ReadInteger(std::string_view text);

// A decimal real as strtod reads it in the C locale; no number gives 0.
double ReadReal(std::string_view text);

// The whole file at `path` as UTF-8 text, or nullopt when it cannot be opened for reading (or
// is a folder). Files larger than `maxBytes` are read only up to that size. A UTF-8 byte-order
// mark is dropped, so that the first key stays a key; a UTF-16 file (with its byte-order mark,
// or starting with an ASCII character and a zero byte) is converted.
std::optional<std::string> ReadTextFile(const std::string& path,
                                        size_t maxBytes = kMaxConfigFileBytes);

// `text` with every line feed preceded by a carriage return, as this program's files have it.
std::string WithCrLf(std::string_view text);

// Writes `text` to `path` with every line feed written as CR-LF; false when the file cannot be
// created or written.
bool WriteTextFileCrLf(const std::string& path, std::string_view text);

}  // namespace desktop
