#include "pdf/CPdfRawEdit.h"

#include <charconv>
#include <cstdint>
#include <cstring>

#include "pdf/CPdfRawTokens.h"

namespace {

std::string_view TokenText(std::string_view text, const PdfToken& token) {
    return text.substr(token.begin, token.end - token.begin);
}

// Reads up to the name token `key` among the keys of the outermost dictionary (the first "<<"
// of the text) and returns it, the reader left just past it; nullopt when the dictionary has
// no such key. Keys stand only after "<<" or after a complete value, so a name that is a
// value ("/H /P", "/S /GoTo") or lies inside a nested value is never taken.
std::optional<PdfToken> ReadToKey(PdfTokenReader& reader, std::string_view key) {
    std::optional<PdfToken> token;
    while ((token = reader.Next()) && token->kind != PdfTokenKind::DictOpen) {
    }
    if (!token) return std::nullopt;
    while ((token = reader.Next()) && token->kind != PdfTokenKind::DictClose) {
        // A stray value where a key should stand (a damaged dictionary) is stepped over whole.
        if (token->kind != PdfTokenKind::Name) {
            ReadValueEnd(*token, reader);
            continue;
        }
        if (TokenText(reader.Text(), *token) == key) return token;
        std::optional<PdfToken> value = reader.Next();
        if (!value || value->kind == PdfTokenKind::DictClose) return std::nullopt;
        ReadValueEnd(*value, reader);
    }
    return std::nullopt;
}

// Whether `text` may hold the key at all: most texts do not hold most keys, and a byte
// search tells those apart without tokenizing them.
bool MayHoldKey(std::string_view text, std::string_view key) {
    return FindBytes(text, key) != kNotFound;
}

// The first token of the value of `key` (the reader left just past it), or nullopt.
std::optional<PdfToken> ReadValueOfKey(PdfTokenReader& reader, std::string_view key) {
    if (!MayHoldKey(reader.Text(), key) || !ReadToKey(reader, key)) return std::nullopt;
    return reader.Next();
}

}  // namespace

size_t FindStreamKeyword(std::string_view raw) {
    // Most objects are no streams and never spell the word: one byte search tells them apart.
    if (FindBytes(raw, "stream") == kNotFound) return kNotFound;
    // The keyword counts only as the token right after the object's dictionary: the same word
    // in a string, a comment or a name of the dictionary is read as what it is part of.
    const std::optional<ObjectHeader> header = ReadObjectHeader(raw);
    const size_t start = header ? header->end : 0;
    PdfTokenReader reader(raw.substr(start));
    std::optional<PdfToken> open = reader.Next();
    if (!open || open->kind != PdfTokenKind::DictOpen) return kNotFound;
    ReadValueEnd(*open, reader);
    std::optional<PdfToken> keyword = reader.Next();
    if (!keyword || TokenText(reader.Text(), *keyword) != "stream") return kNotFound;
    const size_t after = start + keyword->end;
    if (after >= raw.size() || (raw[after] != '\r' && raw[after] != '\n')) return kNotFound;
    return start + keyword->begin;
}

std::string_view DictionaryPart(std::string_view raw) {
    size_t pos = FindStreamKeyword(raw);
    return pos == kNotFound ? raw : raw.substr(0, pos);
}

std::vector<RefToken> FindReferences(std::string_view text) {
    PdfTokenReader reader(text);
    std::vector<RefToken> refs;
    while (std::optional<PdfToken> token = reader.Next()) {
        if (std::optional<RefToken> ref = ReadReference(*token, reader)) refs.push_back(*ref);
    }
    return refs;
}

std::optional<RefToken> ReferenceAt(std::string_view text, size_t pos) {
    PdfTokenReader reader(text.substr(pos));
    std::optional<PdfToken> first = reader.Next();
    std::optional<RefToken> ref = first ? ReadReference(*first, reader) : std::nullopt;
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
        int64_t value = 0;
        std::from_chars(text.data() + at, text.data() + end, value);
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
    size_t start = SkipPdfWhiteSpace(raw, 0);
    std::string result(raw.substr(0, start));
    result += std::to_string(number) + " " + std::to_string(generation) + " obj";
    result.append(raw.substr(header->end));
    return result;
}

