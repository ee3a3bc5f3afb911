#include "pdf/CPdfRawTokens.h"

#include <charconv>

#include "pdf/CPdfRawBytes.h"

namespace {

size_t SkipHexString(std::string_view text, size_t open) {
    size_t close = text.find('>', open + 1);
    return close == std::string_view::npos ? text.size() : close + 1;
}

}  // namespace

std::optional<PdfToken> PdfTokenReader::Next() {
    const std::string_view text = m_text;
    size_t i = m_at;
    for (;;) {
        i = SkipPdfWhiteSpace(text, i);
        if (i >= text.size() || text[i] != '%') break;
        while (i < text.size() && text[i] != '\r' && text[i] != '\n') ++i;
    }
    if (i >= text.size()) {
        m_at = i;
        return std::nullopt;
    }
    const char c = text[i];
    PdfToken token;
    token.begin = i;
    const bool doubled = i + 1 < text.size() && text[i + 1] == c;
    // One switch: the fuzz build traces it as one comparison, a chain of ifs as one each.
    switch (c) {
        case '/':
            token.kind = PdfTokenKind::Name;
            token.end = SkipPdfRegular(text, i + 1);
            break;
        case '(':
            token.kind = PdfTokenKind::String;
            token.end = SkipLiteralString(text, i);
            break;
        case '<':
            token.kind = doubled ? PdfTokenKind::DictOpen : PdfTokenKind::String;
            token.end = doubled ? i + 2 : SkipHexString(text, i);
            break;
        case '>':
            token.kind = doubled ? PdfTokenKind::DictClose : PdfTokenKind::Other;
            token.end = doubled ? i + 2 : i + 1;
            break;
        case '[':
            token.kind = PdfTokenKind::ArrayOpen;
            token.end = i + 1;
            break;
        case ']':
            token.kind = PdfTokenKind::ArrayClose;
            token.end = i + 1;
            break;
        default:
            token.kind = IsPdfRegular(c) ? PdfTokenKind::Word : PdfTokenKind::Other;
            token.end = IsPdfRegular(c) ? SkipPdfRegular(text, i) : i + 1;
            break;
    }
    m_at = token.end;
    return token;
}

std::vector<PdfToken> TokenizePdfText(std::string_view text) {
    std::vector<PdfToken> tokens;
    // A token takes four bytes or more with its blank.
    tokens.reserve(text.size() / 4 + 4);
    PdfTokenReader reader(text);
    while (std::optional<PdfToken> token = reader.Next()) tokens.push_back(*token);
    return tokens;
}

namespace {

bool ParseSmallInt(std::string_view digits, int& value) {
    auto [ptr, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    return ec == std::errc() && ptr == digits.data() + digits.size();
}

std::string_view TokenText(std::string_view text, const PdfToken& token) {
    return text.substr(token.begin, token.end - token.begin);
}

std::optional<RefToken> RefOfTokens(std::string_view text, const PdfToken& num, const PdfToken& gen,
                                    const PdfToken& r) {
    if (!IsDigitWord(text, num) || !IsDigitWord(text, gen) || TokenText(text, r) != "R") {
        return std::nullopt;
    }
    RefToken ref;
    ref.begin = num.begin;
    ref.end = r.end;
    if (!ParseSmallInt(TokenText(text, num), ref.number)) return std::nullopt;
    if (!ParseSmallInt(TokenText(text, gen), ref.generation)) return std::nullopt;
    return ref;
}

bool IsOpening(PdfTokenKind kind) {
    return kind == PdfTokenKind::ArrayOpen || kind == PdfTokenKind::DictOpen;
}

bool IsClosing(PdfTokenKind kind) {
    return kind == PdfTokenKind::ArrayClose || kind == PdfTokenKind::DictClose;
}

}  // namespace

std::optional<RefToken> RefAtToken(std::string_view text, const std::vector<PdfToken>& tokens,
                                   size_t k) {
    if (k + 2 >= tokens.size()) return std::nullopt;
    return RefOfTokens(text, tokens[k], tokens[k + 1], tokens[k + 2]);
}

std::optional<RefToken> ReadReference(const PdfToken& first, PdfTokenReader& reader) {
    // Only a number can start one: most values are told apart without reading ahead.
    if (!IsDigitWord(reader.Text(), first)) return std::nullopt;
    PdfTokenReader ahead = reader;
    std::optional<PdfToken> gen = ahead.Next();
    std::optional<PdfToken> r = gen ? ahead.Next() : std::nullopt;
    if (!r) return std::nullopt;
    std::optional<RefToken> ref = RefOfTokens(reader.Text(), first, *gen, *r);
    if (ref) reader = ahead;
    return ref;
}

size_t ReadValueEnd(const PdfToken& first, PdfTokenReader& reader) {
    if (std::optional<RefToken> ref = ReadReference(first, reader)) return ref->end;
    if (!IsOpening(first.kind)) return first.end;
    int depth = 1;
    size_t end = first.end;
    while (std::optional<PdfToken> token = reader.Next()) {
        end = token->end;
        if (IsOpening(token->kind)) ++depth;
        if (IsClosing(token->kind) && --depth == 0) break;
    }
    return end;
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
