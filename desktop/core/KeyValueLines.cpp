#include "desktop/core/KeyValueLines.h"

#include <sys/stat.h>
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <limits>

#include "platform/ClassicNumbers.h"
#include "platform/ReplaceFile.h"
#include "platform/Utf.h"

namespace desktop {
namespace {

// The file's lines as text mode reads them: without their line feed, and without a carriage
// return right before it. A last line without a line feed counts too.
template <typename OnLine>
void ForEachTextLine(std::string_view text, OnLine&& onLine) {
    size_t start = 0;
    while (start < text.size()) {
        size_t feed = text.find('\n', start);
        size_t end = feed == std::string_view::npos ? text.size() : feed;
        std::string_view line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r' && feed != std::string_view::npos) {
            line.remove_suffix(1);
        }
        onLine(line);
        if (feed == std::string_view::npos) break;
        start = feed + 1;
    }
}

bool IsSeparator(char c) {
    return c == ';' || c == '\n';
}

// The next token of `line` from `pos`: separators skipped, up to the next separator.
std::optional<std::string_view> NextToken(std::string_view line, size_t& pos) {
    while (pos < line.size() && IsSeparator(line[pos])) ++pos;
    if (pos >= line.size()) return std::nullopt;
    size_t end = pos;
    while (end < line.size() && !IsSeparator(line[end])) ++end;
    std::string_view token = line.substr(pos, end - pos);
    pos = end;
    return token;
}

bool IsCSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

}  // namespace

void ForEachKeyValue(std::string_view text,
                     const std::function<void(const KeyValueLine& line)>& onLine) {
    int number = 0;
    ForEachTextLine(text, [&](std::string_view line) {
        ++number;
        // A C string ends at its first NUL byte.
        line = line.substr(0, line.find('\0'));
        size_t pos = 0;
        std::optional<std::string_view> key = NextToken(line, pos);
        if (!key) return;
        onLine({*key, NextToken(line, pos), number});
    });
}

std::string TooLongMessage(std::string_view where, std::string_view what) {
    return std::string(where) + ": " + std::string(what) + " is longer than " +
           std::to_string(kMaxValueLength) + " characters and was not taken";
}

std::string FileLinePlace(std::string_view fileName, int lineNumber) {
    return std::string(fileName) + ", line " + std::to_string(lineNumber);
}

int ReadInteger(std::string_view text) {
    size_t pos = 0;
    while (pos < text.size() && IsCSpace(text[pos])) ++pos;
    bool negative = false;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) {
        negative = text[pos] == '-';
        ++pos;
    }
    long long value = 0;
    constexpr long long kLimit = static_cast<long long>(std::numeric_limits<int>::max()) + 1;
    while (pos < text.size() && text[pos] >= '0' && text[pos] <= '9') {
        value = std::min(value * 10 + (text[pos] - '0'), kLimit);
        ++pos;
    }
    if (negative) return static_cast<int>(-value);
    return static_cast<int>(std::min<long long>(value, std::numeric_limits<int>::max()));
}

double ReadReal(std::string_view text) {
    platform::ClassicNumbers classic;
    std::string copy(text);
    double value = std::strtod(copy.c_str(), nullptr);
    // "inf" and "nan" read as numbers, but no setting means them.
    return std::isfinite(value) ? value : 0;
}

namespace {

// The text of a file's bytes in UTF-8: without a UTF-8 byte-order mark, and converted when the
// file is UTF-16 (told by its mark, or by a first character that is ASCII with a zero byte).
std::string AsUtf8Text(std::string bytes) {
    if (bytes.starts_with("\xEF\xBB\xBF")) return bytes.substr(3);
    bool little = bytes.starts_with("\xFF\xFE");
    bool big = bytes.starts_with("\xFE\xFF");
    size_t start = little || big ? 2 : 0;
    if (!little && !big && bytes.size() >= 2) {
        little = bytes[0] != 0 && bytes[1] == 0;
        big = bytes[0] == 0 && bytes[1] != 0;
    }
    if (!little && !big) return bytes;
    std::u16string wide;
    wide.reserve(bytes.size() / 2);
    for (size_t i = start; i + 1 < bytes.size(); i += 2) {
        const auto first = static_cast<unsigned char>(bytes[i]);
        const auto second = static_cast<unsigned char>(bytes[i + 1]);
        wide += static_cast<char16_t>(little ? first | second << 8 : first << 8 | second);
    }
    return platform::Utf16ToUtf8(wide);
}

}  // namespace

std::optional<std::string> ReadTextFile(const std::string& path, size_t maxBytes) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0 || S_ISDIR(info.st_mode)) return std::nullopt;
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    // Only what the file holds is read and kept: a setup file of a few hundred bytes costs no
    // buffer of the largest size allowed. A file without a size (a pipe, a device) is read
    // piece by piece up to the limit.
    std::string bytes;
    if (S_ISREG(info.st_mode)) {
        bytes.reserve(std::min(static_cast<size_t>(std::max<off_t>(info.st_size, 0)), maxBytes));
    }
    char piece[16384];
    while (bytes.size() < maxBytes) {
        const size_t want = std::min(sizeof piece, maxBytes - bytes.size());
        in.read(piece, static_cast<std::streamsize>(want));
        const auto got = static_cast<size_t>(in.gcount());
        bytes.append(piece, got);
        if (got < want) break;
    }
    return AsUtf8Text(std::move(bytes));
}

std::string WithCrLf(std::string_view text) {
    std::string lines;
    lines.reserve(text.size() + text.size() / 32);
    for (char c : text) {
        if (c == '\n') lines += '\r';
        lines += c;
    }
    return lines;
}

bool WriteTextFileCrLf(const std::string& path, std::string_view text) {
    return platform::ReplaceFileWith(path, WithCrLf(text)).empty();
}

}  // namespace desktop
