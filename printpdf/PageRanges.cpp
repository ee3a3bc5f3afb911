#include "printpdf/PageRanges.h"

#include <charconv>

namespace printpdf {

namespace {

std::string_view Trim(std::string_view text) {
    while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
    return text;
}

std::optional<int> ReadNumber(std::string_view text) {
    text = Trim(text);
    int value = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size()) {
        return std::nullopt;
    }
    return value;
}

}  // namespace

std::optional<std::vector<int>> ParsePageRanges(std::string_view text, int pageCount) {
    std::vector<int> pages;
    while (true) {
        size_t comma = text.find(',');
        std::string_view item = text.substr(0, comma);
        size_t dash = item.find('-');
        std::optional<int> first = ReadNumber(item.substr(0, dash));
        std::optional<int> last =
            dash == std::string_view::npos ? first : ReadNumber(item.substr(dash + 1));
        if (!first || !last || *first < 1) return std::nullopt;
        if (*last >= *first) {
            if (*last > pageCount) return std::nullopt;
            for (int page = *first; page <= *last; ++page) pages.push_back(page);
        }
        if (comma == std::string_view::npos) break;
        text.remove_prefix(comma + 1);
    }
    return pages;
}

}  // namespace printpdf
