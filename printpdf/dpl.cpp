// The C entry points: each finds its instance, converts its texts and hands over to the
// document and image code, turning every failure into the 0 the header promises.
#include "printpdf/dpl.h"

#include <string>

#include "platform/PartialFiles.h"
#include "platform/Utf.h"
#include "printpdf/ImageReader.h"
#include "printpdf/Instance.h"
#include "printpdf/PageRanges.h"

using printpdf::Document;
using printpdf::Instance;
using printpdf::WithInstance;

namespace {

std::optional<std::string> Text(const char16_t* text) {
    if (text == nullptr) return std::nullopt;
    return platform::Utf16ToUtf8(std::u16string_view(text));
}

// The selected image's proportions in inches when its file states both resolutions, so that
// fitting respects pixels that are not square; else in pixels.
printpdf::FitRequest FitRequestFor(const printpdf::EmbeddedImage& image) {
    printpdf::FitRequest request;
    request.imageWidth = image.width;
    request.imageHeight = image.height;
    if (image.xResolution > 0 && image.yResolution > 0) {
        request.imageWidth /= image.xResolution;
        request.imageHeight /= image.yResolution;
    }
    return request;
}

int Draw(Instance& instance, double left, double top, double width, double height,
         bool quarterTurn) {
    Document* document = instance.SelectedDocument();
    const printpdf::EmbeddedImage* image = instance.SelectedImage();
    if (document == nullptr || image == nullptr || !(width > 0) || !(height > 0)) return 0;
    std::optional<printpdf::PdfRect> page = document->GetBox(1);
    if (!page) return 0;
    printpdf::PdfRect target =
        printpdf::ToPdfRect(instance.origin, *page, left, top, width, height);
    return document->DrawImage(instance.selectedImage, *image,
                               printpdf::StretchInto(target, quarterTurn))
               ? 1
               : 0;
}

}  // namespace

