// Rewriting a cell's content stream with the sheet's new resource names (part of SheetMerge).
//
// A stream is rewritten once per set of renames in a run and written under a new number: its
// own number keeps the original, which other sheets and pages may draw with their own names.
// A stream that cannot be decoded cannot take new names. It is drawn instead through a form
// XObject that holds its data as it stands and the cell page's own resources, so that its old
// names reach that page's fonts and images rather than the base page's.
#include "gridane/merge/ContentNames.h"
#include "gridane/merge/ResourceText.h"
#include "gridane/merge/SheetMerge.h"
#include "gridane/merge/StreamRewrite.h"
#include "pdf/CPdfException.h"
#include "pdf/CPdfObject.h"
#include "pdf/CPdfRawEdit.h"
#include "pdf/CPdfStream.h"
#include "pdf/CPdfXRef.h"

namespace gridane {

namespace {

// A key for a set of renames, to find a stream already rewritten with the same names.
std::string RenamesKey(const CategoryRenames& renames) {
    std::string key;
    for (const auto& [letter, names] : renames) {
        for (const auto& [oldName, newName] : names) {
            key += letter;
            key += oldName + '\n' + newName + '\n';
        }
    }
    return key;
}

// The decoded bytes of a stream, or of the streams of an array in order.
std::string DecodedContent(CPdfObject object) {
    if (object.IsStream()) return ReadStreamBytes(object.GetStream());
    std::string data;
    if (object.IsArray()) {
        for (int k = 0; k < object.GetArray().GetLength(); ++k) {
            CPdfObject element = object.GetArray().Get(k);
            if (element.IsStream()) {
                data += ReadStreamBytes(element.GetStream());
                data += '\n';
            }
        }
    }
    return data;
}

std::string StreamObject(int number, std::string_view data) {
    return std::to_string(number) + " 0 obj\n<< /Length " + std::to_string(data.size()) +
           " >>\nstream\n" + std::string(data) + "\nendstream\nendobj\n";
}

// The box of a form drawn in a cell: wide enough never to cut what the page draws.
constexpr std::string_view kFormBox = "[-32767 -32767 32767 32767]";

}  // namespace

std::vector<std::pair<int, int>> SheetMerge::ContentStreamRefs(int pageObjectNumber) {
    CPdfXRef& xref = m_context.InputXRef();
    CPdfObject page = xref.Resolve(pageObjectNumber, m_context.InputGeneration(pageObjectNumber));
    if (!page.IsDict()) return {};
    CPdfObject stored = page.GetDict().LookupDirect("Contents");
    if (!stored.IsRef()) return {};
    CPdfObject value;
    try {
        value = xref.Resolve(stored.GetRefNum(), stored.GetRefGen());
    } catch (const CPdfException&) {
        // A stream whose filter the reader does not know.
    }
    std::vector<std::pair<int, int>> refs;
    if (!value.IsArray()) {
        refs.emplace_back(stored.GetRefNum(), stored.GetRefGen());
        return refs;
    }
    for (int i = 0; i < value.GetArray().GetLength(); ++i) {
        CPdfObject element = value.GetArray().GetNF(i);
        if (element.IsRef()) refs.emplace_back(element.GetRefNum(), element.GetRefGen());
    }
    return refs;
}

std::optional<int> SheetMerge::RenamedCopy(int objectNumber, int generation,
                                           const CategoryRenames& renames) {
    auto key = std::make_pair(objectNumber, RenamesKey(renames));
    if (auto done = m_rewrittenStreams.find(key); done != m_rewrittenStreams.end()) {
        return done->second;
    }
    std::string data;
    try {
        CPdfObject content = m_context.InputXRef().Resolve(objectNumber, generation);
        // Not content at all (a free entry, say): listed as it is, like any dangling reference.
        if (!content.IsStream() && !content.IsArray()) return objectNumber;
        data = DecodedContent(std::move(content));
    } catch (const CPdfException& e) {
        m_undecodable.emplace(objectNumber, e.GetMessage());
        return std::nullopt;
    }
    std::string renamed = RenameContentNames(data, renames);
    std::string raw = m_context.InputRawText(objectNumber);
    std::string text;
    if (FindStreamKeyword(raw) != kNotFound) {
        text = RewriteStreamText(raw, renamed);
    } else {
        // An array of streams becomes one stream.
        text = RewriteStreamText(
            "0 0 obj\n<< /Length 0 /Filter /FlateDecode >>\nstream\n\nendstream\nendobj\n",
            renamed);
    }
    int copy = m_context.WriteNewObject([&text](int n) { return SetObjectHeader(text, n, 0); });
    m_rewrittenStreams.emplace(std::move(key), copy);
    return copy;
}

int SheetMerge::FormOf(int pageObjectNumber, int objectNumber) {
    auto key = std::make_pair(pageObjectNumber, objectNumber);
    if (auto done = m_forms.find(key); done != m_forms.end()) return done->second;
    std::string raw = m_context.InputRawText(objectNumber);
    if (FindStreamKeyword(raw) == kNotFound) return 0;
    std::string resources = EffectiveResourcesText(m_context, pageObjectNumber, &m_resourcesByNode);
    if (resources.empty()) resources = "<< >>";
    std::string entries = "/Type /XObject /Subtype /Form /BBox " + std::string(kFormBox) +
                          " /Resources " + resources + " ";
    std::string text = InsertAfterDictOpen(raw, entries);
    int form = m_context.WriteNewObject([&text](int n) { return SetObjectHeader(text, n, 0); });
    m_forms.emplace(key, form);
    m_context.InputXRef().Warnings().Add("content stream " + std::to_string(objectNumber) +
                                         " of page object " + std::to_string(pageObjectNumber) +
                                         " cannot be decoded (" + m_undecodable[objectNumber] +
                                         "): drawn through a form with its page's own resources");
    return form;
}

void SheetMerge::PrepareCellContents(std::string& xobjectList) {
    m_formNames.clear();
    for (size_t cell = 0; cell < m_cells.size(); ++cell) {
        const int page = m_cells[cell].pageObjectNumber;
        if (page <= 0 || !MayRename(static_cast<int>(cell))) continue;
        const int owner = RenameOwner(static_cast<int>(cell));
        CategoryRenames renames = m_renames.ForPage(owner);
        if (renames.empty()) continue;
        for (auto [number, generation] : ContentStreamRefs(page)) {
            if (RenamedCopy(number, generation, renames)) continue;
            int form = FormOf(page, number);
            if (form == 0) continue;
            std::string name = NewName('X', ListedNames(xobjectList));
            xobjectList += "/" + name + " " + std::to_string(form) + " 0 R ";
            m_formNames[{owner, number}] = name;
        }
    }
}

int SheetMerge::RewriteContentStream(int cell, int objectNumber, int generation) {
    const int owner = RenameOwner(cell);
    if (auto form = m_formNames.find({owner, objectNumber}); form != m_formNames.end()) {
        std::string draw = "/" + form->second + " Do";
        return m_context.WriteNewObject([&draw](int n) { return StreamObject(n, draw); });
    }
    if (m_renames.Empty()) return objectNumber;
    CategoryRenames renames = m_renames.ForPage(owner);
    if (renames.empty()) return objectNumber;
    // Content that cannot be decoded and has no form is drawn as it stands.
    return RenamedCopy(objectNumber, generation, renames).value_or(objectNumber);
}

}  // namespace gridane
