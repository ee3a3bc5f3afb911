// Decoded pixels, and their lossless encoding into an `EmbeddedImage`.
//
// Image readers that cannot hand their file's data over as it stands decode it into a
// `Raster` (rows top to bottom, samples packed big-endian as PDF wants them) and let
// `EncodeRaster` compress it: rows of whole-byte samples with PNG prediction (the filter
// chosen per row), bilevel and palette rows as they are; alpha becomes a soft mask.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "printpdf/EmbeddedImage.h"

namespace printpdf {

enum class RasterColor { Gray, Rgb, Cmyk, Indexed };

struct Raster {
    int width = 0;
    int height = 0;
    RasterColor color = RasterColor::Gray;
    int bitsPerComponent = 8;     // 1, 2, 4, 8 or 16
    std::vector<uint8_t> pixels;  // height rows of RowBytes() each
    std::string palette;          // Indexed: RGB triples, at most 256
    std::vector<uint8_t> alpha;   // empty, or width * height 8-bit values
    bool whiteIsZero = false;     // gray: 0 is white (bilevel scans), written as a Decode array
    bool adobeInverted = false;   // CMYK written inverted (Adobe JPEG habit)
    double xResolution = 0;
    double yResolution = 0;

    int Components() const;
    size_t RowBytes() const;
    // True when `pixels` holds exactly the rows the measures call for.
    bool IsComplete() const;
};

// Decoded pictures above this size are refused rather than risk exhausting memory.
inline constexpr int64_t kMaxRasterBytes = int64_t{1} << 31;

// Refuses measures that would need more memory than a page image sensibly does.
bool RasterSizeAcceptable(int64_t width, int64_t height, int64_t bytesPerPixel);

// Compresses the raster; the result has no data when it is incomplete.
EmbeddedImage EncodeRaster(Raster&& raster);

// zlib-compresses `bytes` into a new buffer.
std::shared_ptr<Buffer> Deflate(const uint8_t* bytes, size_t size);

// The name and, for Indexed, the base space text of the raster's colour space.
std::string ColorSpaceName(RasterColor color);

}  // namespace printpdf
