#include "printpdf/Raster.h"

#include <zlib.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <cstring>

namespace printpdf {

namespace {

constexpr int64_t kMaxSide = 1 << 18;

inline uint8_t Paeth(int a, int b, int c) {
    int p = a + b - c;
    int pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
    int best = pb <= pc ? b : c;
    return static_cast<uint8_t>(pa <= pb && pa <= pc ? a : best);
}

// PNG filter `Filter`'s prediction from the bytes left (a), above (b) and above left (c).
template <int Filter>
inline uint8_t Predicted(int a, int b, int c) {
    if constexpr (Filter == 1) return static_cast<uint8_t>(a);
    if constexpr (Filter == 2) return static_cast<uint8_t>(b);
    if constexpr (Filter == 3) return static_cast<uint8_t>((a + b) >> 1);
    if constexpr (Filter == 4) return Paeth(a, b, c);
    return 0;
}

// Writes `row` through filter `Filter` into `out` and returns the sum of the filtered bytes
// read as signed, the usual measure of how well a row will compress. One loop per filter,
// without branches past the first pixel, so that the compiler can vectorise it.
template <int Filter>
uint64_t FilterRow(const uint8_t* row, const uint8_t* previous, size_t length, size_t bpp,
                   uint8_t* out) {
    uint64_t score = 0;
    auto put = [&](size_t i, uint8_t predicted) {
        uint8_t value = static_cast<uint8_t>(row[i] - predicted);
        out[i] = value;
        score += static_cast<uint64_t>(std::abs(static_cast<int>(static_cast<int8_t>(value))));
    };
    size_t head = std::min(bpp, length);
    for (size_t i = 0; i < head; ++i) put(i, Predicted<Filter>(0, previous[i], 0));
    for (size_t i = head; i < length; ++i) {
        put(i, Predicted<Filter>(row[i - bpp], previous[i], previous[i - bpp]));
    }
    return score;
}

// Writes one row with each of the five PNG filters and keeps the one that scores lowest,
// which compresses scans and photographs well.
void PredictRow(const uint8_t* row, const uint8_t* previous, size_t length, size_t bpp,
                uint8_t* out) {
    static thread_local std::array<std::vector<uint8_t>, 5> candidates;
    static thread_local std::vector<uint8_t> zeros;
    if (previous == nullptr) {
        zeros.assign(length, 0);
        previous = zeros.data();
    }
    for (std::vector<uint8_t>& candidate : candidates) candidate.resize(length);
    const uint64_t scores[5] = {
        FilterRow<0>(row, previous, length, bpp, candidates[0].data()),
        FilterRow<1>(row, previous, length, bpp, candidates[1].data()),
        FilterRow<2>(row, previous, length, bpp, candidates[2].data()),
        FilterRow<3>(row, previous, length, bpp, candidates[3].data()),
        FilterRow<4>(row, previous, length, bpp, candidates[4].data()),
    };
    int best = 0;
    for (int filter = 1; filter < 5; ++filter) {
        if (scores[filter] < scores[best]) best = filter;
    }
    out[0] = static_cast<uint8_t>(best);
    std::memcpy(out + 1, candidates[best].data(), length);
}

std::string PredictorParms(int colors, int bits, int columns) {
    return "<< /Predictor 15 /Colors " + std::to_string(colors) + " /BitsPerComponent " +
           std::to_string(bits) + " /Columns " + std::to_string(columns) + " >>";
}

}  // namespace

std::shared_ptr<Buffer> MakeBuffer(const void* bytes, size_t size) {
    auto buffer = std::make_shared<Buffer>(size);
    if (size > 0) std::memcpy(buffer->getBuffer(), bytes, size);
    return buffer;
}

int Raster::Components() const {
    switch (color) {
        case RasterColor::Rgb:
            return 3;
        case RasterColor::Cmyk:
            return 4;
        default:
            return 1;
    }
}

size_t Raster::RowBytes() const {
    return (static_cast<size_t>(width) * Components() * bitsPerComponent + 7) / 8;
}

bool Raster::IsComplete() const {
    return width > 0 && height > 0 && pixels.size() == RowBytes() * static_cast<size_t>(height) &&
           (alpha.empty() || alpha.size() == static_cast<size_t>(width) * height);
}

bool RasterSizeAcceptable(int64_t width, int64_t height, int64_t bytesPerPixel) {
    return width > 0 && height > 0 && width <= kMaxSide && height <= kMaxSide &&
           width * height * bytesPerPixel <= kMaxRasterBytes;
}

std::shared_ptr<Buffer> Deflate(const uint8_t* bytes, size_t size) {
    z_stream stream{};
    if (deflateInit(&stream, Z_DEFAULT_COMPRESSION) != Z_OK) return nullptr;
    std::vector<uint8_t> out(deflateBound(&stream, static_cast<uLong>(size)));
    stream.next_in = const_cast<uint8_t*>(bytes);
    stream.avail_in = static_cast<uInt>(size);
    stream.next_out = out.data();
    stream.avail_out = static_cast<uInt>(out.size());
    int status = deflate(&stream, Z_FINISH);
    size_t written = out.size() - stream.avail_out;
    deflateEnd(&stream);
    if (status != Z_STREAM_END) return nullptr;
    return MakeBuffer(out.data(), written);
}

std::string ColorSpaceName(RasterColor color) {
    switch (color) {
        case RasterColor::Rgb:
            return "/DeviceRGB";
        case RasterColor::Cmyk:
            return "/DeviceCMYK";
        case RasterColor::Indexed:
            return "/Indexed";
        default:
            return "/DeviceGray";
    }
}

EmbeddedImage EncodeRaster(Raster&& raster) {
    EmbeddedImage image;
    if (!raster.IsComplete()) return image;
    image.width = raster.width;
    image.height = raster.height;
    image.xResolution = raster.xResolution;
    image.yResolution = raster.yResolution;
    image.bitsPerComponent = raster.bitsPerComponent;
    image.colorSpace = ColorSpaceName(raster.color);
    image.filter = "/FlateDecode";
    if (raster.color == RasterColor::Indexed) image.palette = raster.palette;
    if (raster.whiteIsZero) image.decode = "[1 0]";
    if (raster.adobeInverted) image.decode = "[1 0 1 0 1 0 1 0]";

    size_t rowBytes = raster.RowBytes();
    bool predict = raster.bitsPerComponent >= 8 && raster.color != RasterColor::Indexed;
    if (predict) {
        size_t bpp = static_cast<size_t>(raster.Components()) * raster.bitsPerComponent / 8;
        std::vector<uint8_t> predicted((rowBytes + 1) * raster.height);
        for (int y = 0; y < raster.height; ++y) {
            const uint8_t* row = raster.pixels.data() + rowBytes * y;
            PredictRow(row, y > 0 ? row - rowBytes : nullptr, rowBytes, bpp,
                       predicted.data() + (rowBytes + 1) * y);
        }
        raster.pixels = std::vector<uint8_t>();
        image.data = Deflate(predicted.data(), predicted.size());
        image.decodeParms =
            PredictorParms(raster.Components(), raster.bitsPerComponent, raster.width);
    } else {
        image.data = Deflate(raster.pixels.data(), raster.pixels.size());
    }

    bool opaque = true;
    for (uint8_t value : raster.alpha) {
        if (value != 255) {
            opaque = false;
            break;
        }
    }
    if (!opaque) {
        auto mask = std::make_shared<SoftMask>();
        mask->width = raster.width;
        mask->height = raster.height;
        mask->data = Deflate(raster.alpha.data(), raster.alpha.size());
        if (mask->data) image.softMask = mask;
    }
    return image;
}

}  // namespace printpdf
