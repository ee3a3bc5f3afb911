// TIFF files, one image per directory (page). Single-strip CCITT G4 and JPEG pages go into
// the PDF with their compressed data as it stands; bilevel, gray, palette, RGB and CMYK pages
// with other compressions are decoded by libtiff and Flate-compressed at their own depth;
// anything else (tiles, YCbCr, planes, odd depths) is decoded to RGB with alpha.
#include <tiffio.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <memory>

#include "printpdf/ImageReader.h"
#include "printpdf/JpegImage.h"
#include "printpdf/Raster.h"
#include "printpdf/Resolution.h"

namespace printpdf {

namespace {

void IgnoreTiffMessage(const char*, const char*, va_list) {}

struct TiffCloser {
    void operator()(TIFF* tiff) const { TIFFClose(tiff); }
};
using TiffHandle = std::unique_ptr<TIFF, TiffCloser>;

TiffHandle OpenTiff(const std::string& path) {
    // libtiff reports to standard error unless told otherwise; the library stays quiet.
    static const bool silenced = [] {
        TIFFSetErrorHandler(IgnoreTiffMessage);
        TIFFSetWarningHandler(IgnoreTiffMessage);
        return true;
    }();
    (void)silenced;
    // A damaged directory can make libtiff ask for tens of gigabytes for one strip or tile;
    // no buffer it needs for a picture of an acceptable size is larger than such a picture.
    std::unique_ptr<TIFFOpenOptions, decltype(&TIFFOpenOptionsFree)> options(TIFFOpenOptionsAlloc(),
                                                                             TIFFOpenOptionsFree);
    if (!options) return TiffHandle(nullptr);
    TIFFOpenOptionsSetMaxSingleMemAlloc(options.get(), kMaxRasterBytes);
    return TiffHandle(TIFFOpenExt(path.c_str(), "r", options.get()));
}

template <typename T>
T Field(TIFF* tiff, ttag_t tag, T fallback) {
    T value{};
    return TIFFGetField(tiff, tag, &value) == 1 ? value : fallback;
}

template <typename T>
T FieldDefaulted(TIFF* tiff, ttag_t tag) {
    T value{};
    TIFFGetFieldDefaulted(tiff, tag, &value);
    return value;
}

struct PageInfo {
    uint32_t width = 0;
    uint32_t height = 0;
    uint16_t bits = 1;
    uint16_t samples = 1;
    uint16_t photometric = PHOTOMETRIC_MINISWHITE;
    uint16_t compression = COMPRESSION_NONE;
    uint16_t planar = PLANARCONFIG_CONTIG;
    bool tiled = false;
    double xResolution = 0;
    double yResolution = 0;
};

PageInfo ReadPageInfo(TIFF* tiff) {
    PageInfo info;
    info.width = Field<uint32_t>(tiff, TIFFTAG_IMAGEWIDTH, 0);
    info.height = Field<uint32_t>(tiff, TIFFTAG_IMAGELENGTH, 0);
    info.bits = FieldDefaulted<uint16_t>(tiff, TIFFTAG_BITSPERSAMPLE);
    info.samples = FieldDefaulted<uint16_t>(tiff, TIFFTAG_SAMPLESPERPIXEL);
    info.photometric = Field<uint16_t>(tiff, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_MINISWHITE);
    info.compression = FieldDefaulted<uint16_t>(tiff, TIFFTAG_COMPRESSION);
    info.planar = FieldDefaulted<uint16_t>(tiff, TIFFTAG_PLANARCONFIG);
    info.tiled = TIFFIsTiled(tiff) != 0;
    uint16_t unit = FieldDefaulted<uint16_t>(tiff, TIFFTAG_RESOLUTIONUNIT);
    auto toInch = [unit](double value) {
        if (unit == RESUNIT_CENTIMETER) return DotsPerInchFromPerCentimetre(value);
        return unit == RESUNIT_INCH ? value : 0.0;
    };
    info.xResolution = toInch(Field<float>(tiff, TIFFTAG_XRESOLUTION, 0.0f));
    info.yResolution = toInch(Field<float>(tiff, TIFFTAG_YRESOLUTION, 0.0f));
    return info;
}

EmbeddedImage StartImage(const PageInfo& info) {
    EmbeddedImage image;
    image.width = static_cast<int>(info.width);
    image.height = static_cast<int>(info.height);
    image.xResolution = info.xResolution;
    image.yResolution = info.yResolution;
    return image;
}

bool SingleStrip(TIFF* tiff, const PageInfo& info) {
    return !info.tiled && TIFFNumberOfStrips(tiff) == 1;
}

// The first strip's bytes as the file holds them. Its size is what the file claims: one larger
// than the whole file is refused before anything is allocated for it.
std::optional<std::string> RawStrip(TIFF* tiff) {
    tmsize_t size = TIFFRawStripSize(tiff, 0);
    const toff_t fileSize = TIFFGetSizeProc(tiff)(TIFFClientdata(tiff));
    if (size <= 0 || size > (tmsize_t{1} << 30) || static_cast<toff_t>(size) > fileSize) {
        return std::nullopt;
    }
    std::string bytes(static_cast<size_t>(size), '\0');
    if (TIFFReadRawStrip(tiff, 0, bytes.data(), size) != size) return std::nullopt;
    return bytes;
}

std::optional<EmbeddedImage> PassThroughG4(TIFF* tiff, const PageInfo& info) {
    std::optional<std::string> strip = RawStrip(tiff);
    if (!strip) return std::nullopt;
    if (FieldDefaulted<uint16_t>(tiff, TIFFTAG_FILLORDER) == FILLORDER_LSB2MSB) {
        TIFFReverseBits(reinterpret_cast<uint8_t*>(strip->data()),
                        static_cast<tmsize_t>(strip->size()));
    }
    EmbeddedImage image = StartImage(info);
    image.colorSpace = "/DeviceGray";
    image.bitsPerComponent = 1;
    image.filter = "/CCITTFaxDecode";
    image.decodeParms = "<< /K -1 /Columns " + std::to_string(info.width) + " /Rows " +
                        std::to_string(info.height) + " >>";
    // The coded runs are white for 0 bits; a min-is-black page means the opposite.
    if (info.photometric == PHOTOMETRIC_MINISBLACK) image.decode = "[1 0]";
    image.data = MakeBuffer(strip->data(), strip->size());
    return image;
}

// JPEG-in-TIFF keeps its quantisation and Huffman tables apart from the strip; joined, they
// make one ordinary JPEG stream.
std::optional<EmbeddedImage> PassThroughJpeg(TIFF* tiff, const PageInfo& info) {
    std::optional<std::string> strip = RawStrip(tiff);
    if (!strip || strip->size() < 4) return std::nullopt;
    uint32_t tableBytes = 0;
    void* tables = nullptr;
    std::string stream;
    if (TIFFGetField(tiff, TIFFTAG_JPEGTABLES, &tableBytes, &tables) == 1 && tableBytes > 4) {
        stream.assign(static_cast<const char*>(tables), tableBytes - 2);  // without its EOI
        stream.append(*strip, 2);                                         // without its SOI
    } else {
        stream = std::move(*strip);
    }
    std::optional<JpegHeader> header = ReadJpegHeader(stream);
    if (!header || header->width != static_cast<int>(info.width) ||
        header->height != static_cast<int>(info.height)) {
        return std::nullopt;
    }
    EmbeddedImage image = StartImage(info);
    image.bitsPerComponent = 8;
    image.colorSpace = header->components == 1   ? "/DeviceGray"
                       : header->components == 3 ? "/DeviceRGB"
                                                 : "/DeviceCMYK";
    // Without an Adobe marker a three-component stream counts as YCbCr; RGB pages were
    // compressed without that transform.
    if (header->components == 3 && info.photometric == PHOTOMETRIC_RGB && !header->adobeMarker) {
        image.decodeParms = "<< /ColorTransform 0 >>";
    }
    image.filter = "/DCTDecode";
    image.data = MakeBuffer(stream.data(), stream.size());
    return image;
}

// The raster layout libtiff's scanlines have natively, when PDF can take it as it is.
std::optional<Raster> NativeLayout(TIFF* tiff, const PageInfo& info) {
    if (info.tiled || (info.planar != PLANARCONFIG_CONTIG && info.samples > 1)) return std::nullopt;
    Raster raster;
    raster.bitsPerComponent = info.bits;
    switch (info.photometric) {
        case PHOTOMETRIC_MINISWHITE:
        case PHOTOMETRIC_MINISBLACK:
            if (info.bits != 1 && info.bits != 2 && info.bits != 4 && info.bits != 8 &&
                info.bits != 16) {
                return std::nullopt;
            }
            raster.color = RasterColor::Gray;
            raster.whiteIsZero = info.photometric == PHOTOMETRIC_MINISWHITE;
            return info.samples == 1 ? std::optional(raster) : std::nullopt;
        case PHOTOMETRIC_PALETTE: {
            uint16_t *red = nullptr, *green = nullptr, *blue = nullptr;
            if (info.samples != 1 || info.bits > 8 ||
                TIFFGetField(tiff, TIFFTAG_COLORMAP, &red, &green, &blue) != 1) {
                return std::nullopt;
            }
            raster.color = RasterColor::Indexed;
            for (int i = 0; i < (1 << info.bits); ++i) {
                raster.palette += static_cast<char>(red[i] >> 8);
                raster.palette += static_cast<char>(green[i] >> 8);
                raster.palette += static_cast<char>(blue[i] >> 8);
            }
            return raster;
        }
        case PHOTOMETRIC_RGB:
            raster.color = RasterColor::Rgb;
            break;
        case PHOTOMETRIC_SEPARATED:
            if (FieldDefaulted<uint16_t>(tiff, TIFFTAG_INKSET) != INKSET_CMYK) return std::nullopt;
            raster.color = RasterColor::Cmyk;
            break;
        default:
            return std::nullopt;
    }
    if ((info.bits != 8 && info.bits != 16) || info.samples != raster.Components()) {
        return std::nullopt;
    }
    return raster;
}

void SwapSixteenBitSamples(std::vector<uint8_t>& pixels) {
    for (size_t i = 0; i + 1 < pixels.size(); i += 2) std::swap(pixels[i], pixels[i + 1]);
}

bool ReadScanlines(TIFF* tiff, const PageInfo& info, Raster& raster) {
    raster.width = static_cast<int>(info.width);
    raster.height = static_cast<int>(info.height);
    size_t rowBytes = raster.RowBytes();
    if (static_cast<size_t>(TIFFScanlineSize(tiff)) != rowBytes) return false;
    raster.pixels.resize(rowBytes * info.height);
    for (uint32_t y = 0; y < info.height; ++y) {
        if (TIFFReadScanline(tiff, raster.pixels.data() + rowBytes * y, y, 0) < 0) return false;
    }
    if (info.bits == 16 && TIFFIsBigEndian(tiff) == 0) SwapSixteenBitSamples(raster.pixels);
    return true;
}

std::optional<EmbeddedImage> DecodeToRgb(TIFF* tiff, const PageInfo& info) {
    std::vector<uint32_t> rgba(static_cast<size_t>(info.width) * info.height);
    if (TIFFReadRGBAImageOriented(tiff, info.width, info.height, rgba.data(), ORIENTATION_TOPLEFT,
                                  0) != 1) {
        return std::nullopt;
    }
    Raster raster;
    raster.width = static_cast<int>(info.width);
    raster.height = static_cast<int>(info.height);
    raster.color = RasterColor::Rgb;
    raster.xResolution = info.xResolution;
    raster.yResolution = info.yResolution;
    raster.pixels.resize(rgba.size() * 3);
    raster.alpha.resize(rgba.size());
    for (size_t i = 0; i < rgba.size(); ++i) {
        uint32_t pixel = rgba[i];
        uint8_t alpha = static_cast<uint8_t>(TIFFGetA(pixel));
        // libtiff hands colours over multiplied by alpha; undo that for the soft mask.
        auto unmultiply = [alpha](uint32_t channel) {
            return alpha == 0 || alpha == 255
                       ? static_cast<uint8_t>(channel)
                       : static_cast<uint8_t>(std::min<uint32_t>(255, channel * 255 / alpha));
        };
        raster.pixels[i * 3] = unmultiply(TIFFGetR(pixel));
        raster.pixels[i * 3 + 1] = unmultiply(TIFFGetG(pixel));
        raster.pixels[i * 3 + 2] = unmultiply(TIFFGetB(pixel));
        raster.alpha[i] = alpha;
    }
    EmbeddedImage image = EncodeRaster(std::move(raster));
    if (!image.data) return std::nullopt;
    return image;
}

// Uncompressed samples take their room in the file: a page that declares more than the whole
// file holds has lost its data, and decoding it would only make up a large empty picture.
bool UncompressedDataFits(const PageInfo& info, std::uintmax_t fileSize) {
    if (info.compression != COMPRESSION_NONE) return true;
    double rowBits = static_cast<double>(info.width) * info.bits * info.samples;
    return std::ceil(rowBits / 8) * info.height <= static_cast<double>(fileSize);
}

std::optional<EmbeddedImage> ReadPage(TIFF* tiff, std::uintmax_t fileSize) {
    PageInfo info = ReadPageInfo(tiff);
    if (!RasterSizeAcceptable(info.width, info.height, 4)) return std::nullopt;
    if (!UncompressedDataFits(info, fileSize)) return std::nullopt;
    if (info.compression == COMPRESSION_CCITTFAX4 && info.bits == 1 && info.samples == 1 &&
        SingleStrip(tiff, info)) {
        if (auto image = PassThroughG4(tiff, info)) return image;
    }
    if (info.compression == COMPRESSION_JPEG && info.bits == 8 && SingleStrip(tiff, info) &&
        (info.planar == PLANARCONFIG_CONTIG || info.samples == 1)) {
        if (auto image = PassThroughJpeg(tiff, info)) return image;
    }
    if (info.compression != COMPRESSION_JPEG && info.compression != COMPRESSION_OJPEG) {
        if (std::optional<Raster> raster = NativeLayout(tiff, info)) {
            raster->xResolution = info.xResolution;
            raster->yResolution = info.yResolution;
            if (ReadScanlines(tiff, info, *raster)) {
                EmbeddedImage image = EncodeRaster(std::move(*raster));
                if (image.data) return image;
            }
            return std::nullopt;
        }
    }
    return DecodeToRgb(tiff, info);
}

}  // namespace

// The pages read one after another from the first (read on opening) until one cannot be: a
// page whose link to the next is damaged still counts, as it still reads.
int CountTiffImages(const std::string& path) {
    TiffHandle tiff = OpenTiff(path);
    if (!tiff) return 0;
    int count = 1;
    while (TIFFReadDirectory(tiff.get()) == 1) ++count;
    return count;
}

std::optional<EmbeddedImage> ReadTiffImage(const std::string& path, int index) {
    TiffHandle tiff = OpenTiff(path);
    if (!tiff || index < 1 || TIFFSetDirectory(tiff.get(), static_cast<tdir_t>(index - 1)) != 1) {
        return std::nullopt;
    }
    std::error_code error;
    std::uintmax_t fileSize = std::filesystem::file_size(path, error);
    return ReadPage(tiff.get(), error ? UINTMAX_MAX : fileSize);
}

}  // namespace printpdf