std::optional<ArraySpan> FindArrayValue(std::string_view text, std::string_view key) {
    PdfTokenReader reader(text);
    std::optional<PdfToken> open = ReadValueOfKey(reader, key);
    if (!open || open->kind != PdfTokenKind::ArrayOpen) return std::nullopt;
    int depth = 1;
    while (std::optional<PdfToken> token = reader.Next()) {
        if (token->kind == PdfTokenKind::ArrayOpen) ++depth;
        if (token->kind == PdfTokenKind::ArrayClose && --depth == 0) {
            return ArraySpan{open->begin, token->begin};
        }
    }
    return std::nullopt;
}

std::string RemoveArrayElements(std::string_view text, std::string_view key,
                                const std::vector<int>& positions) {
    std::optional<ArraySpan> array = FindArrayValue(text, key);
    if (!array || positions.empty()) return std::string(text);
    const size_t inside = array->open + 1;
    PdfTokenReader reader(text.substr(inside, array->close - inside));
    std::string result(text.substr(0, inside));
    size_t copied = inside;
    auto next = positions.begin();
    for (int position = 0; next != positions.end(); ++position) {
        std::optional<PdfToken> first = reader.Next();
        if (!first) break;
        const size_t begin = inside + first->begin;
        const size_t end = inside + ReadValueEnd(*first, reader);
        if (position != *next) continue;
        ++next;
        result.append(text.substr(copied, begin - copied));
        copied = end;
    }
    result.append(text.substr(copied));
    return result;
}

std::optional<NumberSpan> FindIntegerValue(std::string_view text, std::string_view key) {
    PdfTokenReader reader(text);
    std::optional<PdfToken> value = ReadValueOfKey(reader, key);
    if (!value || !IsDigitWord(text, *value)) return std::nullopt;
    if (ReadReference(*value, reader)) return std::nullopt;
    NumberSpan span{value->begin, value->end, 0};
    auto digits = TokenText(text, *value);
    auto [ptr, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), span.value);
    if (ec != std::errc()) return std::nullopt;
    return span;
}

std::optional<RefToken> FindReferenceValue(std::string_view text, std::string_view key) {
    PdfTokenReader reader(text);
    std::optional<PdfToken> value = ReadValueOfKey(reader, key);
    if (!value) return std::nullopt;
    return ReadReference(*value, reader);
}

std::optional<EntrySpan> FindEntry(std::string_view text, std::string_view key) {
    if (!MayHoldKey(text, key)) return std::nullopt;
    PdfTokenReader reader(text);
    std::optional<PdfToken> keyToken = ReadToKey(reader, key);
    if (!keyToken) return std::nullopt;
    std::optional<PdfToken> value = reader.Next();
    if (!value || value->kind == PdfTokenKind::ArrayClose ||
        value->kind == PdfTokenKind::DictClose) {
        return std::nullopt;
    }
    return EntrySpan{keyToken->begin, value->begin, ReadValueEnd(*value, reader)};
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
    PdfTokenReader reader(text);
    std::optional<PdfToken> keyToken = ReadToKey(reader, key);
    return keyToken ? keyToken->begin : kNotFound;
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
    size_t obj = FindBytes(raw, "obj");
    if (obj == kNotFound) return {};
    size_t at = SkipPdfWhiteSpace(raw, obj + 3);
    if (raw.compare(at, 2, "<<") != 0) return {};
    std::string_view dict = DictionaryPart(raw.substr(at));
    PdfTokenReader reader(dict);
    std::optional<PdfToken> type = ReadValueOfKey(reader, "/Type");
    if (!type || type->kind != PdfTokenKind::Name) return {};
    return std::string(dict.substr(type->begin + 1, type->end - type->begin - 1));
}

bool IsObjectOrXRefStream(std::string_view raw) {
    // Both are streams, and their type names stand in the dictionary: most objects are told
    // apart by two byte searches of their dictionary, without tokenizing it.
    std::string_view dict = DictionaryPart(raw);
    if (dict.size() == raw.size()) return false;
    if (FindBytes(dict, "/ObjStm") == kNotFound && FindBytes(dict, "/XRef") == kNotFound)
        return false;
    std::string type = RawDictType(raw);
    return type == "ObjStm" || type == "XRef";
}
