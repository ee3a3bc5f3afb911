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

#include "pdf/CPdfRawBytes.h"

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
