#include "pdfbinding/ReorderSplitPages.h"

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

int ReorderSplitPages(const std::string& fileName) {
    PdfLibraryBinding binding;
    return ReorderSplitPages(binding, fileName);
}

int ReorderSplitPages(PdfLibraryBinding& pdf, const std::string& fileName) {
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
    int saved = pdf.DPLSaveToFile(id, wideFile.c_str());
    pdf.DPLRemoveDocument(id, reordered);
    pdf.DPLRemoveDocument(id, loaded);
    return saved == 0 ? kReorderCannotSave : kReorderDone;
}
