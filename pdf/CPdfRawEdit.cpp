#include "pdf/CPdfRawEdit.h"

#include <charconv>
#include <cstdint>
#include <cstring>

#include "pdf/CPdfRawTokens.h"

namespace {

std::string_view TokenText(std::string_view text, const PdfToken& token) {
    return text.substr(token.begin, token.end - token.begin);
}

// Index of the name token `key` among the keys of the outermost dictionary (the first "<<"
// of the text), or tokens.size(). Keys stand only after "<<" or after a complete value, so a
// name that is a value ("/H /P", "/S /GoTo") or lies inside a nested value is never taken.
size_t KeyTokenIndex(std::string_view text, const std::vector<PdfToken>& tokens,
                     std::string_view key) {
    size_t k = 0;
    while (k < tokens.size() && tokens[k].kind != PdfTokenKind::DictOpen) ++k;
    for (++k; k < tokens.size();) {
        PdfTokenKind kind = tokens[k].kind;
        if (kind == PdfTokenKind::DictClose) break;
        // A stray value where a key should stand (a damaged dictionary) is stepped over whole.
        if (kind != PdfTokenKind::Name) {
            k = ValueEndTokenIndex(text, tokens, k);
            continue;
        }
        if (TokenText(text, tokens[k]) == key) return k;
        if (k + 1 >= tokens.size() || tokens[k + 1].kind == PdfTokenKind::DictClose) break;
        k = ValueEndTokenIndex(text, tokens, k + 1);
    }
    return tokens.size();
}

// Whether `text` may hold the key at all: most texts do not hold most keys, and a byte
// search tells those apart without tokenizing them.
bool MayHoldKey(std::string_view text, std::string_view key) {
    return text.find(key) != std::string_view::npos;
}

// Index of the token that follows the key `key` (its value's first token), or tokens.size().
size_t TokenAfterKey(std::string_view text, const std::vector<PdfToken>& tokens,
                     std::string_view key) {
    size_t k = KeyTokenIndex(text, tokens, key);
    return k < tokens.size() ? k + 1 : tokens.size();
}

}  // namespace

size_t FindStreamKeyword(std::string_view raw) {
    size_t pos = 0;
    while ((pos = raw.find("stream", pos)) != std::string_view::npos) {
        bool before = pos > 0 && (raw[pos - 1] == '>' || IsPdfWhiteSpace(raw[pos - 1]));
        size_t after = pos + 6;
        bool eol = after < raw.size() && (raw[after] == '\r' || raw[after] == '\n');
        if (before && eol) return pos;
        pos += 6;
    }
    return kNotFound;
}

std::string_view DictionaryPart(std::string_view raw) {
    size_t pos = FindStreamKeyword(raw);
    return pos == kNotFound ? raw : raw.substr(0, pos);
}

std::vector<RefToken> FindReferences(std::string_view text) {
    std::vector<PdfToken> tokens = TokenizePdfText(text);
    std::vector<RefToken> refs;
    for (size_t k = 0; k < tokens.size(); ++k) {
        if (auto ref = RefAtToken(text, tokens, k)) {
            refs.push_back(*ref);
            k += 2;
        }
    }
    return refs;
}

std::optional<RefToken> ReferenceAt(std::string_view text, size_t pos) {
    std::string_view rest = text.substr(pos);
    // A reference is three tokens: the rest of the text need not be read.
    std::vector<PdfToken> tokens = TokenizePdfText(rest, 3);
    auto ref = RefAtToken(rest, tokens, 0);
    if (!ref) return std::nullopt;
    ref->begin += pos;
    ref->end += pos;
    return ref;
}

std::string ReplaceReferences(std::string_view text,
                              const std::function<std::string(const RefToken&)>& replacement) {
    std::string result;
    result.reserve(text.size() + 16);
    size_t copied = 0;
    for (const RefToken& ref : FindReferences(text)) {
        result.append(text.substr(copied, ref.begin - copied));
        result += replacement(ref);
        copied = ref.end;
    }
    result.append(text.substr(copied));
    return result;
}

std::optional<ObjectHeader> ReadObjectHeader(std::string_view text) {
    auto readNumber = [&text](size_t& at) -> std::optional<int> {
        at = SkipPdfWhiteSpace(text, at);
        size_t end = SkipPdfDigits(text, at);
        if (end == at || end - at > 10) return std::nullopt;
        int64_t value = std::stoll(std::string(text.substr(at, end - at)));
        at = end;
        if (value > INT32_MAX) return std::nullopt;
        return static_cast<int>(value);
    };
    size_t at = 0;
    std::optional<int> number = readNumber(at);
    if (!number || at >= text.size() || !IsPdfWhiteSpace(text[at])) return std::nullopt;
    std::optional<int> generation = readNumber(at);
    if (!generation) return std::nullopt;
    at = SkipPdfWhiteSpace(text, at);
    if (text.substr(at, 3) != "obj" || (at + 3 < text.size() && IsPdfRegular(text[at + 3]))) {
        return std::nullopt;
    }
    return ObjectHeader{*number, *generation, at + 3};
}

std::string SetObjectHeader(std::string_view raw, int number, int generation) {
    auto header = ReadObjectHeader(raw);
    if (!header) return std::string(raw);
    size_t start = 0;
    while (start < raw.size() && IsPdfWhiteSpace(raw[start])) ++start;
    std::string result(raw.substr(0, start));
    result += std::to_string(number) + " " + std::to_string(generation) + " obj";
    result.append(raw.substr(header->end));
    return result;
}

