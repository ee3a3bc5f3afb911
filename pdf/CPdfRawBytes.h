// Byte classes and small scans over the raw text of PDF objects, and the span of an indirect
// reference: what the tokenizer and the raw-text editors both stand on.
#pragma once

#include <array>
#include <cstddef>
#include <cstring>
#include <string_view>

// Byte classes and small scans. Each byte's class is one table lookup: the scans below run
// over every byte of an object's text, and a chain of comparisons per byte costs far more.

// Marks a scan that only steps over (or takes) bytes of some classes. The fuzz build neither
// instruments it for coverage nor inlines it into instrumented code: its comparisons, one or two
// per byte, teach the fuzzer nothing about the input's structure and would cost more than the rest
// of a parse. Other builds inline it as usual.
#if defined(VELMORA_FUZZ_BUILD) && defined(__clang__)
#define PDF_BYTE_SCAN __attribute__((noinline, no_sanitize("coverage")))
#else
#define PDF_BYTE_SCAN
#endif

namespace pdf_bytes {

enum : unsigned char { kWhite = 1, kDelimiter = 2, kDigit = 4, kHexLetter = 8 };

inline constexpr std::array<unsigned char, 256> kClass = [] {
    std::array<unsigned char, 256> classes{};
    for (unsigned char c : {' ', '\n', '\r', '\t', '\f', '\0'}) classes[c] = kWhite;
    for (unsigned char c : {'(', ')', '<', '>', '[', ']', '{', '}', '/', '%'})
        classes[c] = kDelimiter;
    for (int c = '0'; c <= '9'; ++c) classes[c] = kDigit;
    for (int c = 'a'; c <= 'f'; ++c) classes[c] = kHexLetter;
    for (int c = 'A'; c <= 'F'; ++c) classes[c] = kHexLetter;
    return classes;
}();

inline unsigned char ClassOf(char c) {
    return kClass[static_cast<unsigned char>(c)];
}

}  // namespace pdf_bytes

inline bool IsPdfWhiteSpace(char c) {
    return pdf_bytes::ClassOf(c) == pdf_bytes::kWhite;
}

inline bool IsPdfDelimiter(char c) {
    return pdf_bytes::ClassOf(c) == pdf_bytes::kDelimiter;
}

// A byte that continues a name, number or keyword.
inline bool IsPdfRegular(char c) {
    return (pdf_bytes::ClassOf(c) & (pdf_bytes::kWhite | pdf_bytes::kDelimiter)) == 0;
}

inline bool IsPdfDigit(char c) {
    return c >= '0' && c <= '9';
}

// The value of a hexadecimal digit, or -1 for any other byte (or EOF).
inline int PdfHexDigitValue(int c) {
    if (c < 0 || c > 255) return -1;
    const unsigned char kind = pdf_bytes::kClass[static_cast<size_t>(c)];
    if (kind == pdf_bytes::kDigit) return c - '0';
    if (kind == pdf_bytes::kHexLetter) return (c | 0x20) - 'a' + 10;
    return -1;
}

PDF_BYTE_SCAN inline size_t SkipPdfWhiteSpace(std::string_view text, size_t at) {
    while (at < text.size() && IsPdfWhiteSpace(text[at])) ++at;
    return at;
}

PDF_BYTE_SCAN inline size_t SkipPdfDigits(std::string_view text, size_t at) {
    while (at < text.size() && IsPdfDigit(text[at])) ++at;
    return at;
}

// Index of the first byte at or after `at` that ends a name, number or keyword.
PDF_BYTE_SCAN inline size_t SkipPdfRegular(std::string_view text, size_t at) {
    while (at < text.size() && IsPdfRegular(text[at])) ++at;
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

inline constexpr size_t kNotFound = std::string_view::npos;

// Index of the first `needle` in `text` at or after `from`; kNotFound when there is none. One
// library search over the text: a search by hand compares afresh at every byte that starts
// like the needle, and these searches run over every object of a file.
inline size_t FindBytes(std::string_view text, std::string_view needle, size_t from = 0) {
    if (from > text.size()) return kNotFound;
    if (needle.empty()) return from;
    const void* at = memmem(text.data() + from, text.size() - from, needle.data(), needle.size());
    return at == nullptr ? kNotFound
                         : static_cast<size_t>(static_cast<const char*>(at) - text.data());
}

// One indirect reference "number generation R" in a text.
struct RefToken {
    size_t begin = 0;  // first digit of the number
    size_t end = 0;    // one past the "R"
    int number = 0;
    int generation = 0;
};
