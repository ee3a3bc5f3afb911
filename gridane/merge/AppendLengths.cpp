// Writing the lengths of the first document's streams into their dictionaries (part of
// AppendJob). Many producers write every stream's /Length as an object of its own; written in,
// the length needs no object and no table entry of its own in the output. A length object
// that any other written object refers to is still written, at the end.
#include <vector>

#include "gridane/merge/AppendJob.h"
#include "pdf/CPdfRawEdit.h"
#include "pdf/CPdfRawTokens.h"

namespace gridane {

namespace {

// The number a length object holds ("6 0 obj 452 endobj"), empty when it holds anything else.
std::string LengthValue(std::string_view raw) {
    auto header = ReadObjectHeader(raw);
    if (!header) return std::string();
    std::string_view body = raw.substr(header->end);
    PdfTokenReader reader(body);
    std::optional<PdfToken> number = reader.Next();
    std::optional<PdfToken> end = number ? reader.Next() : std::nullopt;
    if (!end || !IsDigitWord(body, *number)) return std::string();
    if (body.substr(end->begin, end->end - end->begin) != "endobj") return std::string();
    return std::string(body.substr(number->begin, number->end - number->begin));
}

}  // namespace

std::string AppendJob::InlineLength(int i, const std::string& raw) {
    std::string_view dict = DictionaryPart(raw);
    if (dict.size() == raw.size()) return raw;  // no stream
    auto ref = FindReferenceValue(dict, "/Length");
    // Only a length object still ahead is held back; one already written stays as it is.
    if (!ref || ref->number <= i || !m_first.InUse(ref->number)) return raw;
    auto held = m_heldLengths.find(ref->number);
    std::string lengthText =
        held != m_heldLengths.end() ? held->second : m_first.RawText(ref->number);
    std::string value = LengthValue(lengthText);
    if (value.empty()) return raw;
    m_heldLengths.emplace(ref->number, std::move(lengthText));
    return ReplaceEntryValue(dict, "/Length", value) + raw.substr(dict.size());
}

void AppendJob::NoteReferences(std::string_view text) {
    for (const RefToken& ref : FindReferences(text)) {
        if (ref.number >= 1 && ref.number < m_first.Size()) {
            m_referenced[static_cast<size_t>(ref.number)] = true;
        }
    }
}

void AppendJob::WriteNeededLengths() {
    for (const auto& [number, text] : m_heldLengths) {
        if (m_referenced[static_cast<size_t>(number)]) {
            WriteObject(number, text, m_first.Generation(number));
        }
    }
}

}  // namespace gridane