std::optional<ArraySpan> FindArrayValue(std::string_view text, std::string_view key) {
    if (!MayHoldKey(text, key)) return std::nullopt;
    std::vector<PdfToken> tokens = TokenizePdfText(text);
    size_t k = TokenAfterKey(text, tokens, key);
    if (k >= tokens.size() || tokens[k].kind != PdfTokenKind::ArrayOpen) return std::nullopt;
    int depth = 0;
    for (size_t m = k; m < tokens.size(); ++m) {
        if (tokens[m].kind == PdfTokenKind::ArrayOpen) ++depth;
        if (tokens[m].kind == PdfTokenKind::ArrayClose && --depth == 0) {
            return ArraySpan{tokens[k].begin, tokens[m].begin};
        }
    }
    return std::nullopt;
}

std::optional<NumberSpan> FindIntegerValue(std::string_view text, std::string_view key) {
    if (!MayHoldKey(text, key)) return std::nullopt;
    std::vector<PdfToken> tokens = TokenizePdfText(text);
    size_t k = TokenAfterKey(text, tokens, key);
    if (k >= tokens.size() || !IsDigitWord(text, tokens[k])) return std::nullopt;
    if (RefAtToken(text, tokens, k)) return std::nullopt;
    NumberSpan span{tokens[k].begin, tokens[k].end, 0};
    auto digits = TokenText(text, tokens[k]);
    auto [ptr, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), span.value);
    if (ec != std::errc()) return std::nullopt;
    return span;
}

std::optional<RefToken> FindReferenceValue(std::string_view text, std::string_view key) {
    if (!MayHoldKey(text, key)) return std::nullopt;
    std::vector<PdfToken> tokens = TokenizePdfText(text);
    size_t k = TokenAfterKey(text, tokens, key);
    if (k >= tokens.size()) return std::nullopt;
    return RefAtToken(text, tokens, k);
}

std::optional<EntrySpan> FindEntry(std::string_view text, std::string_view key) {
    if (!MayHoldKey(text, key)) return std::nullopt;
    std::vector<PdfToken> tokens = TokenizePdfText(text);
    size_t k = TokenAfterKey(text, tokens, key);
    if (k >= tokens.size()) return std::nullopt;
    PdfTokenKind kind = tokens[k].kind;
    if (kind == PdfTokenKind::ArrayClose || kind == PdfTokenKind::DictClose) return std::nullopt;
    size_t end = ValueEndTokenIndex(text, tokens, k);
    return EntrySpan{tokens[k - 1].begin, tokens[k].begin, tokens[end - 1].end};
}

std::string ReplaceEntryValue(std::string_view text, std::string_view key, std::string_view value) {
    auto entry = FindEntry(text, key);
    if (!entry) return std::string(text);
    std::string result(text.substr(0, entry->keyBegin));
    result += key;
    result += ' ';
    result += value;
    result.append(text.substr(entry->valueEnd));
    return result;
}

std::string RemoveEntry(std::string_view text, std::string_view key) {
    auto entry = FindEntry(text, key);
    if (!entry) return std::string(text);
    std::string result(text.substr(0, entry->keyBegin));
    result.append(text.substr(entry->valueEnd));
    return result;
}

size_t FindKey(std::string_view text, std::string_view key) {
    if (!MayHoldKey(text, key)) return kNotFound;
    std::vector<PdfToken> tokens = TokenizePdfText(text);
    size_t k = KeyTokenIndex(text, tokens, key);
    return k < tokens.size() ? tokens[k].begin : kNotFound;
}

std::optional<std::string> DirectValueText(std::string_view text, std::string_view key) {
    auto entry = FindEntry(text, key);
    if (!entry) return std::nullopt;
    return std::string(text.substr(entry->valueBegin, entry->valueEnd - entry->valueBegin));
}

bool ReplaceParentReference(std::string& text, int number, int generation) {
    size_t at = FindKey(text, "/Parent");
    if (at == kNotFound) return false;
    std::string reference = std::to_string(number) + " " + std::to_string(generation) + " R";
    if (auto ref = ReferenceAt(text, at + 7)) {
        text.replace(ref->begin, ref->end - ref->begin, reference);
        return true;
    }
    size_t digits = at + 7;
    while (digits < text.size() && !IsPdfDigit(text[digits])) ++digits;
    size_t end = SkipPdfDigits(text, digits);
    if (end > digits) text.replace(digits, end - digits, std::to_string(number));
    return true;
}

std::string RawDictType(std::string_view raw) {
    // The object's value must be the dictionary: it opens right after "obj".
    size_t obj = raw.find("obj");
    if (obj == std::string_view::npos) return {};
    size_t at = SkipPdfWhiteSpace(raw, obj + 3);
    if (raw.compare(at, 2, "<<") != 0) return {};
    std::string_view dict = DictionaryPart(raw.substr(at));
    std::vector<PdfToken> tokens = TokenizePdfText(dict);
    size_t k = TokenAfterKey(dict, tokens, "/Type");
    if (k >= tokens.size() || tokens[k].kind != PdfTokenKind::Name) return {};
    return std::string(dict.substr(tokens[k].begin + 1, tokens[k].end - tokens[k].begin - 1));
}

bool IsObjectOrXRefStream(std::string_view raw) {
    // Both are streams, and their type names stand in the dictionary: most objects are told
    // apart by two byte searches of their dictionary, without tokenizing it.
    std::string_view dict = DictionaryPart(raw);
    if (dict.size() == raw.size()) return false;
    if (dict.find("/ObjStm") == std::string_view::npos &&
        dict.find("/XRef") == std::string_view::npos)
        return false;
    std::string type = RawDictType(raw);
    return type == "ObjStm" || type == "XRef";
}
