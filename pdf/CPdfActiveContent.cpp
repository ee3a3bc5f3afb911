#include "pdf/CPdfActiveContent.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <vector>

#include "pdf/CPdfActionTargets.h"
#include "pdf/CPdfRawEdit.h"
#include "pdf/CPdfRawTokens.h"

namespace {

// Actions that run a script, start a program, read a file, send data without the reader
// seeing where (also from a trigger, with no click at all), or open an embedded file, whose
// own scripts would then run.
constexpr std::array<std::string_view, 7> kActiveActions{
    "JavaScript", "Launch", "ImportData", "SubmitForm", "Rendition", "RichMediaExecute", "GoToE"};

constexpr std::string_view kScriptList = "document script list (/Names /JavaScript)";
constexpr std::string_view kScriptText = "script text object";
constexpr std::string_view kTooDeep = "object nested too deeply to be checked";
constexpr std::string_view kUnsettled = "damaged object that reads otherwise once filtered";
constexpr std::string_view kXfa = "XFA form (with its scripts)";
constexpr std::string_view kArtwork = "3D or rich media artwork (with its scripts)";
constexpr std::string_view kLooseScript = "script (/JS) outside an action";
constexpr std::string_view kIndirectAction = "action typed by reference";
constexpr std::string_view kLocalUri = "URI action to a script or local address";

bool IsActiveAction(std::string_view name) {
    for (std::string_view active : kActiveActions) {
        if (name == active) return true;
    }
    return false;
}

// Keys whose value goes with the key wherever they stand, and the kind they count as.
std::string_view DroppedKeyKind(std::string_view key) {
    if (key == "JavaScript") return kScriptList;
    if (key == "XFA") return kXfa;
    if (key == "3DD" || key == "OnInstantiate" || key == "RichMediaContent") return kArtwork;
    return {};
}

// What a dictionary says of itself, gathered while it is scrubbed: it decides whether the
// dictionary goes as a whole.
struct DictClaims {
    std::string action;  // the /S name, decoded
    bool actionByReference = false;
    std::string uri;                  // the /URI value text
    std::optional<std::string> file;  // the /F value text
    bool looseScript = false;         // a /JS entry was taken out

    // The kind the dictionary goes as; empty when it stays.
    std::string DropKind() const {
        if (actionByReference) return std::string(kIndirectAction);
        if (IsActiveAction(action)) return action + " action";
        if (action == "URI" && !IsWebOrMailAddress(uri)) return std::string(kLocalUri);
        // Both open another PDF file; any other file would be opened by its own program.
        if ((action == "GoToR" || action == "Thread") && file && !NamesPdfFile(*file))
            return action + " action to a file that is no PDF";
        return {};
    }
};

// When the number token ending at `numberEnd` starts a reference ("12 0 R"), the end of the
// reference; else `numberEnd`. Looks at the few bytes after the number only.
size_t ReferenceEnd(std::string_view text, size_t numberEnd) {
    size_t at = SkipPdfWhiteSpace(text, numberEnd);
    const size_t generation = at;
    at = SkipPdfDigits(text, at);
    if (at == generation || at == numberEnd) return numberEnd;
    at = SkipPdfWhiteSpace(text, at);
    if (at >= text.size() || text[at] != 'R') return numberEnd;
    if (at + 1 < text.size() && IsPdfRegular(text[at + 1])) return numberEnd;
    return at + 1;
}

// One pass over a dictionary text that copies it without the active entries, noting each
// drop by its kind.
class Scrubber {
  public:
    struct Value {
        std::string text;
        std::string dropKind;  // what the value goes as when it goes as a whole; empty otherwise
    };

    // With `dropOwnClaim`, the outermost dictionary loses its /S and /JS entries (however
    // their keys are written) and is not dropped as a whole.
    Scrubber(std::string_view text, std::map<std::string, int>& drops, bool dropOwnClaim = false)
        : m_text(text), m_drops(drops), m_dropOwnClaim(dropOwnClaim) {}

    // The value starting at `at` (white space skipped before), scrubbed; `at` moves past it.
    Value ScrubValue(size_t& at, int depth);
    // White space and comments from `at` on, copied.
    std::string Space(size_t& at) const;
    bool TooDeep() const { return m_tooDeep; }
    // Objects named as the script (/JS n g R) of a dropped action.
    const std::vector<int>& ScriptObjects() const { return m_scriptObjects; }

