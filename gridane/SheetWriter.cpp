#include "gridane/SheetWriter.h"

#include "gridane/RawTextEdits.h"
#include "gridane/SheetContents.h"
#include "gridane/SheetMergeSteps.h"
#include "pdf/CPdfException.h"
#include "pdf/CPdfRawText.h"

namespace gridane {
namespace {

const PageRecord& PageOfCell(const ImpositionJob& job, const SheetRecord& sheet, int cell) {
    int32_t page = sheet.Cell(cell);
    if (page < 1 || static_cast<size_t>(page) > job.pages.size()) {
        throw CPdfException("Sheet names a page the document does not have\n");
    }
    return job.pages[static_cast<size_t>(page) - 1];
}

// The page's raw text with the attributes it inherited from inner nodes of the input's page
// tree written into it, since the output's tree is flat.
std::string PageTextWithInheritedEntries(ImpositionJob& job, const PageRecord& page) {
    std::optional<std::string> raw = GetRawObjectText(job.document.GetXRef(), page.objectNumber);
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

// The box edits with one pair of job boxes.
void EditSheetBoxes(ImpositionJob& job, const PageRecord& base, int rotation, const Box& jobCrop,
                    const Box& jobMedia, std::string& text) {
    for (SheetBoxKey key : kSheetBoxKeys) {
        Box box = ComputeSheetBox(key, base.BoxFor(key), jobCrop, jobMedia, job.settings, rotation,
                                  job.twoToOneFirstHalf, job.cropLimits);
        // A box the job gives is written even where the page has none of that name; a
        // computed one only where the page has it (the media box always).
        bool given = (key == SheetBoxKey::MediaBox ? jobMedia : jobCrop).IsGiven();
        EditBoxEntry(text, KeyName(key), box, key == SheetBoxKey::MediaBox || given);
    }
}

void EditAllSheetBoxes(ImpositionJob& job, const PageRecord& base, int rotation,
                       std::string& text) {
    if (SelectLayoutGroup(job.settings) == LayoutGroup::TwoToOne) job.cropLimits = CropLimits{};
    EditSheetBoxes(job, base, rotation, job.settings.cropBox, job.settings.mediaBox, text);
    // Every second sheet side takes the second pair of boxes, when the second crop box is set.
    if (job.settings.cropBox2.AllGiven()) {
        bool secondSide = job.secondBoxFlag;
        job.secondBoxFlag = !job.secondBoxFlag;
        if (secondSide) {
            EditSheetBoxes(job, base, rotation, job.settings.cropBox2, job.settings.mediaBox2,
                           text);
        }
    }
}

ContentsForm FormOfContents(CPdfDict& page) {
    CPdfObject stored = page.LookupDirect("Contents");
    CPdfObject resolved = LookupContents(page);
    bool storedAbsent = stored.IsNone() || stored.IsNull();
    if (storedAbsent && (resolved.IsNone() || resolved.IsNull())) return ContentsForm::Absent;
    // A reference is replaced by the sheet's array even when it names an array object: that
    // object may be shared with other pages, whose sheets must not lose their drawing.
    if (stored.IsRef()) return ContentsForm::Reference;
    if (stored.IsArray()) return ContentsForm::DirectArray;
    return ContentsForm::Other;
}

}  // namespace

WrittenPage WriteSheet(ImpositionJob& job, const SheetRecord& sheet) {
    int baseCell = BaseCell(sheet);
    const PageRecord& base = PageOfCell(job, sheet, baseCell);
    std::string text = PageTextWithInheritedEntries(job, base);
    CPdfObject baseObject = job.document.GetXRef().Resolve(base.objectNumber, base.generation);
    if (!baseObject.IsDict()) throw CPdfException("File is broken. Can't read a page object\n");
    int rotation = NormaliseRotation(base.rotation);

    EditAllSheetBoxes(job, base, rotation, text);
    ContentsForm contentsForm = FormOfContents(baseObject.GetDict());

    SheetEdit edit{job, sheet, baseCell, base, text, {}, 0, {}, {}};
    MergeSheetResources(edit);
    CarrySheetAnnotations(edit);
    WriteEditedObjects(edit);

    ReplaceRotateEntry(text, SheetRotation(rotation));
    PutContentsArray(text, contentsForm, BuildSheetContents(job, sheet, rotation));
    PointAtNewRoot(job, text);
    WrittenPage written = WritePageText(job, base, text);
    job.twoToOneFirstHalf = !job.twoToOneFirstHalf;
    return written;
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
