// Rewriting a cell's content stream with the sheet's new resource names (part of SheetMerge).
//
// A stream is rewritten once per set of renames in a run and written under a new number: its
// own number keeps the original, which other sheets and pages may draw with their own names.
#include "gridane/merge/ContentNames.h"
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

}  // namespace

int SheetMerge::RewriteContentStream(int pageObjectNumber, int objectNumber, int generation) {
    if (m_renames.Empty()) return objectNumber;
    CategoryRenames renames = m_renames.ForPage(pageObjectNumber);
    if (renames.empty()) return objectNumber;

    auto key = std::make_pair(objectNumber, RenamesKey(renames));
    if (auto done = m_rewrittenStreams.find(key); done != m_rewrittenStreams.end()) {
        return done->second;
    }
    std::string data;
    try {
        data = DecodedContent(m_context.InputXRef().Resolve(objectNumber, generation));
    } catch (const CPdfException&) {
        // Content that cannot be decoded is drawn as it stands.
        return objectNumber;
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

}  // namespace gridane