  private:
    Value ScrubDict(size_t& at, int depth);
    Value ScrubArray(size_t& at, int depth);
    size_t TokenEnd(size_t at) const;
    void PutInPlaceOfDropped(std::string& text, std::string_view replacement, size_t at) const;
    void Note(std::string_view kind) { ++m_drops[std::string(kind)]; }

    std::string_view m_text;
    std::map<std::string, int>& m_drops;
    bool m_dropOwnClaim;
    bool m_tooDeep = false;
    std::vector<int> m_scriptObjects;
};

std::string Scrubber::Space(size_t& at) const {
    const size_t begin = at;
    while (at < m_text.size()) {
        if (IsPdfWhiteSpace(m_text[at])) {
            ++at;
        } else if (m_text[at] == '%') {
            while (at < m_text.size() && m_text[at] != '\n' && m_text[at] != '\r') ++at;
        } else {
            break;
        }
    }
    return std::string(m_text.substr(begin, at - begin));
}

// One past the token that starts at `at`; every token is at least one byte long.
size_t Scrubber::TokenEnd(size_t at) const {
    const char c = m_text[at];
    if (c == '(') return SkipLiteralString(m_text, at);
    if (c == '<') {
        size_t close = m_text.find('>', at + 1);
        return close == std::string_view::npos ? m_text.size() : close + 1;
    }
    size_t end = at + 1;
    if (c == '/' || IsPdfRegular(c)) end = SkipPdfRegular(m_text, end);
    return end;
}

// Appends to `text` what stands in place of a value dropped before the text at `at` (nothing,
// or null), with a space wherever the tokens on either side would otherwise run together into
// one: the filter never joins two tokens into a new one (past the dictionary part comes the
// stream keyword or endobj).
void Scrubber::PutInPlaceOfDropped(std::string& text, std::string_view replacement,
                                   size_t at) const {
    if (!replacement.empty() && !text.empty() && IsPdfRegular(text.back())) text += ' ';
    text += replacement;
    const bool nextRegular = at >= m_text.size() || IsPdfRegular(m_text[at]);
    if (nextRegular && !text.empty() && IsPdfRegular(text.back())) text += ' ';
}

Scrubber::Value Scrubber::ScrubValue(size_t& at, int depth) {
    const bool dict = m_text.substr(at, 2) == "<<";
    if ((dict || m_text[at] == '[') && depth > CPdfActiveContentFilter::kMaxDepth) {
        m_tooDeep = true;
        at = m_text.size();
        return {};
    }
    if (dict) return ScrubDict(at, depth);
    if (m_text[at] == '[') return ScrubArray(at, depth);
    size_t end = TokenEnd(at);
    if (IsPdfDigit(m_text[at])) end = ReferenceEnd(m_text, end);
    Value value{std::string(m_text.substr(at, end - at)), {}};
    at = end;
    return value;
}

Scrubber::Value Scrubber::ScrubDict(size_t& at, int depth) {
    Value dict{"<<", {}};
    DictClaims claims;
    std::optional<int> scriptNumber;
    at += 2;
    while (at < m_text.size()) {
        dict.text += Space(at);
        if (at >= m_text.size()) break;
        if (m_text.substr(at, 2) == ">>") {
            dict.text += ">>";
            at += 2;
            break;
        }
        if (m_text[at] != '/') {
            // Not a key: copied as it is (a damaged dictionary), its own actions dropped.
            Value stray = ScrubValue(at, depth + 1);
            if (stray.dropKind.empty()) {
                dict.text += stray.text;
            } else {
                Note(stray.dropKind);
                PutInPlaceOfDropped(dict.text, "null", at);
            }
            continue;
        }
        const size_t keyEnd = TokenEnd(at);
        const std::string keyText(m_text.substr(at, keyEnd - at));
        const std::string key = DecodePdfName(keyText);
        at = keyEnd;
        std::string gap = Space(at);
        if (at >= m_text.size() || m_text.substr(at, 2) == ">>") {
            dict.text += keyText + gap;
            continue;
        }
        Value value = ScrubValue(at, depth + 1);
        if (m_dropOwnClaim && depth == 0 && (key == "S" || key == "JS")) {
            PutInPlaceOfDropped(dict.text, "", at);
            continue;
        }
        const size_t digits = SkipPdfDigits(value.text, 0);
        const bool isReference =
            digits > 0 && digits < 10 && ReferenceEnd(value.text, digits) == value.text.size();
        if (key == "JS" && isReference) scriptNumber = std::atoi(value.text.c_str());
        // A 3D stream's script goes with it.
        if (key == "OnInstantiate" && isReference)
            m_scriptObjects.push_back(std::atoi(value.text.c_str()));
        if (key == "S" && !value.text.empty() && value.text[0] == '/') {
            claims.action = DecodePdfName(value.text);
        } else if (key == "S" && isReference) {
            claims.actionByReference = true;
        } else if (key == "URI") {
            claims.uri = value.text;
        } else if (key == "F") {
            claims.file = value.text;
        }
        if (std::string_view kind = DroppedKeyKind(key); !kind.empty()) {
            Note(kind);
            PutInPlaceOfDropped(dict.text, "", at);
        } else if (!value.dropKind.empty()) {
            Note(value.dropKind);
            PutInPlaceOfDropped(dict.text, "", at);
        } else if (key == "JS") {
            claims.looseScript = true;
            PutInPlaceOfDropped(dict.text, "", at);
        } else {
            dict.text += keyText + gap + value.text;
        }
    }
    if (!m_dropOwnClaim || depth > 0) dict.dropKind = claims.DropKind();
    if (!dict.dropKind.empty() && scriptNumber) m_scriptObjects.push_back(*scriptNumber);
    // A /JS entry counts as a script of its own only where no action holding it went.
    if (dict.dropKind.empty() && claims.looseScript) Note(kLooseScript);
    return dict;
}

Scrubber::Value Scrubber::ScrubArray(size_t& at, int depth) {
    Value array{"[", {}};
    ++at;
    while (at < m_text.size()) {
        array.text += Space(at);
        if (at >= m_text.size()) break;
        if (m_text[at] == ']') {
            array.text += "]";
            ++at;
            break;
        }
        Value element = ScrubValue(at, depth + 1);
        if (element.dropKind.empty()) {
            array.text += element.text;
        } else {
            Note(element.dropKind);
            PutInPlaceOfDropped(array.text, "null", at);
        }
    }
    return array;
}

// Whether the dictionary part may hold anything the filter drops: an action type, a script,
// a script list, an XFA form, 3D or rich media artwork, or an escaped name that could spell any.
bool MayHoldActiveContent(std::string_view dictionaryPart) {
    if (dictionaryPart.find('#') != std::string_view::npos) return true;
    for (std::string_view word :
         {"/JavaScript", "/JS", "/XFA", "/3D", "/OnInstantiate", "/RichMediaContent"}) {
        if (FindBytes(dictionaryPart, word) != kNotFound) return true;
    }
    // The key /S itself, not the many names that begin so (/Subtype, /Size).
    for (size_t at = FindBytes(dictionaryPart, "/S"); at != kNotFound;
         at = FindBytes(dictionaryPart, "/S", at + 2)) {
        if (at + 2 >= dictionaryPart.size() || !IsPdfRegular(dictionaryPart[at + 2])) return true;
    }
    return false;
}

// The dictionary text `dict` of a page, page-tree node or catalog without its /S and /JS
// entries; nothing when the object is of another type.
std::optional<std::string> WithoutActionEntries(const std::string& dict, std::string_view raw) {
    const std::string type = RawDictType(raw);
    if (type != "Page" && type != "Pages" && type != "Catalog") return std::nullopt;
    std::map<std::string, int> ignored;
    Scrubber scrubber(dict, ignored, true);
    size_t at = 0;
    return scrubber.ScrubValue(at, 0).text;
}

// The object of `header` as null: references to it then name a null object.
std::string NullObjectText(const ObjectHeader& header) {
    return std::to_string(header.number) + " " + std::to_string(header.generation) +
           " obj\nnull\nendobj\n";
}

// `kind` for `count` of it: its first "action" or "object" takes the plural.
std::string CountedKind(std::string kind, int count) {
    if (count < 2) return kind;
    for (size_t at = 0; at < kind.size(); at = kind.find(' ', at) + 1) {
        const size_t end = std::min(kind.find(' ', at), kind.size());
        const std::string_view word = std::string_view(kind).substr(at, end - at);
        if (word == "action" || word == "object") return kind.insert(end, "s");
        if (end == kind.size()) break;
    }
    return kind;
}

}  // namespace

