// A light tokenizer over PDF object text, for the raw-text editors: it reports where names,
// words (numbers and keywords), strings and delimiters start and end, and skips comments. It
// parses nothing: values are left to the callers. Stream data must not be passed to it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "pdf/CPdfRawEdit.h"

enum class PdfTokenKind { Name, Word, String, ArrayOpen, ArrayClose, DictOpen, DictClose, Other };

struct PdfToken {
    PdfTokenKind kind = PdfTokenKind::Other;
    size_t begin = 0;
    size_t end = 0;  // one past the last byte
};

// The tokens of `text` in order, at most `maxTokens` of them. An unterminated string ends at
// the end of the text.
std::vector<PdfToken> TokenizePdfText(std::string_view text, size_t maxTokens = SIZE_MAX);

struct RefToken;

// The reference "n g R" formed by tokens k, k + 1 and k + 2, if they form one.
std::optional<RefToken> RefAtToken(std::string_view text, const std::vector<PdfToken>& tokens,
                                   size_t k);

// Index one past the last token of the value that starts at token `k` (a reference, an array
// or dictionary with everything nested in it, or a single token).
size_t ValueEndTokenIndex(std::string_view text, const std::vector<PdfToken>& tokens, size_t k);

// A name token's bytes (with its slash) decoded: the slash dropped, #xx escapes resolved.
std::string DecodePdfName(std::string_view token);

inline bool IsDigitWord(std::string_view text, const PdfToken& token) {
    if (token.kind != PdfTokenKind::Word || token.begin == token.end) return false;
    for (size_t i = token.begin; i < token.end; ++i) {
        if (text[i] < '0' || text[i] > '9') return false;
    }
    return true;
}
