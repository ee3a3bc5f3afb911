// Recovering the table of a file whose Prev chain loops back to a section already read: the
// sections the chain never reached are lost, so the objects no section read lists are taken
// from their headers ("n g obj") found by scanning the file.
#include <algorithm>
#include <cstdint>
#include <optional>
#include <set>
#include <string>

#include "pdf/CPdfRawEdit.h"
#include "pdf/CPdfXRef.h"
#include "platform/File.h"

namespace {

constexpr int64_t kPiece = int64_t{1} << 20;
// Room for a header that starts near a piece's end: it is read whole with that piece.
constexpr int64_t kOverlap = 64;
constexpr size_t kMaxDigits = 10;

struct ObjectHeaderAt {
    size_t begin = 0;  // the number's first digit
    int64_t number = 0;
    int64_t generation = 0;
};

// Reads backwards from `at` over white space and then digits; the digits' value, with `at`
// left at the first digit. Nothing when there are no digits or too many.
std::optional<int64_t> DigitsBefore(std::string_view text, size_t& at, bool needSpace) {
    size_t end = at;
    while (end > 0 && IsPdfWhiteSpace(text[end - 1])) --end;
    if (needSpace && end == at) return std::nullopt;
    size_t begin = end;
    while (begin > 0 && IsPdfDigit(text[begin - 1])) --begin;
    if (begin == end || end - begin > kMaxDigits) return std::nullopt;
    int64_t value = 0;
    for (size_t i = begin; i < end; ++i) value = value * 10 + (text[i] - '0');
    at = begin;
    return value;
}

// The header whose "obj" keyword starts at `keyword` in `text`, if it is one: a number and a
// generation before it, each after white space or a delimiter, and no name character after it.
std::optional<ObjectHeaderAt> HeaderEndingAt(std::string_view text, size_t keyword) {
    if (keyword + 3 < text.size() && IsPdfRegular(text[keyword + 3])) return std::nullopt;
    size_t at = keyword;
    std::optional<int64_t> generation = DigitsBefore(text, at, true);
    if (!generation) return std::nullopt;
    std::optional<int64_t> number = DigitsBefore(text, at, true);
    if (!number) return std::nullopt;
    if (at > 0 && IsPdfRegular(text[at - 1])) return std::nullopt;
    return ObjectHeaderAt{at, *number, *generation};
}

}  // namespace

void CPdfXRef::ListUnlistedObjectsFromScan() {
    std::set<int64_t> scanned;  // numbers taken from the scan: a later header replaces them
    std::string piece;
    const int64_t size = m_file->Size();
    for (int64_t start = m_headerStart; start < size; start += kPiece) {
        piece.resize(static_cast<size_t>(std::min(kPiece + kOverlap, size - start)));
        const int64_t got = m_file->ReadAt(start, piece.data(), piece.size());
        piece.resize(static_cast<size_t>(std::max<int64_t>(got, 0)));
        for (size_t keyword = FindBytes(piece, "obj"); keyword != kNotFound;
             keyword = FindBytes(piece, "obj", keyword + 3)) {
            std::optional<ObjectHeaderAt> header = HeaderEndingAt(piece, keyword);
            // A header cut at the piece's start was read whole with the piece before.
            if (!header || (header->begin == 0 && start != m_headerStart)) continue;
            if (header->begin >= static_cast<size_t>(kPiece)) continue;  // the next piece's
            if (header->number >= MaxEntries() || header->generation > 65535) continue;
            const int64_t offset = start + static_cast<int64_t>(header->begin) - m_headerStart;
            if (offset > INT32_MAX) return;
            GrowTable(header->number + 1);
            CPdfXRefEntry& entry = m_entries[static_cast<size_t>(header->number)];
            if (entry.offset != -1 && scanned.count(header->number) == 0) continue;
            entry = {static_cast<int>(offset), static_cast<int>(header->generation),
                     CPdfXRefEntry::kInUse};
            scanned.insert(header->number);
        }
    }
}
