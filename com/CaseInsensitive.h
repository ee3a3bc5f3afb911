// ASCII comparisons that ignore case, for the names that the registry and late binding match
// the way users expect them to (registry keys, value names, member names).
#pragma once

#include <algorithm>
#include <cctype>
#include <string_view>

namespace com {

inline char LowerAscii(char c) {
    return char(std::tolower(static_cast<unsigned char>(c)));
}

inline bool EqualIgnoringCase(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [](char x, char y) { return LowerAscii(x) == LowerAscii(y); });
}

struct LessIgnoringCase {
    using is_transparent = void;
    bool operator()(std::string_view a, std::string_view b) const {
        return std::lexicographical_compare(
            a.begin(), a.end(), b.begin(), b.end(),
            [](char x, char y) { return LowerAscii(x) < LowerAscii(y); });
    }
};

}  // namespace com
