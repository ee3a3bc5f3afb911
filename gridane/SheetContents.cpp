#include "gridane/SheetContents.h"

#include "gridane/ContentStreams.h"
#include "gridane/SheetMergeSteps.h"
#include "pdf/CPdfException.h"
#include "pdf/CPdfRawEdit.h"
#include "pdf/CPdfRawText.h"
#include "platform/File.h"

namespace gridane {
namespace {

// A stream the reader cannot decode: its filter is unknown, or it decodes past the limit
// (a chain decodes its first stages while the stream is parsed).
bool IsUndecodable(const CPdfException& e) {
    return e.GetMessage().starts_with(pdfmsg::kFilterNotSupported) ||
           e.GetMessage() == pdfmsg::kDecodeLimit;
}

template <typename Resolve>
CPdfObject NullWhenUndecodable(Resolve resolve) {
    try {
        return resolve();
    } catch (const CPdfException& e) {
        if (!IsUndecodable(e)) throw;
        return CPdfObject::MakeNull();
    }
}

const PageRecord* CellPage(const ImpositionJob& job, int page) {
    if (page < 1 || static_cast<size_t>(page) > job.pages.size()) return nullptr;
    return &job.pages[static_cast<size_t>(page) - 1];
}

// Whether input object `number` is a stream, told from its first bytes (its dictionary
// followed by the stream keyword) without parsing it: a content stream that is only listed
// need not be read. False when the bytes do not show it (an array, a compressed object, a
// long dictionary); the caller then resolves the object.
bool LooksLikeStream(CPdfXRef& xref, int number) {
    const std::vector<CPdfXRefEntry>& entries = xref.GetEntries();
    if (number < 1 || static_cast<size_t>(number) >= entries.size()) return false;
    const CPdfXRefEntry& entry = entries[static_cast<size_t>(number)];
    if (entry.type != CPdfXRefEntry::kInUse) return false;
    char head[256];
    int64_t got = xref.GetFile().ReadAt(xref.GetHeaderStart() + entry.offset, head, sizeof head);
    if (got <= 0) return false;
    std::string_view text(head, static_cast<size_t>(got));
    std::optional<ObjectHeader> header = ReadObjectHeader(text);
    if (!header || header->number != number) return false;
    size_t at = SkipPdfWhiteSpace(text, header->end);
    if (text.compare(at, 2, "<<") != 0) return false;
    size_t keyword = FindStreamKeyword(text);
    if (keyword == kNotFound) return false;
    // Nothing but the dictionary may stand before the keyword: one "<<" ... ">>" without
    // nested dictionaries or strings, as content streams' dictionaries are written.
    std::string_view dict = text.substr(at, keyword - at);
    size_t close = dict.find(">>");
    return dict.find_first_of("()", 0) == std::string_view::npos &&
           dict.find("<<", 2) == std::string_view::npos && close != std::string_view::npos &&
           dict.find_first_not_of(" \t\r\n\f", close + 2) == std::string_view::npos;
}

int WriteStream(ImpositionJob& job, std::string_view content) {
    int number = job.output.BeginNewObject();
    job.output.Write(StreamObjectText(number, content));
    return number;
}

// A 2-to-1 side is written in the 2-up form: its one cell, then a blank cell where the 2-up
// grid's second cell stands (one page and the gap to the right), which keeps its pair of
// small streams as every blank cell does.
PlannedCell TwoToOneBlankCell(const ImpositionJob& job, const PlannedSide& side) {
    PlannedCell blank;
    const PageRecord* base = CellPage(job, side.basePage);
    blank.x = job.settings.rightMargin + (base != nullptr ? base->mediaBox.x2 : 0);
    return blank;
}

// The stream of the side's marks: the one written for the sides before when they carry the
// same marks around the same trims (as every sheet of a document of one page size does),
// else a new one.
int MarksStreamOf(ImpositionJob& job, const PlannedSide& side) {
    ImpositionJob::MarksStream& last = job.lastMarks;
    if (last.number == 0 || last.marks != side.marks || last.trims != side.trims ||
        last.frames != side.frames || last.sheet != side.mediaBox.box) {
        last = {side.marks, side.trims, side.frames, side.mediaBox.box,
                WriteStream(job, SheetMarksContent(side))};
    }
    return last.number;
}

}  // namespace

CPdfObject LookupContents(CPdfDict& page) {
    return NullWhenUndecodable([&] { return page.Lookup("Contents"); });
}

// The page's /Contents when it is one reference to a stream, told from the page's text
// without parsing the page or reading the stream.
std::optional<RefToken> SingleContentStream(CPdfXRef& xref, const PageRecord& page) {
    std::optional<std::string> raw = GetRawObjectText(xref, page.objectNumber);
    if (!raw) return std::nullopt;
    std::string_view dict = DictionaryPart(*raw);
    std::optional<EntrySpan> entry = FindEntry(dict, "/Contents");
    if (!entry) return std::nullopt;
    std::optional<RefToken> reference = ReferenceAt(dict, entry->valueBegin);
    if (!reference || !LooksLikeStream(xref, reference->number)) return std::nullopt;
    return reference;
}

std::string ListPageContents(ImpositionJob& job, const PageRecord& page, int cell, bool mayRename) {
    CPdfXRef& xref = job.document.GetXRef();
    bool rewrite = mayRename && SheetHasRenames(job);
    // A single content stream that is not rewritten is listed by its reference unread.
    if (!rewrite) {
        if (std::optional<RefToken> stream = SingleContentStream(xref, page))
            return ContentReferenceText(stream->number, stream->generation);
    }
    CPdfObject object = xref.Resolve(page.objectNumber, page.generation);
    if (!object.IsDict()) return {};
    CPdfDict& dict = object.GetDict();
    CPdfObject stored = dict.LookupDirect("Contents");
    CPdfObject resolved = LookupContents(dict);

    std::string list;
    auto add = [&](const CPdfObject& reference, const CPdfObject& value) {
        int number = reference.GetRefNum();
        int generation = reference.GetRefGen();
        // Null stands for a stream that cannot be decoded, too: it may be drawn through a form.
        if (rewrite && !value.IsError()) {
            int listed = RewriteContentStream(job, cell, number, generation);
            if (listed != number) generation = 0;
            number = listed;
        }
        list += ContentReferenceText(number, generation);
    };
    if (resolved.IsArray()) {
        CPdfArray& array = resolved.GetArray();
        for (int i = 0; i < array.GetLength(); ++i) {
            CPdfObject element = array.GetNF(i);
            if (!element.IsRef()) continue;
            add(element, NullWhenUndecodable([&] { return array.Get(i); }));
        }
    } else if (stored.IsRef() && (resolved.IsNull() || resolved.IsStream() || resolved.IsError())) {
        add(stored, resolved);
    }
    return list;
}

std::string BuildSheetContents(ImpositionJob& job, const PlannedSide& side) {
    std::vector<CellDrawing> drawings(side.cells.size());
    for (size_t k = 0; k < side.cells.size(); ++k) {
        if (const PageRecord* page = CellPage(job, side.cells[k].page)) {
            bool mayRename = MayRenameCell(side, static_cast<int>(k));
            drawings[k].contentsList = ListPageContents(job, *page, static_cast<int>(k), mayRename);
        }
    }
    std::vector<PlannedCell> cells = side.cells;
    if (job.plan.group == LayoutGroup::TwoToOne) cells.push_back(TwoToOneBlankCell(job, side));
    drawings.resize(cells.size());
    for (size_t k = 0; k < cells.size(); ++k) {
        drawings[k].openStream = WriteStream(job, CellOpenContent(cells[k]));
        drawings[k].closeStream = WriteStream(job, kCellCloseContent);
    }
    std::string array = SheetContentsArrayText(drawings);
    if (!side.marks.empty() || !side.frames.empty())
        array += std::to_string(MarksStreamOf(job, side)) + " 0 R ";
    return array;
}

}  // namespace gridane
