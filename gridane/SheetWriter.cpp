#include "gridane/SheetWriter.h"

#include "gridane/PressStreams.h"
#include "gridane/RawTextEdits.h"
#include "gridane/SheetContents.h"
#include "gridane/SheetGeometry.h"
#include "gridane/SheetMergeSteps.h"
#include "pdf/CPdfException.h"
#include "pdf/CPdfRawText.h"

namespace gridane {
namespace {

const PageRecord& PageRecordOf(const ImpositionJob& job, int page) {
    if (page < 1 || static_cast<size_t>(page) > job.pages.size()) {
        throw CPdfException("Sheet names a page the document does not have\n");
    }
    return job.pages[static_cast<size_t>(page) - 1];
}

// The page's raw text with the attributes it inherited from inner nodes of the input's page
// tree written into it, since the output's tree is flat.
std::string PageTextWithInheritedEntries(ImpositionJob& job, const PageRecord& page) {
    std::optional<std::string> raw = job.activeContent.Filter(
        page.objectNumber, GetRawObjectText(job.document.GetXRef(), page.objectNumber));
    if (!raw || raw->empty()) throw CPdfException("File is broken. Can't read a page object\n");
    if (!page.inheritedEntries.empty())
        *raw = InsertAfterDictOpen(*raw, "\n" + page.inheritedEntries);
    return std::move(*raw);
}

void PointAtNewRoot(const ImpositionJob& job, std::string& text) {
    if (!ReplaceParentReference(text, job.pageTreeRoot, job.pageTreeRootGeneration)) {
        throw CPdfException("File is broken. Can't find /Parent entry\n");
    }
}

// Writes the page under its own number, or under a new one when that number was written
// already (a page kept in front and also paired from page 1, or shown as the base of two
// sheets): rewriting it would lose the earlier page.
WrittenPage WritePageText(ImpositionJob& job, const PageRecord& page, std::string& text) {
    if (!job.output.IsWritten(page.objectNumber)) {
        job.output.BeginObject(page.objectNumber, page.generation);
        job.output.Write(text);
        return {page.objectNumber, page.generation};
    }
    if (!ReadObjectHeader(text)) throw CPdfException("File is broken. Can't read a page object\n");
    int number = job.output.BeginNewObject();
    job.output.Write(SetObjectHeader(text, number, 0));
    return {number, 0};
}

// Each box replaces the entry of that name; the entries the plan marks are inserted where the
// page has none.
void EditSheetBoxes(const PlannedSide& side, std::string& text) {
    for (SheetBoxKey key : kSheetBoxKeys) {
        const SheetBox& box = side.BoxFor(key);
        EditBoxEntry(text, KeyName(key), box.box, box.insertWhenAbsent);
    }
}

// How the page text writes its /Contents: only the entry as written decides, the contents
// themselves are never read here.
ContentsForm FormOfContents(std::string_view pageText) {
    std::string_view dict = DictionaryPart(pageText);
    std::optional<EntrySpan> entry = FindEntry(dict, "/Contents");
    if (!entry) return ContentsForm::Absent;
    std::string_view value = dict.substr(entry->valueBegin, entry->valueEnd - entry->valueBegin);
    if (value == "null") return ContentsForm::Absent;
    // A reference is replaced by the sheet's array even when it names an array object: that
    // object may be shared with other pages, whose sheets must not lose their drawing.
    if (ReferenceAt(dict, entry->valueBegin)) return ContentsForm::Reference;
    if (value.starts_with("[")) return ContentsForm::DirectArray;
    return ContentsForm::Other;
}

}  // namespace

WrittenPage WriteSheet(ImpositionJob& job, const PlannedSide& side) {
    const PageRecord& base = PageRecordOf(job, side.basePage);
    std::string text = PageTextWithInheritedEntries(job, base);
    ContentsForm contentsForm = FormOfContents(text);
    EditSheetBoxes(side, text);

    SheetEdit edit{job, side, base, text, {}, 0, {}, {}, SlugFontReference(job, side), {}};
    MergeSheetResources(edit);
    CarrySheetAnnotations(edit);
    WriteEditedObjects(edit);

    ReplaceRotateEntry(text, side.rotate);
    std::string contents = BuildSheetContents(job, side);
    contents += WritePressStreams(job, side, edit.sheetFontName);
    PutContentsArray(text, contentsForm, contents);
    PointAtNewRoot(job, text);
    return WritePageText(job, base, text);
}

WrittenPage WriteKeptPage(ImpositionJob& job, size_t pageIndex) {
    const PageRecord& page = job.pages.at(pageIndex);
    std::string text = PageTextWithInheritedEntries(job, page);
    PointAtNewRoot(job, text);
    if (FindKey(text, "/MediaBox") == std::string::npos) {
        text = InsertAfterDictOpen(text, "\n" + BoxEntryText("/MediaBox", page.mediaBox));
    }
    return WritePageText(job, page, text);
}

}  // namespace gridane
