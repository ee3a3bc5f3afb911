#include "turnelle/PageTextEdit.h"

#include <algorithm>
#include <cstdint>

#include "pdf/CPdfRawEdit.h"
#include "turnelle/PageSelection.h"

namespace turnelle {

namespace {

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
    // A reference "n g R" whose number was just read: the value is the one the page tree gave.
    if (position > digits) {
        if (auto reference = ReferenceAt(text, digits)) {
            old.value = page.currentRotate;
            position = reference->end;
        }
    }
    old.end = position;
    return old;
}

}  // namespace

std::string EditPageRotate(std::string_view raw, const RotationPageEntry& page, bool force) {
    constexpr std::string_view kRotate = "/Rotate";
    const size_t key = FindKey(raw, kRotate);
    if (key != kNotFound) {
        std::string edited;
        edited.reserve(raw.size() + 16);
        const size_t valueStart = key + kRotate.size();
        const OldValue old = ReadOldValue(raw, valueStart, page);
        edited.append(raw.substr(0, valueStart));
        edited += ' ';
        edited += std::to_string(NewRotation(old.value, page.angle, force));
        edited += ' ';
        edited.append(raw.substr(old.end));
        return edited;
    }
    return InsertAfterDictOpen(
        raw,
        "/Rotate " + std::to_string(NewRotation(page.currentRotate, page.angle, force)) + "\n");
}

}  // namespace turnelle
