#include "pdfbinding/ReorderSplitPages.h"

#include <cstdio>
#include <string>

#include "pdfbinding/PdfLibraryBinding.h"
#include "platform/Utf.h"

namespace {

void AppendPage(PdfLibraryBinding& pdf, int target, int source, int page) {
    pdf.DPLSelectDocument(pdf.InstanceId(), target);
    std::u16string range = platform::Utf8ToUtf16(std::to_string(page));
    pdf.DPLCopyPageRanges(pdf.InstanceId(), source, range.c_str());
}

}  // namespace

int ReorderSplitPages(const std::string& fileName, const std::string& scratchName) {
    PdfLibraryBinding binding;
    return ReorderSplitPages(binding, fileName, scratchName);
}

int ReorderSplitPages(PdfLibraryBinding& pdf, const std::string& fileName,
                      const std::string& scratchName) {
    if (!pdf.IsUsable()) return kReorderLibraryUnusable;
    const int id = pdf.InstanceId();
    std::u16string wideFile = platform::Utf8ToUtf16(fileName);
    if (pdf.DPLLoadFromFile(id, wideFile.c_str(), u"") == 0) return kReorderCannotLoad;

    int loaded = pdf.DPLSelectedDocument(id);
    pdf.DPLNewDocument(id);  // starts with one page, deleted at the end
    int reordered = pdf.DPLSelectedDocument(id);
    pdf.DPLSelectDocument(id, loaded);
    int pageCount = pdf.DPLPageCount(id);
    if (pageCount % 4 != 0) {
        pdf.DPLRemoveDocument(id, reordered);
        pdf.DPLRemoveDocument(id, loaded);
        return kReorderNotWholeSheets;
    }

    for (int page = 1, k = 0; page <= pageCount; ++page, k = (k + 1) % 4) {
        if (k == 1 || k == 2) AppendPage(pdf, reordered, loaded, page);
    }
    for (int page = pageCount, k = 0; page >= 1; --page, k = (k + 1) % 4) {
        if (k == 0 || k == 3) AppendPage(pdf, reordered, loaded, page);
    }

    pdf.DPLSelectDocument(id, reordered);
    pdf.DPLDeletePages(id, 1, 1);
    std::u16string wideScratch = platform::Utf8ToUtf16(scratchName);
    int saved = pdf.DPLSaveToFile(id, wideScratch.c_str());
    pdf.DPLRemoveDocument(id, reordered);
    pdf.DPLRemoveDocument(id, loaded);
    // Only a saved reordering replaces the file; without it the file stays as it was.
    if (saved == 0) return kReorderCannotSave;
    if (std::rename(scratchName.c_str(), fileName.c_str()) != 0) {
        std::remove(scratchName.c_str());
        return kReorderCannotSave;
    }
    return kReorderDone;
}
