// The raw-text editing module: searches and edits on the raw text of PDF objects (the bytes of
// "n g obj ... endobj" as they stand in a file). Every writer of the system (the imposition,
// the append, the rotation) writes its output by editing such texts instead of serialising
// parsed objects; these helpers classify bytes, find keys, references and the stream keyword
// the way a reader would, so that an edit never lands inside a string, a longer name or the
// stream data.
//
// All functions are pure: they take views and return new strings or positions; nothing is kept.
#pragma once

#include <array>
#include <cstddef>
#include <cstring>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

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

// `raw` with `insertion` placed right after its first "<<"; unchanged when there is none.
inline std::string InsertAfterDictOpen(std::string_view raw, std::string_view insertion) {
    size_t open = FindBytes(raw, "<<");
    std::string result(raw);
    if (open != std::string_view::npos) result.insert(open + 2, insertion);
    return result;
}

// Position of the key `key` (with its slash) among the keys of the outermost dictionary of
// `text` (from its first "<<"); kNotFound when there is none. Only key positions count: a
// name that is a value (the /P of "/H /P"), a longer name, a string or a nested dictionary
// never matches.
size_t FindKey(std::string_view text, std::string_view key);

// Index of the "s" of the keyword that opens a stream's data, kNotFound when the object has no
// stream. `raw` starts with the object's header ("n g obj") or with its dictionary; the keyword
// is the first token after the dictionary's closing ">>", as the tokenizer reads it (the word
// inside a string, a comment or a name never counts), followed by an end of line.
size_t FindStreamKeyword(std::string_view raw);

// The part of a raw text before its stream data (the whole text when it has none).
std::string_view DictionaryPart(std::string_view raw);

// One indirect reference "number generation R" in a text.
struct RefToken {
    size_t begin = 0;  // first digit of the number
    size_t end = 0;    // one past the "R"
    int number = 0;
    int generation = 0;
};

// Every reference in `text` in order, outside strings and comments.
std::vector<RefToken> FindReferences(std::string_view text);

// The reference that starts at `pos` after white space, if the text holds one there.
std::optional<RefToken> ReferenceAt(std::string_view text, size_t pos);

// `text` with every reference replaced by what `replacement` gives for it (the text written in
// place of "number generation R").
std::string ReplaceReferences(std::string_view text,
                              const std::function<std::string(const RefToken&)>& replacement);

// The object header "n g obj" at the start of a raw text: its number, generation and the index
// just past "obj"; nullopt when the text does not start with one.
struct ObjectHeader {
    int number = 0;
    int generation = 0;
    size_t end = 0;
};
std::optional<ObjectHeader> ReadObjectHeader(std::string_view raw);

// The /Type name (without its slash) of the dictionary that is raw object text's value, looked up
// among that dictionary's own keys only (not in dictionaries nested in it); empty when it has
// none.
std::string RawDictType(std::string_view raw);

// Whether raw object text is an object stream or a cross-reference stream (/Type /ObjStm or
// /Type /XRef): the input's own storage, which a rewritten file with a classic table must
// not carry over, even when an earlier revision left it unreferenced.
bool IsObjectOrXRefStream(std::string_view raw);

// `raw` with its header renumbered to "number generation obj" (unchanged without a header).
std::string SetObjectHeader(std::string_view raw, int number, int generation);

// Positions of the bracketed array that is the value of `key` in the dictionary part: the
// index of "[" and of the matching "]". nullopt when the key is absent or its value is not a
// direct array (for example a reference).
struct ArraySpan {
    size_t open = 0;
    size_t close = 0;
};
std::optional<ArraySpan> FindArrayValue(std::string_view text, std::string_view key);

// `text` without the elements at `positions` (from 0, in order) of the direct array that is
// the value of `key`; unchanged when there is no such array.
std::string RemoveArrayElements(std::string_view text, std::string_view key,
                                const std::vector<int>& positions);

// The span of a direct integer value of `key` ("/Count 12"): begin and end of its digits.
struct NumberSpan {
    size_t begin = 0;
    size_t end = 0;
    long long value = 0;
};
std::optional<NumberSpan> FindIntegerValue(std::string_view text, std::string_view key);

// The reference that is the value of `key`, when it is one.
std::optional<RefToken> FindReferenceValue(std::string_view text, std::string_view key);

// The entry `key` of the outermost dictionary, from its slash to the end of its value (a name,
// number, string, reference, array or dictionary).
struct EntrySpan {
    size_t keyBegin = 0;
    size_t valueBegin = 0;
    size_t valueEnd = 0;
};
std::optional<EntrySpan> FindEntry(std::string_view text, std::string_view key);

// `text` with the value of `key` replaced by `value` (" " is put between them); unchanged when
// the key is absent.
std::string ReplaceEntryValue(std::string_view text, std::string_view key, std::string_view value);

// `text` without the entry `key`; unchanged when the key is absent.
std::string RemoveEntry(std::string_view text, std::string_view key);

// The text of the value of `key` in the outermost dictionary (a dictionary or array with all
// it holds, a reference, or a single token); nullopt when the key is absent.
std::optional<std::string> DirectValueText(std::string_view text, std::string_view key);

// Points "/Parent n g R" at `number` `generation`; false when the text has no /Parent. A
// value that is no well-formed reference gets its first run of digits renumbered.
bool ReplaceParentReference(std::string& text, int number, int generation);
