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

#include "pdf/CPdfRawBytes.h"

enum class PdfTokenKind { Name, Word, String, ArrayOpen, ArrayClose, DictOpen, DictClose, Other };

struct PdfToken {
    PdfTokenKind kind = PdfTokenKind::Other;
    size_t begin = 0;
    size_t end = 0;  // one past the last byte
};

// Reads the tokens of a text one at a time without keeping them: a search that stops at its
// key or value reads no further than that and needs no list.
class PdfTokenReader {
  public:
    explicit PdfTokenReader(std::string_view text) : m_text(text) {}

    // The next token; nullopt at the end of the text. An unterminated string ends at the end
    // of the text.
    std::optional<PdfToken> Next();
    std::string_view Text() const { return m_text; }

  private:
    std::string_view m_text;
    size_t m_at = 0;
};

// The tokens of `text` in order.
std::vector<PdfToken> TokenizePdfText(std::string_view text);

struct RefToken;

// The reference "n g R" formed by tokens k, k + 1 and k + 2, if they form one.
std::optional<RefToken> RefAtToken(std::string_view text, const std::vector<PdfToken>& tokens,
                                   size_t k);

// The reference "n g R" whose number is `first` (a token already read), if the reader's next
// two tokens complete one; only then are they read.
std::optional<RefToken> ReadReference(const PdfToken& first, PdfTokenReader& reader);

// Reads the rest of the value whose first token is `first` (a reference, an array or
// dictionary with everything nested in it, or a single token): one past the value's last byte,
// or past the text's last token when the value is not closed.
size_t ReadValueEnd(const PdfToken& first, PdfTokenReader& reader);

// A name token's bytes (with its slash) decoded: the slash dropped, #xx escapes resolved.
std::string DecodePdfName(std::string_view token);

inline bool IsDigitWord(std::string_view text, const PdfToken& token) {
    if (token.kind != PdfTokenKind::Word || token.begin == token.end) return false;
    for (size_t i = token.begin; i < token.end; ++i) {
        if (text[i] < '0' || text[i] > '9') return false;
    }
    return true;
}
