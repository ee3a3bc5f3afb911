// PNG files. A PNG without transparency and interlacing goes into the PDF with its compressed
// data as it stands (PDF's Flate filter with PNG predictors reads it directly); the others
// are decoded with libpng, their alpha becoming a soft mask.
#include <zlib.h>

#include <cstdint>
#include <cstring>

#include <png.h>

#include "printpdf/ImageReader.h"
#include "printpdf/Raster.h"
#include "printpdf/Resolution.h"

namespace printpdf {

namespace {

uint32_t BigEndian32(const std::string& bytes, size_t at) {
    auto byte = [&](size_t i) {
        return static_cast<uint32_t>(static_cast<uint8_t>(bytes[at + i]));
    };
    return byte(0) << 24 | byte(1) << 16 | byte(2) << 8 | byte(3);
}

struct PngChunks {
    uint32_t width = 0;
    uint32_t height = 0;
    int bitDepth = 0;
    int colorType = -1;
    int interlace = 0;
    bool transparency = false;
    std::string palette;
    std::string idat;
    double xResolution = 0;
    double yResolution = 0;
};

// Walks the chunks, checking each one's CRC, up to IEND; no value when the file is cut short
// or damaged, so that broken data is never passed through unchecked.
std::optional<PngChunks> ReadChunks(const std::string& bytes) {
    PngChunks chunks;
    size_t at = 8;
    bool ended = false;
    while (!ended) {
        if (bytes.size() - at < 12) return std::nullopt;
        uint32_t length = BigEndian32(bytes, at);
        if (length > bytes.size() - at - 12) return std::nullopt;
        std::string_view type(bytes.data() + at + 4, 4);
        const char* data = bytes.data() + at + 8;
        uLong crc = crc32(0, reinterpret_cast<const Bytef*>(bytes.data() + at + 4), length + 4);
        if (crc != BigEndian32(bytes, at + 8 + length)) return std::nullopt;
        std::string payload(data, length);
        if (type == "IHDR" && length >= 13) {
            chunks.width = BigEndian32(payload, 0);
            chunks.height = BigEndian32(payload, 4);
            chunks.bitDepth = static_cast<uint8_t>(payload[8]);
            chunks.colorType = static_cast<uint8_t>(payload[9]);
            chunks.interlace = static_cast<uint8_t>(payload[12]);
        } else if (type == "PLTE") {
            chunks.palette = payload;
        } else if (type == "tRNS") {
            chunks.transparency = true;
        } else if (type == "IDAT") {
            chunks.idat += payload;
        } else if (type == "pHYs" && length >= 9 && payload[8] == 1) {
            // pixels per metre
            chunks.xResolution = DotsPerInchFromPerMetre(BigEndian32(payload, 0));
            chunks.yResolution = DotsPerInchFromPerMetre(BigEndian32(payload, 4));
        } else if (type == "IEND") {
            ended = true;
        }
        at += 12 + length;
    }
    if (chunks.width == 0 || chunks.height == 0 || chunks.idat.empty()) return std::nullopt;
    return chunks;
}

bool CanPassThrough(const PngChunks& chunks) {
    if (chunks.interlace != 0 || chunks.transparency) return false;
    switch (chunks.colorType) {
        case 0:
            return true;  // gray, 1 to 16 bits
        case 2:
            return chunks.bitDepth == 8 || chunks.bitDepth == 16;  // RGB
        case 3:
            return !chunks.palette.empty() && chunks.bitDepth <= 8;
        default:
            return false;  // with alpha
    }
}

EmbeddedImage PassThrough(PngChunks&& chunks) {
    EmbeddedImage image;
    image.width = static_cast<int>(chunks.width);
    image.height = static_cast<int>(chunks.height);
    image.xResolution = chunks.xResolution;
    image.yResolution = chunks.yResolution;
    image.bitsPerComponent = chunks.bitDepth;
    int colors = chunks.colorType == 2 ? 3 : 1;
    if (chunks.colorType == 3) {
        image.colorSpace = "/Indexed";
        image.palette = chunks.palette.substr(0, 768 - 768 % 3);
    } else {
        image.colorSpace = colors == 3 ? "/DeviceRGB" : "/DeviceGray";
    }
    image.filter = "/FlateDecode";
    image.decodeParms = "<< /Predictor 15 /Colors " + std::to_string(colors) +
                        " /BitsPerComponent " + std::to_string(chunks.bitDepth) + " /Columns " +
                        std::to_string(chunks.width) + " >>";
    image.data = MakeBuffer(chunks.idat.data(), chunks.idat.size());
    return image;
}

std::optional<EmbeddedImage> Decode(const std::string& bytes, const PngChunks& chunks) {
    png_image png;
    std::memset(&png, 0, sizeof png);
    png.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&png, bytes.data(), bytes.size())) return std::nullopt;
    bool color = (png.format & PNG_FORMAT_FLAG_COLOR) != 0;
    bool hasAlpha = (png.format & PNG_FORMAT_FLAG_ALPHA) != 0 || chunks.transparency;
    png.format = color ? (hasAlpha ? PNG_FORMAT_RGBA : PNG_FORMAT_RGB)
                       : (hasAlpha ? PNG_FORMAT_GA : PNG_FORMAT_GRAY);
    int channels = (color ? 3 : 1) + (hasAlpha ? 1 : 0);
    if (!RasterSizeAcceptable(png.width, png.height, channels)) {
        png_image_free(&png);
        return std::nullopt;
    }
    std::vector<uint8_t> pixels(PNG_IMAGE_SIZE(png));
    if (!png_image_finish_read(&png, nullptr, pixels.data(), 0, nullptr)) {
        png_image_free(&png);
        return std::nullopt;
    }
    Raster raster;
    raster.width = static_cast<int>(png.width);
    raster.height = static_cast<int>(png.height);
    raster.color = color ? RasterColor::Rgb : RasterColor::Gray;
    raster.xResolution = chunks.xResolution;
    raster.yResolution = chunks.yResolution;
    if (!hasAlpha) {
        raster.pixels = std::move(pixels);
    } else {
        size_t count = static_cast<size_t>(raster.width) * raster.height;
        int colorChannels = channels - 1;
        raster.pixels.resize(count * colorChannels);
        raster.alpha.resize(count);
        for (size_t i = 0; i < count; ++i) {
            std::memcpy(&raster.pixels[i * colorChannels], &pixels[i * channels], colorChannels);
            raster.alpha[i] = pixels[i * channels + colorChannels];
        }
    }
    EmbeddedImage image = EncodeRaster(std::move(raster));
    if (!image.data) return std::nullopt;
    return image;
}

}  // namespace

std::optional<EmbeddedImage> ReadPngImage(const std::string& bytes) {
    std::optional<PngChunks> chunks = ReadChunks(bytes);
    if (!chunks) return std::nullopt;
    if (!RasterSizeAcceptable(chunks->width, chunks->height, 1)) return std::nullopt;
    if (CanPassThrough(*chunks)) return PassThrough(std::move(*chunks));
    return Decode(bytes, *chunks);
}

}  // namespace printpdf