extern "C" {

// Not a DPL entry point: lets a program that removes its partial files on signals have this
// library's saves removed too (platform/PartialFiles.h).
DPL_EXPORT void VelmoraJoinPartialFileRemoval(void) {
    platform::JoinPartialFileRemoval();
}

int DPLCreateLibrary(void) {
    try {
        return printpdf::CreateInstance();
    } catch (...) {
        return 0;
    }
}

int DPLReleaseLibrary(int instanceId) {
    try {
        return printpdf::ReleaseInstance(instanceId) ? 1 : 0;
    } catch (...) {
        return 0;
    }
}

int DPLLoadFromFile(int instanceId, const char16_t* fileName, const char16_t* password) {
    return WithInstance<int>(instanceId, 0, [&](Instance& instance) {
        std::optional<std::string> path = Text(fileName);
        std::optional<std::string> secret = password ? Text(password) : std::string();
        if (!path || !secret) return 0;
        instance.AddDocument(Document::Load(*path, *secret));
        return 1;
    });
}

int DPLSelectedDocument(int instanceId) {
    return WithInstance<int>(instanceId, 0, [](Instance& instance) {
        return instance.SelectedDocument() != nullptr ? instance.selectedDocument : 0;
    });
}

int DPLNewDocument(int instanceId) {
    return WithInstance<int>(
        instanceId, 0, [](Instance& instance) { return instance.AddDocument(Document::New()); });
}

int DPLSelectDocument(int instanceId, int documentId) {
    return WithInstance<int>(instanceId, 0, [&](Instance& instance) {
        if (instance.documents.count(documentId) == 0) return 0;
        instance.selectedDocument = documentId;
        return 1;
    });
}

int DPLPageCount(int instanceId) {
    return WithInstance<int>(instanceId, 0, [](Instance& instance) {
        Document* document = instance.SelectedDocument();
        return document != nullptr ? document->PageCount() : 0;
    });
}

int DPLCopyPageRanges(int instanceId, int documentId, const char16_t* ranges) {
    return WithInstance<int>(instanceId, 0, [&](Instance& instance) {
        Document* target = instance.SelectedDocument();
        auto source = instance.documents.find(documentId);
        std::optional<std::string> text = Text(ranges);
        if (target == nullptr || source == instance.documents.end() || !text) return 0;
        std::optional<std::vector<int>> pages =
            printpdf::ParsePageRanges(*text, source->second->PageCount());
        if (!pages) return 0;
        target->CopyPages(*source->second, *pages);
        return 1;
    });
}

int DPLDeletePages(int instanceId, int firstPage, int count) {
    return WithInstance<int>(instanceId, 0, [&](Instance& instance) {
        Document* document = instance.SelectedDocument();
        return document != nullptr && document->DeletePages(firstPage, count) ? 1 : 0;
    });
}

int DPLSaveToFile(int instanceId, const char16_t* fileName) {
    return WithInstance<int>(instanceId, 0, [&](Instance& instance) {
        Document* document = instance.SelectedDocument();
        std::optional<std::string> path = Text(fileName);
        return document != nullptr && path && !path->empty() && document->Save(*path) ? 1 : 0;
    });
}

int DPLRemoveDocument(int instanceId, int documentId) {
    return WithInstance<int>(instanceId, 0, [&](Instance& instance) {
        if (instance.documents.erase(documentId) == 0) return 0;
        if (instance.selectedDocument == documentId) instance.selectedDocument = 0;
        return 1;
    });
}

int DPLNewPage(int instanceId) {
    return WithInstance<int>(instanceId, 0, [](Instance& instance) {
        Document* document = instance.SelectedDocument();
        return document != nullptr ? document->NewPage() : 0;
    });
}

int DPLAppendBlankPages(int instanceId, int count) {
    return WithInstance<int>(instanceId, 0, [count](Instance& instance) {
        Document* document = instance.SelectedDocument();
        if (document == nullptr || count < 1 || count > 1'000'000) return 0;
        document->AppendBlankPages(count);
        return document->PageCount();
    });
}

double DPLGetPageBox(int instanceId, int boxType, int dimension) {
    return WithInstance<double>(instanceId, 0.0, [&](Instance& instance) {
        Document* document = instance.SelectedDocument();
        std::optional<printpdf::PdfRect> box =
            document != nullptr ? document->GetBox(boxType) : std::nullopt;
        if (!box) return 0.0;
        switch (dimension) {
            case 0:
                return box->x;
            case 1:
                return box->y + box->height;
            case 2:
                return box->width;
            case 3:
                return box->height;
            default:
                return 0.0;
        }
    });
}

int DPLSetPageBox(int instanceId, int boxType, double left, double top, double width,
                  double height) {
    return WithInstance<int>(instanceId, 0, [&](Instance& instance) {
        Document* document = instance.SelectedDocument();
        printpdf::PdfRect box{left, top - height, width, height};
        return document != nullptr && document->SetBox(boxType, box) ? 1 : 0;
    });
}

int DPLSetPageDimensions(int instanceId, double width, double height) {
    return WithInstance<int>(instanceId, 0, [&](Instance& instance) {
        Document* document = instance.SelectedDocument();
        return document != nullptr && document->SetDimensions(width, height) ? 1 : 0;
    });
}

int DPLSetOrigin(int instanceId, int origin) {
    return WithInstance<int>(instanceId, 0, [&](Instance& instance) {
        if (origin != 0 && origin != 1) return 0;
        instance.origin = static_cast<printpdf::DrawingOrigin>(origin);
        return 1;
    });
}

int DPLGetImagePageCount(int instanceId, const char16_t* fileName) {
    return WithInstance<int>(instanceId, 0, [&](Instance&) {
        std::optional<std::string> path = Text(fileName);
        return path ? printpdf::CountImages(*path) : 0;
    });
}

int DPLAddImageFromFile(int instanceId, const char16_t* fileName, int index) {
    return WithInstance<int>(instanceId, 0, [&](Instance& instance) {
        std::optional<std::string> path = Text(fileName);
        if (!path) return 0;
        std::optional<printpdf::EmbeddedImage> image =
            printpdf::ReadImage(*path, index == 0 ? 1 : index);
        if (!image || !image->data) return 0;
        int id = instance.nextImageId++;
        instance.images[id] = std::make_shared<const printpdf::EmbeddedImage>(std::move(*image));
        instance.selectedImage = id;
        return id;
    });
}

int DPLSelectImage(int instanceId, int imageId) {
    return WithInstance<int>(instanceId, 0, [&](Instance& instance) {
        if (instance.images.count(imageId) == 0) return 0;
        instance.selectedImage = imageId;
        return 1;
    });
}

int DPLImageWidth(int instanceId) {
    return WithInstance<int>(instanceId, 0, [](Instance& instance) {
        const printpdf::EmbeddedImage* image = instance.SelectedImage();
        return image != nullptr ? image->width : 0;
    });
}

int DPLImageHeight(int instanceId) {
    return WithInstance<int>(instanceId, 0, [](Instance& instance) {
        const printpdf::EmbeddedImage* image = instance.SelectedImage();
        return image != nullptr ? image->height : 0;
    });
}

double DPLImageHorizontalResolution(int instanceId) {
    return WithInstance<double>(instanceId, 0.0, [](Instance& instance) {
        const printpdf::EmbeddedImage* image = instance.SelectedImage();
        return image != nullptr ? image->xResolution : 0.0;
    });
}

double DPLImageVerticalResolution(int instanceId) {
    return WithInstance<double>(instanceId, 0.0, [](Instance& instance) {
        const printpdf::EmbeddedImage* image = instance.SelectedImage();
        return image != nullptr ? image->yResolution : 0.0;
    });
}

int DPLDrawImage(int instanceId, double left, double top, double width, double height) {
    return WithInstance<int>(instanceId, 0, [&](Instance& instance) {
        return Draw(instance, left, top, width, height, false);
    });
}

int DPLFitImage(int instanceId, double left, double top, double width, double height, int hAlign,
                int vAlign, int rotate) {
    return WithInstance<int>(instanceId, 0, [&](Instance& instance) {
        const printpdf::EmbeddedImage* image = instance.SelectedImage();
        if (image == nullptr || (rotate != 0 && rotate != 1)) return 0;
        printpdf::FitRequest request = FitRequestFor(*image);
        request.hAlign = hAlign;
        request.vAlign = vAlign;
        request.allowQuarterTurn = rotate == 1;
        std::optional<printpdf::FitResult> fit =
            printpdf::FitInto(request, left, top, width, height);
        if (!fit) return 0;
        return Draw(instance, fit->left, fit->top, fit->width, fit->height, fit->quarterTurn);
    });
}

}  // extern "C"