// A damaged object can read otherwise once something is dropped from it (its dictionary no
// longer closing before the stream keyword, so that what was stream data reads as entries): it is
// filtered again until nothing more goes, and goes whole if that does not settle.
std::string CPdfActiveContentFilter::FilterText(int number, std::string raw) {
    constexpr int kMostRounds = 4;
    std::map<std::string, int> drops;
    for (int round = 0; round < kMostRounds; ++round) {
        std::string filtered = FilterOnce(number, raw, drops);
        if (filtered == raw) {
            Count(number, drops);
            return filtered;
        }
        raw = std::move(filtered);
    }
    const std::optional<ObjectHeader> header = ReadObjectHeader(raw);
    ++drops[std::string(kUnsettled)];
    Count(number, drops);
    return header ? NullObjectText(*header) : std::string();
}

void CPdfActiveContentFilter::Count(int number, const std::map<std::string, int>& drops) {
    if (drops.empty() || !m_counted.insert(number).second) return;
    for (const auto& [kind, count] : drops) m_dropped[kind] += count;
}

std::string CPdfActiveContentFilter::FilterOnce(int number, const std::string& raw,
                                                std::map<std::string, int>& total) {
    const std::string_view part = DictionaryPart(raw);
    const bool namedAsScript = m_scriptObjects.count(number) != 0;
    const std::optional<ObjectHeader> header = ReadObjectHeader(raw);
    if (!header) return raw;
    const size_t valueStart = SkipPdfWhiteSpace(part, header->end);
    const bool isName = valueStart < part.size() && part[valueStart] == '/';
    if (!namedAsScript && !isName && !MayHoldActiveContent(part)) return raw;
    const size_t nameEnd = isName ? SkipPdfRegular(part, valueStart + 1) : valueStart;
    if (isName && IsActiveAction(DecodePdfName(part.substr(valueStart, nameEnd - valueStart)))) {
        // A name object spelling an active action's type serves only as the /S of an action
        // typed by reference (counted where that action went).
        return NullObjectText(*header);
    }

    std::map<std::string, int> drops;
    Scrubber scrubber(part, drops);
    size_t at = header->end;
    const std::string lead = scrubber.Space(at);
    if (at >= part.size()) return raw;
    const size_t valueBegin = at;
    Scrubber::Value value = scrubber.ScrubValue(at, 0);
    for (int script : scrubber.ScriptObjects()) m_scriptObjects.insert(script);

    // Only a text (a string or a stream) named as a script goes as one: a dictionary named so
    // by a hostile file (its catalog, a page) stays.
    const bool isText = FindStreamKeyword(raw) != kNotFound || part[valueBegin] == '(' ||
                        (part[valueBegin] == '<' && part.substr(valueBegin, 2) != "<<");
    std::string whole;  // the kind for which the whole object goes
    if (namedAsScript && isText) {
        whole = kScriptText;
    } else if (scrubber.TooDeep()) {
        whole = kTooDeep;
    } else if (RawDictType(raw) == "3D") {
        // A 3D stream's artwork may carry scripts of its own, whatever its dictionary says;
        // it counts once with the entries taken out of it.
        drops.clear();
        whole = kArtwork;
    } else if (!value.dropKind.empty()) {
        // A page, page-tree node or catalog that also claims to be an action loses only the
        // claim: without it the document would lose a page or its root.
        std::optional<std::string> kept = WithoutActionEntries(value.text, raw);
        if (kept) {
            ++drops[value.dropKind];
            value.text = std::move(*kept);
        } else {
            whole = value.dropKind;
        }
    }
    if (!whole.empty()) ++drops[whole];  // references to the object now name a null object
    for (const auto& [kind, count] : drops) total[kind] += count;
    if (!whole.empty()) return NullObjectText(*header);
    if (drops.empty()) return raw;
    return raw.substr(0, header->end) + lead + value.text + raw.substr(at);
}

std::optional<std::string> CPdfActiveContentFilter::Filter(int number,
                                                           std::optional<std::string> raw) {
    if (!raw) return raw;
    return FilterText(number, std::move(*raw));
}

void CPdfActiveContentFilter::Report(CPdfWarnings& warnings) const {
    if (m_dropped.empty()) return;
    std::string text(kActiveContentWarning);
    const char* separator = " ";
    for (const auto& [kind, count] : m_dropped) {
        text += separator + std::to_string(count) + " " + CountedKind(kind, count);
        separator = ", ";
    }
    warnings.Add(text);
}
