#include "scanvey/ScanveyConvert.h"

#include "pdfbinding/PdfLibraryBinding.h"
#include "platform/File.h"
#include "platform/Utf.h"
#include "printpdf/ImageLimits.h"

namespace {

struct PageSize {
    double width = 0;
    double height = 0;
};

// One image on the current page: the page takes the image's natural size (pixels at its
// resolution) unless the options fix one. False when the page could not be made.
bool PlaceImage(PdfLibraryBinding& pdf, const ScanveyOptions& options) {
    const int id = pdf.InstanceId();
    double xResolution = pdf.DPLImageHorizontalResolution(id);
    double yResolution = pdf.DPLImageVerticalResolution(id);
    if (xResolution == 0) xResolution = options.defaultResolution;
    if (yResolution == 0) yResolution = options.defaultResolution;
    int pixelWidth = pdf.DPLImageWidth(id);
    int pixelHeight = pdf.DPLImageHeight(id);

    if (options.pageWidth != 0 && options.pageHeight != 0) {
        PageSize page{static_cast<double>(options.pageWidth),
                      static_cast<double>(options.pageHeight)};
        if (options.autoOrientation == 1 && pixelWidth > pixelHeight) {
            std::swap(page.width, page.height);
        }
        if (pdf.DPLSetPageDimensions(id, page.width, page.height) == 0) return false;
        pdf.DPLSetOrigin(id, 1);
        if (options.fitMode == 0) return pdf.DPLDrawImage(id, 0, 0, page.width, page.height) != 0;
        if (options.fitMode == 1) {
            return pdf.DPLFitImage(id, 0, 0, page.width, page.height, 1, 1, 0) != 0;
        }
        return true;  // any other fit mode leaves the page empty
    }
    PageSize natural{pixelWidth / xResolution * 72, pixelHeight / yResolution * 72};
    if (pdf.DPLSetPageDimensions(id, natural.width, natural.height) == 0) return false;
    pdf.DPLSetOrigin(id, 1);
    return pdf.DPLDrawImage(id, 0, 0, natural.width, natural.height) != 0;
}

ScanveyOutcome Failure(int code, std::string what, const std::string& outputName) {
    platform::RemoveFile(outputName);
    return {code, std::move(what)};
}

}  // namespace

ScanveyOutcome ConvertImages(const ScanveyOptions& options) {
    PdfLibraryBinding pdf;
    return ConvertImages(pdf, options);
}

ScanveyOutcome ConvertImages(PdfLibraryBinding& pdf, const ScanveyOptions& options) {
    if (!pdf.IsUsable()) return {kScanveyLibraryUnusable, {}};
    if (platform::IsSameFile(options.inputName, options.outputName)) {
        return {kScanveyCannotWrite, "The output file is the input file: " + options.outputName};
    }
    const int id = pdf.InstanceId();
    std::u16string input = platform::Utf8ToUtf16(options.inputName);
    std::u16string output = platform::Utf8ToUtf16(options.outputName);

    pdf.DPLNewDocument(id);
    int imageCount = pdf.DPLGetImagePageCount(id, input.c_str());
    if (imageCount > printpdf::kMostImagesPerFile) {
        return Failure(kScanveyImageUnreadable,
                       options.inputName + " holds more than " +
                           std::to_string(printpdf::kMostImagesPerFile) +
                           " images; no more are read from one file",
                       options.outputName);
    }
    if (imageCount == 0) imageCount = 1;
    for (int index = 1; index <= imageCount; ++index) {
        if (index != 1) pdf.DPLNewPage(id);
        int image = pdf.DPLAddImageFromFile(id, input.c_str(), index);
        if (image == 0) {
            return Failure(
                kScanveyImageUnreadable,
                "Cannot read image " + std::to_string(index) + " of " + options.inputName,
                options.outputName);
        }
        pdf.DPLSelectImage(id, image);
        if (!PlaceImage(pdf, options)) {
            return Failure(
                kScanveyImageUnreadable,
                "Cannot place image " + std::to_string(index) + " of " + options.inputName,
                options.outputName);
        }
    }
    platform::RemoveFile(options.outputName);
    if (pdf.DPLSaveToFile(id, output.c_str()) == 0) {
        return Failure(kScanveyCannotWrite, "Cannot write " + options.outputName,
                       options.outputName);
    }
    pdf.DPLRemoveDocument(id, pdf.DPLSelectedDocument(id));
    return {};
}
