#include "gridane/SheetContents.h"

#include "gridane/ContentStreams.h"
#include "gridane/SheetMergeSteps.h"
#include "pdf/CPdfException.h"

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

}  // namespace

CPdfObject LookupContents(CPdfDict& page) {
    return NullWhenUndecodable([&] { return page.Lookup("Contents"); });
}

std::string ListPageContents(ImpositionJob& job, const PageRecord& page, bool mayRename) {
    CPdfXRef& xref = job.document.GetXRef();
    CPdfObject object = xref.Resolve(page.objectNumber, page.generation);
    if (!object.IsDict()) return {};
    CPdfDict& dict = object.GetDict();
    CPdfObject resolved = LookupContents(dict);
    CPdfObject stored = dict.LookupDirect("Contents");
    bool rewrite = mayRename && SheetHasRenames(job);

    std::string list;
    auto add = [&](const CPdfObject& reference, const CPdfObject& value) {
        int number = reference.GetRefNum();
        int generation = reference.GetRefGen();
        // Null stands for a stream that cannot be decoded, too: it may be drawn through a form.
        if (rewrite && !value.IsError()) {
            int listed = RewriteContentStream(job, page, number, generation);
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
            drawings[k].contentsList = ListPageContents(job, *page, mayRename);
        }
    }
    std::vector<PlannedCell> cells = side.cells;
    if (job.plan.group == LayoutGroup::TwoToOne) cells.push_back(TwoToOneBlankCell(job, side));
    drawings.resize(cells.size());
    for (size_t k = 0; k < cells.size(); ++k) {
        drawings[k].openStream = WriteStream(job, CellOpenContent(cells[k]));
        drawings[k].closeStream = WriteStream(job, kCellCloseContent);
    }
    return SheetContentsArrayText(drawings);
}

}  // namespace gridane
