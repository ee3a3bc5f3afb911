#include "padwick/Padwick.h"

#include <cstring>

#include "padwick/PadwickState.h"
#include "pdfbinding/PdfLibraryBinding.h"
#include "platform/TempFiles.h"
#include "platform/Text.h"
#include "platform/Utf.h"

PadwickState& ThePadwickState() {
    static PadwickState state;
    return state;
}

namespace {

// The blank document: its first page takes the input's media box, and `count` pages are
// appended, each taking the size of the page before it.
bool MakeBlankDocument(PdfLibraryBinding& pdf, PadwickState& state, int count) {
    const int id = pdf.InstanceId();
    double left = pdf.DPLGetPageBox(id, 1, 0);
    double top = pdf.DPLGetPageBox(id, 1, 1);
    double width = pdf.DPLGetPageBox(id, 1, 2);
    double height = pdf.DPLGetPageBox(id, 1, 3);
    if (pdf.DPLNewDocument(id) == 0) return false;
    state.blankDocument = pdf.DPLSelectedDocument(id);
    state.processingStatus = 2;
    if (pdf.DPLSetPageBox(id, 1, left, top, width, height) == 0) return false;
    for (int i = 0; i < count; ++i) {
        if (pdf.DPLNewPage(id) == 0) return false;
    }
    return true;
}

// Appends `count` blank pages of the first page's size to the selected input document. A few
// are made as pages of a blank document and copied over, which keeps the files of the usual
// paddings as they always were; more are appended as a count that the library writes when it
// saves, so that their memory does not grow with their number.
bool AppendBlankPages(PdfLibraryBinding& pdf, PadwickState& state, int count) {
    const int id = pdf.InstanceId();
    if (count > kPadwickBlankPagesCopied) {
        state.processingStatus = 3;
        return pdf.DPLAppendBlankPages(id, count) != 0;
    }
    if (!MakeBlankDocument(pdf, state, count)) return false;
    state.processingStatus = 3;
    pdf.DPLSelectDocument(id, state.inputDocument);
    // The input stays selected: its pages come first, the blank pages are appended to it.
    std::u16string blankPages = platform::Utf8ToUtf16("1-" + std::to_string(count));
    return pdf.DPLCopyPageRanges(id, state.blankDocument, blankPages.c_str()) != 0;
}

}  // namespace

extern "C" {

int AddBlanks(const char* input, char* output, int count) {
    PadwickState& state = ThePadwickState();
    state.Start();
    if (input == nullptr || output == nullptr) return kPadwickCannotLoadInput;
    if (count > kPadwickMaxBlankPages) return kPadwickCannotAddBlanks;
    PdfLibraryBinding pdf;
    if (!pdf.IsUsable()) return kPadwickLibraryUnusable;
    const int id = pdf.InstanceId();

    state.inputName = platform::Utf8ToUtf16(input);
    if (pdf.DPLLoadFromFile(id, state.inputName.c_str(), u"") == 0) return kPadwickCannotLoadInput;

    state.tempFolder = platform::TempFolder();
    state.timeStamp = static_cast<long>(std::time(nullptr));
    state.fileTitle = std::string(platform::FileNamePart(input));
    if (*output != '\0') {
        state.outputName = output;
    } else {
        state.outputName = GeneratedOutputName(state.tempFolder, input, state.timeStamp);
        if (state.outputName.size() >= kPadwickOutputSize) return kPadwickOutputNameTooLong;
        std::memcpy(output, state.outputName.c_str(), state.outputName.size() + 1);
    }
    state.processingStatus = 1;
    state.wideOutputName = platform::Utf8ToUtf16(state.outputName);

    state.inputDocument = pdf.DPLSelectedDocument(id);
    if (!AppendBlankPages(pdf, state, count)) return kPadwickCannotAddBlanks;
    if (pdf.DPLSaveToFile(id, state.wideOutputName.c_str()) == 0) return kPadwickCannotSave;
    state.processingStatus = 4;
    return kPadwickOk;
}

int GetPageCount(const char* input) {
    PadwickState& state = ThePadwickState();
    state.Start();
    if (input == nullptr) return kPadwickCannotLoadInput;
    PdfLibraryBinding pdf;
    if (!pdf.IsUsable()) return kPadwickLibraryUnusable;
    const int id = pdf.InstanceId();
    state.inputName = platform::Utf8ToUtf16(input);
    if (pdf.DPLLoadFromFile(id, state.inputName.c_str(), u"") == 0) return kPadwickCannotLoadInput;
    state.processingStatus = 1;
    state.inputDocument = pdf.DPLSelectedDocument(id);
    state.processingStatus = 3;
    pdf.DPLSelectDocument(id, state.inputDocument);
    int pages = pdf.DPLPageCount(id);
    state.processingStatus = 4;
    return pages;
}

int GetProcessingStatus() {
    return ThePadwickState().processingStatus;
}

int GetProcessingPage() {
    return ThePadwickState().processingPage;
}
}
