#include "turnelle/PageRanges.h"

#include <algorithm>
#include <cstdint>
#include <string>

#include "pdf/CPdfException.h"

namespace turnelle {

namespace {

constexpr std::string_view kAllowedCharacters = "0123456789-,";
constexpr int kProgressLimit = 100;

// A page number as written: its value, saturated far above any 32-bit count, and its digits
// without leading zeros for the messages (so a huge number is reported as the user wrote it).
struct PageNumber {
    int64_t value = 0;
    std::string text;
};

PageNumber ReadPageNumber(std::string_view token) {
    constexpr int64_t kSaturated = int64_t{1} << 40;
    PageNumber number;
    for (char c : token) {
        number.value = std::min<int64_t>(number.value * 10 + (c - '0'), kSaturated);
        if (!number.text.empty() || c != '0') number.text += c;
    }
    if (number.text.empty()) number.text += '0';
    return number;
}

[[noreturn]] void Fail(std::string message) {
    throw CPdfException(std::move(message));
}

[[noreturn]] void FailInvalidParameter() {
    Fail("Invalid parameter\n");
}

void MarkPages(int64_t first, int64_t last, int angle, std::vector<RotationPageEntry>& pages) {
    const int64_t end = std::min<int64_t>(last, static_cast<int64_t>(pages.size()));
    for (int64_t page = first; page <= end; ++page) {
        pages[page - 1].selected = true;
        pages[page - 1].angle = angle;
    }
}

}  // namespace

void ParsePageRanges(std::string_view text, int pageCount, int angle,
                     std::vector<RotationPageEntry>& pages, ProgressDots& progress) {
    progress.Step(kProgressLimit);
    const std::string count = std::to_string(pageCount);
    if (text.find_first_not_of(kAllowedCharacters) != std::string_view::npos) {
        FailInvalidParameter();
    }
    bool inRange = false;
    PageNumber rangeStart;
    size_t position = 0;
    for (;;) {
        size_t end = text.find_first_of("-,", position);
        if (end == std::string_view::npos) end = text.size();
        if (end == position) FailInvalidParameter();
        const PageNumber number = ReadPageNumber(text.substr(position, end - position));
        if (number.value == 0) Fail("Invalid page number 0");
        const bool minusFollows = end < text.size() && text[end] == '-';
        if (inRange) {
            if (minusFollows) FailInvalidParameter();
            if (number.value > pageCount) {
                Fail("Wrong page ranges, " + number.text + " greater than " + count +
                     " pages in file");
            }
            if (number.value < rangeStart.value) {
                Fail("Wrong page ranges, start page " + rangeStart.text + " > end page " +
                     number.text);
            }
            MarkPages(rangeStart.value, number.value, angle, pages);
            inRange = false;
        } else if (minusFollows) {
            inRange = true;
            rangeStart = number;
        } else {
            if (number.value > pageCount) {
                Fail("Page number " + number.text + " greater than " + count + " pages in file");
            }
            MarkPages(number.value, number.value, angle, pages);
        }
        if (end == text.size()) return;
        position = end + 1;
    }
}

}  // namespace turnelle
