// Feeds arbitrary bytes to the library's image readers as an image file: the format is told
// from the first bytes as for any picture placed on a page (TIFF, JPEG, PNG, GIF, BMP), the
// images are counted and the first few read and encoded for embedding. The readers open files
// by name (libtiff and giflib take a path), so the bytes go to a file in memory reached by a
// name (fuzz/MemoryFileName.h). Any crash, leak, hang or sanitizer report, or an image read
// without pixels or measures, is a finding.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "fuzz/MemoryFileName.h"
#include "printpdf/ImageReader.h"

namespace {

// Images read per input: the later frames of a GIF or pages of a TIFF take the same paths.
constexpr int kMaxImagesRead = 3;

void CheckImage(const printpdf::EmbeddedImage& image) {
    if (image.width <= 0 || image.height <= 0 || !image.data) std::abort();
    if (image.softMask && (image.softMask->width != image.width ||
                           image.softMask->height != image.height || !image.softMask->data)) {
        std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static fuzz::MemoryFileName file("image");
    const std::string& path = file.Hold(data, size);

    const int count = printpdf::CountImages(path);
    for (int index = 1; index <= count && index <= kMaxImagesRead; ++index) {
        if (std::optional<printpdf::EmbeddedImage> image = printpdf::ReadImage(path, index)) {
            CheckImage(*image);
        }
    }
    // An index past the count is refused, not read.
    if (printpdf::ReadImage(path, count + 1)) std::abort();
    return 0;
}
