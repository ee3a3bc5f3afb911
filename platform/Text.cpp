#include "platform/Text.h"

#include <charconv>
#include <cmath>

namespace platform {

std::string_view Trimmed(std::string_view text) {
    constexpr std::string_view kWhite = " \t\r\n\v\f";
    size_t first = text.find_first_not_of(kWhite);
    if (first == std::string_view::npos) return {};
    return text.substr(first, text.find_last_not_of(kWhite) - first + 1);
}

bool SameLetters(std::string_view a, std::string_view b) {
    auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    if (a.size() != b.size()) return false;
    for (size_t k = 0; k < a.size(); ++k) {
        if (lower(a[k]) != lower(b[k])) return false;
    }
    return true;
}

std::optional<double> ParseDecimal(std::string_view text) {
    double value = 0;
    const char* end = text.data() + text.size();
    if (!text.empty() && text[0] == '+') text.remove_prefix(1);
    auto [stop, error] = std::from_chars(text.data(), end, value);
    if (text.empty() || error != std::errc() || stop != end || !std::isfinite(value)) {
        return std::nullopt;
    }
    return value;
}

std::optional<double> PlainDecimal(std::string_view text) {
    text = Trimmed(text);
    if (text.empty() || text.size() > 16) return std::nullopt;
    int points = 0, digits = 0;
    for (char c : text) {
        if (c == '.') {
            ++points;
        } else if (c >= '0' && c <= '9') {
            ++digits;
        } else {
            return std::nullopt;
        }
    }
    if (points > 1 || digits == 0) return std::nullopt;
    double value = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return value;
}

std::string_view FileNamePart(std::string_view path) {
    size_t slash = path.rfind('/');
    return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

std::string_view FolderPart(std::string_view path) {
    size_t slash = path.rfind('/');
    return slash == std::string_view::npos ? std::string_view() : path.substr(0, slash + 1);
}

}  // namespace platform
