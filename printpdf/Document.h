// One PDF document of a library instance: a qpdf document with a selected page.
//
// The instance owns each `Document`; a document loaded from a file reads from that file
// lazily for as long as it lives. Pages are numbered from 1 in the calls below. Every member
// may throw qpdf's exceptions on damaged input; the entry points catch them.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include <qpdf/QPDF.hh>
#include <qpdf/QPDFPageObjectHelper.hh>

#include "printpdf/EmbeddedImage.h"
#include "printpdf/ImagePlacement.h"

namespace platform {
class ReplaceFile;
}

namespace printpdf {

class Document {
  public:
    // Throws when the file cannot be opened, the password is wrong or the page tree cannot
    // be read.
    static std::unique_ptr<Document> Load(const std::string& path, const std::string& password);
    // A document with one empty page of 612 x 792 points.
    static std::unique_ptr<Document> New();

    int PageCount();
    int SelectedPage() const { return m_selectedPage; }

    // Appends copies of the source's pages `pageNumbers` (already checked against its count).
    void CopyPages(Document& source, const std::vector<int>& pageNumbers);
    bool DeletePages(int firstPage, int count);
    // Appends an empty page with the selected page's media box; returns its number.
    int NewPage();
    // Appends `count` empty pages with the selected page's media box, without selecting them.
    // They are held as a count until the document is saved, where they are written after the
    // document's own objects: their memory does not grow with their number. Any other page
    // operation first makes them pages like NewPage's.
    void AppendBlankPages(int count);

    // Replaces `path` with the document, written whole through a `platform::ReplaceFile`.
    bool Save(const std::string& path);

    // Boxes of the selected page: type 1 media .. 5 art.
    std::optional<PdfRect> GetBox(int boxType);
    bool SetBox(int boxType, const PdfRect& box);
    bool SetDimensions(double width, double height);

    // Draws `image` on the selected page with `matrix`; `imageId` lets every page that shows
    // the same image share one image object.
    bool DrawImage(int imageId, const EmbeddedImage& image, const ImageMatrix& matrix);

  private:
    Document() = default;
    std::optional<QPDFPageObjectHelper> Selected();
    PdfRect SelectedMediaBox();
    void MakeAppendedBlankPages();
    bool WriteWithAppendedBlankPages(platform::ReplaceFile& file);
    QPDFObjectHandle ImageObject(int imageId, const EmbeddedImage& image);
    QPDFObjectHandle BlankPage(const PdfRect& mediaBox);

    std::unique_ptr<QPDF> m_pdf;
    int m_selectedPage = 0;
    std::map<int, QPDFObjectHandle> m_imageObjectById;
    QPDFObjectHandle m_emptyContents;   // shared by the blank pages, made with the first
    QPDFObjectHandle m_emptyResources;  // (indirect: one object in the file)
    int m_appendedBlankPages = 0;       // AppendBlankPages' pages not yet written
    PdfRect m_appendedBlankBox{};
};

}  // namespace printpdf
