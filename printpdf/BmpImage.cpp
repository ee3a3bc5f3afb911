// Windows bitmap files: uncompressed 1-, 4- and 8-bit palette pictures and 24- and 32-bit
// colour, bottom-up or top-down, with their resolution. Compressed (RLE) bitmaps are refused.
#include <cstdint>
#include <cstring>

#include "printpdf/ImageReader.h"
#include "printpdf/Raster.h"
#include "printpdf/Resolution.h"

namespace printpdf {

namespace {

uint32_t Little32(const std::string& bytes, size_t at) {
    uint32_t value = 0;
    for (int i = 3; i >= 0; --i) value = value << 8 | static_cast<uint8_t>(bytes[at + i]);
    return value;
}

uint16_t Little16(const std::string& bytes, size_t at) {
    return static_cast<uint16_t>(static_cast<uint8_t>(bytes[at]) |
                                 static_cast<uint8_t>(bytes[at + 1]) << 8);
}

constexpr uint32_t kRgb = 0;
constexpr uint32_t kBitFields = 3;

}  // namespace

std::optional<EmbeddedImage> ReadBmpImage(const std::string& bytes) {
    if (bytes.size() < 54) return std::nullopt;
    uint32_t dataOffset = Little32(bytes, 10);
    uint32_t headerSize = Little32(bytes, 14);
    if (headerSize < 40 || 14 + static_cast<uint64_t>(headerSize) > bytes.size()) {
        return std::nullopt;
    }
    int64_t width = static_cast<int32_t>(Little32(bytes, 18));
    int64_t rawHeight = static_cast<int32_t>(Little32(bytes, 22));
    int bits = Little16(bytes, 28);
    uint32_t compression = Little32(bytes, 30);
    bool topDown = rawHeight < 0;
    int64_t height = topDown ? -rawHeight : rawHeight;
    if (!RasterSizeAcceptable(width, height, 4)) return std::nullopt;
    bool paletted = bits == 1 || bits == 4 || bits == 8;
    if (!paletted && bits != 24 && bits != 32) return std::nullopt;
    if (compression != kRgb && !(compression == kBitFields && bits == 32)) return std::nullopt;

    size_t stride = ((static_cast<size_t>(width) * bits + 31) / 32) * 4;
    if (dataOffset > bytes.size() || stride * height > bytes.size() - dataOffset) {
        return std::nullopt;
    }
    Raster raster;
    raster.width = static_cast<int>(width);
    raster.height = static_cast<int>(height);
    raster.xResolution = DotsPerInchFromPerMetre(static_cast<int32_t>(Little32(bytes, 38)));
    raster.yResolution = DotsPerInchFromPerMetre(static_cast<int32_t>(Little32(bytes, 42)));

    if (paletted) {
        uint32_t colors = Little32(bytes, 46);
        if (colors == 0 || colors > (1u << bits)) colors = 1u << bits;
        size_t paletteAt = 14 + headerSize;
        if (paletteAt + colors * 4 > dataOffset) return std::nullopt;
        raster.color = RasterColor::Indexed;
        raster.bitsPerComponent = bits;
        for (uint32_t i = 0; i < colors; ++i) {  // stored blue, green, red, unused
            raster.palette += bytes[paletteAt + i * 4 + 2];
            raster.palette += bytes[paletteAt + i * 4 + 1];
            raster.palette += bytes[paletteAt + i * 4];
        }
    } else {
        raster.color = RasterColor::Rgb;
    }
    size_t rowBytes = raster.RowBytes();
    raster.pixels.resize(rowBytes * height);
    for (int64_t y = 0; y < height; ++y) {
        const char* source = bytes.data() + dataOffset + stride * (topDown ? y : height - 1 - y);
        uint8_t* target = raster.pixels.data() + rowBytes * y;
        if (paletted) {
            std::memcpy(target, source, rowBytes);
            continue;
        }
        int step = bits / 8;
        for (int64_t x = 0; x < width; ++x) {  // blue, green, red (, unused)
            target[x * 3] = static_cast<uint8_t>(source[x * step + 2]);
            target[x * 3 + 1] = static_cast<uint8_t>(source[x * step + 1]);
            target[x * 3 + 2] = static_cast<uint8_t>(source[x * step]);
        }
    }
    EmbeddedImage image = EncodeRaster(std::move(raster));
    if (!image.data) return std::nullopt;
    return image;
}

}  // namespace printpdf
