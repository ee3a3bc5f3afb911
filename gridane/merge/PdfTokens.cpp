#include "gridane/merge/PdfTokens.h"

#include "gridane/merge/RawTextEdit.h"

namespace gridane {

size_t SkipLiteralString(std::string_view text, size_t open) {
    int depth = 0;
    for (size_t i = open; i < text.size(); ++i) {
        char c = text[i];
        if (c == '\\') {
            ++i;
        } else if (c == '(') {
            ++depth;
        } else if (c == ')') {
            if (--depth == 0) return i + 1;
        }
    }
    return text.size();
}

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

std::vector<PdfToken> TokenizePdfText(std::string_view text) {
    std::vector<PdfToken> tokens;
    size_t i = 0;
    while (i < text.size()) {
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

}  // namespace gridane
