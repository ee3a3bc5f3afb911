// Byte classes and small scans over raw PDF text, for the code that edits object text in
// place instead of parsing it: white space, delimiters, digits, literal strings (which may
// hold any of them), and the one insertion every editor makes. Header-only, so that the pure
// text editors need no library.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

inline bool IsPdfWhiteSpace(char c) {
    return c == ' ' || c == '\n' || c == '\r' || c == '\t' || c == '\f' || c == '\0';
}

inline bool IsPdfDelimiter(char c) {
    return c == '(' || c == ')' || c == '<' || c == '>' || c == '[' || c == ']' || c == '{' ||
           c == '}' || c == '/' || c == '%';
}

// A byte that continues a name, number or keyword.
inline bool IsPdfRegular(char c) {
    return !IsPdfWhiteSpace(c) && !IsPdfDelimiter(c);
}

inline bool IsPdfDigit(char c) {
    return c >= '0' && c <= '9';
}

inline size_t SkipPdfWhiteSpace(std::string_view text, size_t at) {
    while (at < text.size() && IsPdfWhiteSpace(text[at])) ++at;
    return at;
}

inline size_t SkipPdfDigits(std::string_view text, size_t at) {
    while (at < text.size() && IsPdfDigit(text[at])) ++at;
    return at;
}

// Index one past a literal string that opens at `open` ("("), honouring nesting and escapes;
// the text's length when it is not closed.
inline size_t SkipLiteralString(std::string_view text, size_t open) {
    int depth = 0;
    for (size_t i = open; i < text.size(); ++i) {
        char c = text[i];
        if (c == '\\') {
            ++i;
        } else if (c == '(') {
            ++depth;
        } else if (c == ')' && --depth == 0) {
            return i + 1;
        }
    }
    return text.size();
}

// `raw` with `insertion` placed right after its first "<<"; unchanged when there is none.
inline std::string InsertAfterDictOpen(std::string_view raw, std::string_view insertion) {
    size_t open = raw.find("<<");
    std::string result(raw);
    if (open != std::string_view::npos) result.insert(open + 2, insertion);
    return result;
}
