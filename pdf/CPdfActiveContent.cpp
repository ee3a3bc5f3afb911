#include "pdf/CPdfActiveContent.h"

#include <array>
#include <cstdlib>
#include <vector>

#include "pdf/CPdfRawEdit.h"

namespace {

// Actions that run a script, start a program, read a file or send data without the reader
// seeing where (also from a trigger, with no click at all).
constexpr std::array<std::string_view, 6> kActiveActions{
    "JavaScript", "Launch", "ImportData", "SubmitForm", "Rendition", "RichMediaExecute"};

constexpr std::string_view kScriptList = "document script list (/Names /JavaScript)";
constexpr std::string_view kScriptText = "script text object";
constexpr std::string_view kTooDeep = "object nested too deeply to be checked";

bool IsActiveAction(std::string_view name) {
    for (std::string_view active : kActiveActions) {
        if (name == active) return true;
    }
    return false;
}

// A name token's bytes after its slash with #xx escapes decoded.
std::string DecodeName(std::string_view token) {
    std::string name;
    for (size_t i = 0; i < token.size(); ++i) {
        int high = i + 2 < token.size() && token[i] == '#' ? PdfHexDigitValue(token[i + 1]) : -1;
        int low = high >= 0 ? PdfHexDigitValue(token[i + 2]) : -1;
        if (low >= 0) {
            name += static_cast<char>(high * 16 + low);
            i += 2;
        } else {
            name += token[i];
        }
    }
    return name;
}

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
        std::string activeKind;  // the /S of an active action dictionary; empty otherwise
    };

    // With `dropOwnClaim`, the outermost dictionary loses its /S and /JS entries (however
    // their keys are written).
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
    if (m_text.substr(at, 2) == "<<") return ScrubDict(at, depth);
    if (m_text[at] == '[') return ScrubArray(at, depth);
    size_t end = TokenEnd(at);
    if (IsPdfDigit(m_text[at])) end = ReferenceEnd(m_text, end);
    Value value{std::string(m_text.substr(at, end - at)), {}};
    at = end;
    return value;
}

Scrubber::Value Scrubber::ScrubDict(size_t& at, int depth) {
    if (depth > CPdfActiveContentFilter::kMaxDepth) {
        m_tooDeep = true;
        at = m_text.size();
        return {};
    }
    Value dict{"<<", {}};
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
            if (stray.activeKind.empty()) {
                dict.text += stray.text;
            } else {
                PutInPlaceOfDropped(dict.text, "null", at);
            }
            continue;
        }
        const size_t keyEnd = TokenEnd(at);
        const std::string keyText(m_text.substr(at, keyEnd - at));
        const std::string key = DecodeName(std::string_view(keyText).substr(1));
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
        if (key == "JS" && digits > 0 && digits < 10 &&
            ReferenceEnd(value.text, digits) == value.text.size()) {
            scriptNumber = std::atoi(value.text.c_str());
        }
        if (key == "S" && !value.text.empty() && value.text[0] == '/') {
            std::string type = DecodeName(std::string_view(value.text).substr(1));
            if (IsActiveAction(type)) dict.activeKind = type;
        }
        if (key == "JavaScript") {
            Note(kScriptList);
            PutInPlaceOfDropped(dict.text, "", at);
        } else if (!value.activeKind.empty()) {
            Note(value.activeKind + " action");
            PutInPlaceOfDropped(dict.text, "", at);
        } else {
            dict.text += keyText + gap + value.text;
        }
    }
    if (!dict.activeKind.empty() && scriptNumber) m_scriptObjects.push_back(*scriptNumber);
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
        if (element.activeKind.empty()) {
            array.text += element.text;
        } else {
            Note(element.activeKind + " action");
            PutInPlaceOfDropped(array.text, "null", at);
        }
    }
    return array;
}

// Whether the dictionary part may hold anything the filter drops: an action type, a script
// list, or an escaped name that could spell either.
bool MayHoldActiveContent(std::string_view dictionaryPart) {
    if (dictionaryPart.find('#') != std::string_view::npos) return true;
    if (FindBytes(dictionaryPart, "/JavaScript") != kNotFound) return true;
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

}  // namespace

std::string CPdfActiveContentFilter::FilterText(int number, std::string raw) {
    const std::string_view part = DictionaryPart(raw);
    const bool namedAsScript = m_scriptObjects.count(number) != 0;
    if (!namedAsScript && !MayHoldActiveContent(part)) return raw;
    const std::optional<ObjectHeader> header = ReadObjectHeader(raw);
    if (!header) return raw;

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
    } else if (!value.activeKind.empty()) {
        // A page, page-tree node or catalog that also claims to be an action loses only the
        // claim: without it the document would lose a page or its root.
        std::optional<std::string> kept = WithoutActionEntries(value.text, raw);
        if (kept) {
            ++drops[value.activeKind + " action"];
            value.text = std::move(*kept);
        } else {
            whole = value.activeKind + " action";
        }
    }
    std::string result;
    if (!whole.empty()) {
        // References to the object now name a null object.
        ++drops[whole];
        result = std::to_string(header->number) + " " + std::to_string(header->generation) +
                 " obj\nnull\nendobj\n";
    } else if (!drops.empty()) {
        result = raw.substr(0, header->end) + lead + value.text + raw.substr(at);
    } else {
        return raw;
    }
    if (m_counted.insert(number).second) {
        for (const auto& [kind, count] : drops) m_dropped[kind] += count;
    }
    return result;
}

std::optional<std::string> CPdfActiveContentFilter::Filter(int number,
                                                           std::optional<std::string> raw) {
    if (!raw) return raw;
    return FilterText(number, std::move(*raw));
}

void CPdfActiveContentFilter::Report(CPdfWarnings& warnings) const {
    if (m_dropped.empty()) return;
    std::string text = "active content removed from the output:";
    const char* separator = " ";
    for (const auto& [kind, count] : m_dropped) {
        text += separator + std::to_string(count) + " " + kind;
        if (count > 1 && kind.size() > 6 && kind.compare(kind.size() - 6, 6, "action") == 0) {
            text += "s";
        }
        separator = ", ";
    }
    warnings.Add(text);
}
