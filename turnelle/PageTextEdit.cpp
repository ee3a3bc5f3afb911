#include "turnelle/PageTextEdit.h"

#include <algorithm>
#include <cstdint>

#include "pdf/CPdfRawScan.h"
#include "turnelle/PageSelection.h"

namespace turnelle {

namespace {

bool IsDelimiterOrEnd(std::string_view text, size_t position) {
    if (position >= text.size()) return true;
    const char c = text[position];
    return IsPdfWhiteSpace(c) || IsPdfDelimiter(c);
}

// The end of " 0 R" when the number ending at `position` is the object number of a
// reference, else `position` unchanged.
size_t EndOfReference(std::string_view text, size_t position) {
    const size_t generation = SkipPdfWhiteSpace(text, position);
    if (generation == position) return position;
    const size_t afterGeneration = SkipPdfDigits(text, generation);
    if (afterGeneration == generation) return position;
    const size_t keyword = SkipPdfWhiteSpace(text, afterGeneration);
    if (keyword == afterGeneration || keyword >= text.size() || text[keyword] != 'R' ||
        !IsDelimiterOrEnd(text, keyword + 1)) {
        return position;
    }
    return keyword + 1;
}

struct OldValue {
    int value = 0;
    size_t end = 0;  // first byte after the value
};

// Reads the value that follows "/Rotate": white space and minus signs (each one turning the
// sign), the digits, a fractional part if any, and the " 0 R" of a reference, whose value is
// the one the page tree gave the page.
OldValue ReadOldValue(std::string_view text, size_t position, const RotationPageEntry& page) {
    bool negative = false;
    while (position < text.size() &&
           (IsPdfWhiteSpace(text[position]) || text[position] == '-' || text[position] == '+')) {
        if (text[position] == '-') negative = !negative;
        ++position;
    }
    int64_t magnitude = 0;
    const size_t digits = position;
    for (; position < text.size() && IsPdfDigit(text[position]); ++position) {
        magnitude = std::min<int64_t>(magnitude * 10 + (text[position] - '0'), int64_t{1} << 40);
    }
    OldValue old;
    old.value = static_cast<int>(std::min<int64_t>(magnitude, INT32_MAX)) * (negative ? -1 : 1);
    if (position < text.size() && text[position] == '.')
        position = SkipPdfDigits(text, position + 1);
    if (position > digits) {
        const size_t referenceEnd = EndOfReference(text, position);
        if (referenceEnd != position) {
            old.value = page.currentRotate;
            position = referenceEnd;
        }
    }
    old.end = position;
    return old;
}

}  // namespace

std::string EditPageRotate(std::string_view raw, const RotationPageEntry& page, bool force) {
    constexpr std::string_view kRotate = "/Rotate";
    std::string edited;
    edited.reserve(raw.size() + 16);
    const size_t key = raw.find(kRotate);
    if (key != std::string_view::npos) {
        const size_t valueStart = key + kRotate.size();
        const OldValue old = ReadOldValue(raw, valueStart, page);
        edited.append(raw.substr(0, valueStart));
        edited += ' ';
        edited += std::to_string(NewRotation(old.value, page.angle, force));
        edited += ' ';
        edited.append(raw.substr(old.end));
        return edited;
    }
    const size_t open = raw.find("<<");
    if (open == std::string_view::npos) return std::string(raw);
    edited.append(raw.substr(0, open + 2));
    edited += "/Rotate ";
    edited += std::to_string(NewRotation(page.currentRotate, page.angle, force));
    edited += '\n';
    edited.append(raw.substr(open + 2));
    return edited;
}

}  // namespace turnelle
