#include "pdf/CPdfRawTokens.h"

#include <algorithm>
#include <charconv>

#include "pdf/CPdfRawEdit.h"

namespace {

size_t SkipRegular(std::string_view text, size_t i) {
    while (i < text.size() && IsPdfRegular(text[i])) ++i;
    return i;
}

size_t SkipHexString(std::string_view text, size_t open) {
    size_t close = text.find('>', open + 1);
    return close == std::string_view::npos ? text.size() : close + 1;
}

}  // namespace

std::vector<PdfToken> TokenizePdfText(std::string_view text, size_t maxTokens) {
    std::vector<PdfToken> tokens;
    // A token takes four bytes or more with its blank.
    tokens.reserve(std::min(text.size() / 4 + 4, maxTokens));
    size_t i = 0;
    while (i < text.size() && tokens.size() < maxTokens) {
        char c = text[i];
        if (IsPdfWhiteSpace(c)) {
            ++i;
            continue;
        }
        if (c == '%') {
            while (i < text.size() && text[i] != '\r' && text[i] != '\n') ++i;
            continue;
        }
        PdfToken token;
        token.begin = i;
        if (c == '/') {
            token.kind = PdfTokenKind::Name;
            token.end = SkipRegular(text, i + 1);
        } else if (c == '(') {
            token.kind = PdfTokenKind::String;
            token.end = SkipLiteralString(text, i);
        } else if (c == '<' && i + 1 < text.size() && text[i + 1] == '<') {
            token.kind = PdfTokenKind::DictOpen;
            token.end = i + 2;
        } else if (c == '<') {
            token.kind = PdfTokenKind::String;
            token.end = SkipHexString(text, i);
        } else if (c == '>' && i + 1 < text.size() && text[i + 1] == '>') {
            token.kind = PdfTokenKind::DictClose;
            token.end = i + 2;
        } else if (c == '[') {
            token.kind = PdfTokenKind::ArrayOpen;
            token.end = i + 1;
        } else if (c == ']') {
            token.kind = PdfTokenKind::ArrayClose;
            token.end = i + 1;
        } else if (IsPdfRegular(c)) {
            token.kind = PdfTokenKind::Word;
            token.end = SkipRegular(text, i);
        } else {
            token.kind = PdfTokenKind::Other;
            token.end = i + 1;
        }
        tokens.push_back(token);
        i = token.end;
    }
    return tokens;
}

namespace {

bool ParseSmallInt(std::string_view digits, int& value) {
    auto [ptr, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    return ec == std::errc() && ptr == digits.data() + digits.size();
}

}  // namespace

std::optional<RefToken> RefAtToken(std::string_view text, const std::vector<PdfToken>& tokens,
                                   size_t k) {
    if (k + 2 >= tokens.size()) return std::nullopt;
    const PdfToken& num = tokens[k];
    const PdfToken& gen = tokens[k + 1];
    const PdfToken& r = tokens[k + 2];
    if (!IsDigitWord(text, num) || !IsDigitWord(text, gen) ||
        text.substr(r.begin, r.end - r.begin) != "R") {
        return std::nullopt;
    }
    RefToken ref;
    ref.begin = num.begin;
    ref.end = r.end;
    if (!ParseSmallInt(text.substr(num.begin, num.end - num.begin), ref.number))
        return std::nullopt;
    if (!ParseSmallInt(text.substr(gen.begin, gen.end - gen.begin), ref.generation))
        return std::nullopt;
    return ref;
}

// Index one past the token that closes the value starting at token `k`.
size_t ValueEndTokenIndex(std::string_view text, const std::vector<PdfToken>& tokens, size_t k) {
    if (RefAtToken(text, tokens, k)) return k + 3;
    PdfTokenKind kind = tokens[k].kind;
    if (kind != PdfTokenKind::ArrayOpen && kind != PdfTokenKind::DictOpen) return k + 1;
    int depth = 0;
    for (size_t m = k; m < tokens.size(); ++m) {
        PdfTokenKind inner = tokens[m].kind;
        if (inner == PdfTokenKind::ArrayOpen || inner == PdfTokenKind::DictOpen) ++depth;
        if (inner == PdfTokenKind::ArrayClose || inner == PdfTokenKind::DictClose) {
            if (--depth == 0) return m + 1;
        }
    }
    return tokens.size();
}

std::string DecodePdfName(std::string_view token) {
    std::string name;
    for (size_t i = 1; i < token.size(); ++i) {
        if (token[i] == '#' && i + 2 < token.size() && PdfHexDigitValue(token[i + 1]) >= 0 &&
            PdfHexDigitValue(token[i + 2]) >= 0) {
            name += static_cast<char>(PdfHexDigitValue(token[i + 1]) * 16 +
                                      PdfHexDigitValue(token[i + 2]));
            i += 2;
        } else {
            name += token[i];
        }
    }
    return name;
}
