#include "printpdf/Document.h"

#include <cmath>

#include <qpdf/Pipeline.hh>
#include <qpdf/QPDFPageDocumentHelper.hh>
#include <qpdf/QPDFWriter.hh>

#include "platform/ReplaceFile.h"
#include "printpdf/BlankPageUpdate.h"
#include "printpdf/PdfNumber.h"

namespace printpdf {

namespace {

constexpr const char* kBoxKeys[] = {"/MediaBox", "/CropBox", "/BleedBox", "/TrimBox", "/ArtBox"};

bool ValidBoxType(int boxType) {
    return boxType >= 1 && boxType <= 5;
}

// PDF viewers handle pages up to a few hundred inches; sizes past any real page, infinite
// or not-a-number ones are refused.
constexpr double kMaxMeasure = 1e6;

bool UsableMeasure(double value) {
    return std::isfinite(value) && std::abs(value) <= kMaxMeasure;
}

// The writer's bytes into a file being replaced; a failed write shows at the commit.
class ReplaceFilePipeline : public Pipeline {
  public:
    explicit ReplaceFilePipeline(platform::ReplaceFile& file)
        : Pipeline("saved document", nullptr), m_file(file) {}
    void write(unsigned char const* data, size_t length) override { m_file.Write(data, length); }
    void finish() override {}

  private:
    platform::ReplaceFile& m_file;
};

// The same, keeping the last bytes written, which end with the trailer.
class TrailerKeepingPipeline : public ReplaceFilePipeline {
  public:
    using ReplaceFilePipeline::ReplaceFilePipeline;
    void write(unsigned char const* data, size_t length) override {
        ReplaceFilePipeline::write(data, length);
        m_last.append(reinterpret_cast<const char*>(data), length);
        if (m_last.size() > 2 * kKeptBytes) m_last.erase(0, m_last.size() - kKeptBytes);
    }
    std::string_view LastBytes() const { return m_last; }

  private:
    static constexpr size_t kKeptBytes = 4096;
    std::string m_last;
};

// qpdf's writer of `pdf` into `pipeline`, set up as every save sets it.
std::unique_ptr<QPDFWriter> NewWriter(QPDF& pdf, Pipeline& pipeline) {
    auto writer = std::make_unique<QPDFWriter>(pdf);
    writer->setOutputPipeline(&pipeline);
    writer->setMinimumPDFVersion("1.5");
    return writer;
}

PdfRect FromRectangle(const QPDFObjectHandle::Rectangle& box) {
    return {std::min(box.llx, box.urx), std::min(box.lly, box.ury), std::abs(box.urx - box.llx),
            std::abs(box.ury - box.lly)};
}

QPDFObjectHandle RectangleObject(const PdfRect& box) {
    return QPDFObjectHandle::newFromRectangle(
        QPDFObjectHandle::Rectangle(box.x, box.y, box.x + box.width, box.y + box.height));
}

constexpr PdfRect kLetter{0, 0, 612, 792};

QPDFObjectHandle ParseOrNull(const std::string& text) {
    return text.empty() ? QPDFObjectHandle::newNull() : QPDFObjectHandle::parse(text);
}

}  // namespace

std::unique_ptr<Document> Document::Load(const std::string& path, const std::string& password) {
    std::unique_ptr<Document> document(new Document());
    document->m_pdf = std::make_unique<QPDF>();
    document->m_pdf->setSuppressWarnings(true);
    // Pages copied out of this document take their data with them at once, so the copies do
    // not depend on this file staying as it is.
    document->m_pdf->setImmediateCopyFrom(true);
    document->m_pdf->processFile(path.c_str(), password.c_str());
    QPDFPageDocumentHelper pages(*document->m_pdf);
    pages.pushInheritedAttributesToPage();
    document->m_selectedPage = pages.getAllPages().empty() ? 0 : 1;
    return document;
}

// Every blank page of a document shares one empty content stream and one empty resource
// dictionary, so that thousands of padding pages cost a small page dictionary each. Drawing on
// a page gives it its own resources and appends its own stream (DrawImage).
QPDFObjectHandle Document::BlankPage(const PdfRect& mediaBox) {
    if (!m_emptyContents.isInitialized()) {
        // Ghostscript's PDF reader fails on a content stream of length 0: give it an empty
        // save/restore pair instead.
        m_emptyContents = QPDFObjectHandle::newStream(m_pdf.get(), "q Q\n");
        m_emptyResources = m_pdf->makeIndirectObject(QPDFObjectHandle::newDictionary());
    }
    QPDFObjectHandle page = QPDFObjectHandle::newDictionary();
    page.replaceKey("/Type", QPDFObjectHandle::newName("/Page"));
    page.replaceKey("/MediaBox", RectangleObject(mediaBox));
    page.replaceKey("/Resources", m_emptyResources);
    page.replaceKey("/Contents", m_emptyContents);
    return m_pdf->makeIndirectObject(page);
}

std::unique_ptr<Document> Document::New() {
    std::unique_ptr<Document> document(new Document());
    document->m_pdf = std::make_unique<QPDF>();
    document->m_pdf->emptyPDF();
    QPDFPageDocumentHelper(*document->m_pdf)
        .addPage(QPDFPageObjectHelper(document->BlankPage(kLetter)), false);
    document->m_selectedPage = 1;
    return document;
}

int Document::PageCount() {
    return static_cast<int>(m_pdf->getAllPages().size()) + m_appendedBlankPages;
}

std::optional<QPDFPageObjectHelper> Document::Selected() {
    // The document's own page list, not a copy: pages are added one at a time, each asking
    // for the selected one.
    const std::vector<QPDFObjectHandle>& pages = m_pdf->getAllPages();
    if (m_selectedPage < 1 || m_selectedPage > static_cast<int>(pages.size())) return std::nullopt;
    return QPDFPageObjectHelper(pages[m_selectedPage - 1]);
}

void Document::CopyPages(Document& source, const std::vector<int>& pageNumbers) {
    MakeAppendedBlankPages();
    source.MakeAppendedBlankPages();
    std::vector<QPDFPageObjectHelper> sourcePages =
        QPDFPageDocumentHelper(*source.m_pdf).getAllPages();
    QPDFPageDocumentHelper target(*m_pdf);
    for (int number : pageNumbers) target.addPage(sourcePages.at(number - 1), false);
}

bool Document::DeletePages(int firstPage, int count) {
    MakeAppendedBlankPages();
    QPDFPageDocumentHelper helper(*m_pdf);
    std::vector<QPDFPageObjectHelper> pages = helper.getAllPages();
    int total = static_cast<int>(pages.size());
    if (firstPage < 1 || count < 1 || count > total - firstPage + 1 || count == total) return false;
    for (int i = 0; i < count; ++i) helper.removePage(pages[firstPage - 1 + i]);
    m_selectedPage = 1;
    return true;
}

PdfRect Document::SelectedMediaBox() {
    std::optional<QPDFPageObjectHelper> selected = Selected();
    PdfRect mediaBox =
        selected ? FromRectangle(selected->getMediaBox().getArrayAsRectangle()) : kLetter;
    return mediaBox.width > 0 && mediaBox.height > 0 ? mediaBox : kLetter;
}

int Document::NewPage() {
    MakeAppendedBlankPages();
    PdfRect mediaBox = SelectedMediaBox();
    QPDFPageDocumentHelper(*m_pdf).addPage(QPDFPageObjectHelper(BlankPage(mediaBox)), false);
    m_selectedPage = PageCount();
    return m_selectedPage;
}

void Document::AppendBlankPages(int count) {
    MakeAppendedBlankPages();
    m_appendedBlankBox = SelectedMediaBox();
    m_appendedBlankPages = count;
}

void Document::MakeAppendedBlankPages() {
    QPDFPageDocumentHelper helper(*m_pdf);
    for (; m_appendedBlankPages > 0; --m_appendedBlankPages) {
        helper.addPage(QPDFPageObjectHelper(BlankPage(m_appendedBlankBox)), false);
    }
}

// The document with empty page-tree nodes for the appended blank pages in its root, written by
// qpdf with a classic table; then the update that gives the nodes their pages. The document is
// left as it was.
bool Document::WriteWithAppendedBlankPages(platform::ReplaceFile& file) {
    QPDFObjectHandle root = m_pdf->getRoot().getKey("/Pages");
    QPDFObjectHandle kids = root.getKey("/Kids");
    if (!root.isIndirect() || !kids.isArray()) return false;
    const int count = m_appendedBlankPages;
    const int total = PageCount();
    QPDFObjectHandle oldCount = root.getKey("/Count");
    std::vector<QPDFObjectHandle> nodes;
    for (int made = 0; made < count; made += kBlankPagesPerNode) {
        nodes.push_back(m_pdf->makeIndirectObject(
            QPDFObjectHandle::parse("<< /Type /Pages /Kids [] /Count 0 >>")));
        nodes.back().replaceKey("/Parent", root);
        kids.appendItem(nodes.back());
    }
    root.replaceKey("/Count", QPDFObjectHandle::newInteger(total));
    TrailerKeepingPipeline pipeline(file);
    std::unique_ptr<QPDFWriter> writer = NewWriter(*m_pdf, pipeline);
    writer->setObjectStreamMode(qpdf_o_disable);
    writer->write();
    BlankPageNodes pages{
        writer->getRenumberedObjGen(root.getObjGen()).getObj(), {}, count, m_appendedBlankBox};
    for (const QPDFObjectHandle& node : nodes) {
        pages.nodes.push_back(writer->getRenumberedObjGen(node.getObjGen()).getObj());
        kids.eraseItem(kids.getArrayNItems() - 1);
    }
    root.replaceKey("/Count", oldCount);
    std::optional<WrittenDocumentEnd> end =
        ReadWrittenDocumentEnd(pipeline.LastBytes(), static_cast<uint64_t>(file.Position()));
    return end && WriteBlankPageUpdate(file, *end, pages);
}

bool Document::Save(const std::string& path) {
    platform::ReplaceFile file;
    if (!file.Begin(path)) return false;
    try {
        if (m_appendedBlankPages > 0) {
            if (!WriteWithAppendedBlankPages(file)) return false;
        } else {
            ReplaceFilePipeline pipeline(file);
            NewWriter(*m_pdf, pipeline)->write();
        }
    } catch (...) {
        return false;  // the private file goes with `file`
    }
    // Only a complete file, flushed and closed without error, replaces the target.
    return file.Commit();
}

std::optional<PdfRect> Document::GetBox(int boxType) {
    std::optional<QPDFPageObjectHelper> page = Selected();
    if (!page || !ValidBoxType(boxType)) return std::nullopt;
    QPDFObjectHandle box;
    switch (boxType) {
        case 1:
            box = page->getMediaBox();
            break;
        case 2:
            box = page->getCropBox();
            break;
        case 3:
            box = page->getBleedBox();
            break;
        case 4:
            box = page->getTrimBox();
            break;
        default:
            box = page->getArtBox();
            break;
    }
    if (!box.isRectangle()) return std::nullopt;
    return FromRectangle(box.getArrayAsRectangle());
}

bool Document::SetBox(int boxType, const PdfRect& box) {
    std::optional<QPDFPageObjectHelper> page = Selected();
    if (!page || !ValidBoxType(boxType) || box.width < 0 || box.height < 0) return false;
    if (!UsableMeasure(box.x) || !UsableMeasure(box.y) || !UsableMeasure(box.width) ||
        !UsableMeasure(box.height)) {
        return false;
    }
    page->getObjectHandle().replaceKey(kBoxKeys[boxType - 1], RectangleObject(box));
    return true;
}

bool Document::SetDimensions(double width, double height) {
    std::optional<QPDFPageObjectHelper> page = Selected();
    if (!page || !(width > 0) || !(height > 0) || !UsableMeasure(width) || !UsableMeasure(height)) {
        return false;
    }
    QPDFObjectHandle object = page->getObjectHandle();
    for (const char* key : kBoxKeys) object.removeKey(key);
    object.replaceKey("/MediaBox", RectangleObject({0, 0, width, height}));
    return true;
}

QPDFObjectHandle Document::ImageObject(int imageId, const EmbeddedImage& image) {
    auto known = m_imageObjectById.find(imageId);
    if (known != m_imageObjectById.end()) return known->second;
    QPDFObjectHandle stream = QPDFObjectHandle::newStream(m_pdf.get());
    QPDFObjectHandle dict = stream.getDict();
    dict.replaceKey("/Type", QPDFObjectHandle::newName("/XObject"));
    dict.replaceKey("/Subtype", QPDFObjectHandle::newName("/Image"));
    dict.replaceKey("/Width", QPDFObjectHandle::newInteger(image.width));
    dict.replaceKey("/Height", QPDFObjectHandle::newInteger(image.height));
    dict.replaceKey("/BitsPerComponent", QPDFObjectHandle::newInteger(image.bitsPerComponent));
    if (image.colorSpace == "/Indexed") {
        QPDFObjectHandle space = QPDFObjectHandle::newArray();
        space.appendItem(QPDFObjectHandle::newName("/Indexed"));
        space.appendItem(QPDFObjectHandle::newName("/DeviceRGB"));
        space.appendItem(QPDFObjectHandle::newInteger(
            std::max<int>(0, static_cast<int>(image.palette.size() / 3) - 1)));
        space.appendItem(QPDFObjectHandle::newString(image.palette));
        dict.replaceKey("/ColorSpace", space);
    } else {
        dict.replaceKey("/ColorSpace", QPDFObjectHandle::newName(image.colorSpace));
    }
    if (!image.decode.empty()) dict.replaceKey("/Decode", QPDFObjectHandle::parse(image.decode));
    if (!image.colorKeyMask.empty()) {
        dict.replaceKey("/Mask", QPDFObjectHandle::parse(image.colorKeyMask));
    }
    if (image.softMask) {
        QPDFObjectHandle mask = QPDFObjectHandle::newStream(m_pdf.get());
        QPDFObjectHandle maskDict = mask.getDict();
        maskDict.replaceKey("/Type", QPDFObjectHandle::newName("/XObject"));
        maskDict.replaceKey("/Subtype", QPDFObjectHandle::newName("/Image"));
        maskDict.replaceKey("/Width", QPDFObjectHandle::newInteger(image.softMask->width));
        maskDict.replaceKey("/Height", QPDFObjectHandle::newInteger(image.softMask->height));
        maskDict.replaceKey("/ColorSpace", QPDFObjectHandle::newName("/DeviceGray"));
        maskDict.replaceKey("/BitsPerComponent", QPDFObjectHandle::newInteger(8));
        mask.replaceStreamData(image.softMask->data, QPDFObjectHandle::newName("/FlateDecode"),
                               QPDFObjectHandle::newNull());
        dict.replaceKey("/SMask", mask);
    }
    stream.replaceStreamData(image.data, QPDFObjectHandle::newName(image.filter),
                             ParseOrNull(image.decodeParms));
    m_imageObjectById[imageId] = stream;
    return stream;
}

bool Document::DrawImage(int imageId, const EmbeddedImage& image, const ImageMatrix& matrix) {
    std::optional<QPDFPageObjectHelper> page = Selected();
    if (!page || !image.data) return false;
    for (double value : {matrix.a, matrix.b, matrix.c, matrix.d, matrix.e, matrix.f}) {
        if (!UsableMeasure(value)) return false;
    }
    QPDFObjectHandle pageObject = page->getObjectHandle();
    // Resources may be shared with other pages; this page gets its own copy to add to.
    QPDFObjectHandle resources = pageObject.getKey("/Resources");
    resources =
        resources.isDictionary() ? resources.shallowCopy() : QPDFObjectHandle::newDictionary();
    QPDFObjectHandle xobjects = resources.getKey("/XObject");
    xobjects = xobjects.isDictionary() ? xobjects.shallowCopy() : QPDFObjectHandle::newDictionary();
    resources.replaceKey("/XObject", xobjects);
    pageObject.replaceKey("/Resources", resources);
    int suffix = 1;
    std::string name = resources.getUniqueResourceName("/Im", suffix);
    xobjects.replaceKey(name, ImageObject(imageId, image));
    std::string content = "q " + PdfNumber(matrix.a) + " " + PdfNumber(matrix.b) + " " +
                          PdfNumber(matrix.c) + " " + PdfNumber(matrix.d) + " " +
                          PdfNumber(matrix.e) + " " + PdfNumber(matrix.f) + " cm " + name +
                          " Do Q\n";
    page->addPageContents(QPDFObjectHandle::newStream(m_pdf.get(), content), false);
    return true;
}

}  // namespace printpdf
