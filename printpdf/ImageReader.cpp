#include "printpdf/ImageReader.h"

#include <fstream>
#include <iterator>

namespace printpdf {

namespace {

// Image files past this size are refused: no page picture needs more.
constexpr std::streamoff kMaxImageFileBytes = std::streamoff{1} << 30;

std::optional<std::string> ReadFileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    in.seekg(0, std::ios::end);
    std::streamoff size = in.tellg();
    if (size < 0 || size > kMaxImageFileBytes) return std::nullopt;
    in.seekg(0);
    std::string bytes(static_cast<size_t>(size), '\0');
    if (!in.read(bytes.data(), size)) return std::nullopt;
    return bytes;
}

}  // namespace

ImageFormat DetectImageFormat(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    char head[8] = {};
    if (!in.read(head, sizeof head)) return ImageFormat::Unknown;
    std::string_view magic(head, sizeof head);
    using namespace std::string_view_literals;
    std::string_view four = magic.substr(0, 4);
    if (four == "II*\0"sv || four == "MM\0*"sv || four == "II+\0"sv || four == "MM\0+"sv) {
        return ImageFormat::Tiff;
    }
    if (magic.substr(0, 3) == "\xFF\xD8\xFF") return ImageFormat::Jpeg;
    if (magic == "\x89PNG\r\n\x1A\n") return ImageFormat::Png;
    if (magic.substr(0, 4) == "GIF8") return ImageFormat::Gif;
    if (magic.substr(0, 2) == "BM") return ImageFormat::Bmp;
    return ImageFormat::Unknown;
}

int CountImages(const std::string& path) {
    switch (DetectImageFormat(path)) {
        case ImageFormat::Tiff:
            return CountTiffImages(path);
        case ImageFormat::Gif:
            return CountGifImages(path);
        case ImageFormat::Unknown:
            return 0;
        default:
            return 1;  // single-image formats; whether it decodes shows when it is read
    }
}

std::optional<EmbeddedImage> ReadImage(const std::string& path, int index) {
    ImageFormat format = DetectImageFormat(path);
    if (format == ImageFormat::Tiff) return ReadTiffImage(path, index);
    if (format == ImageFormat::Gif) return ReadGifImage(path, index);
    if (format == ImageFormat::Unknown || index != 1) return std::nullopt;
    std::optional<std::string> bytes = ReadFileBytes(path);
    if (!bytes) return std::nullopt;
    switch (format) {
        case ImageFormat::Jpeg:
            return ReadJpegImage(*bytes);
        case ImageFormat::Png:
            return ReadPngImage(*bytes);
        default:
            return ReadBmpImage(*bytes);
    }
}

}  // namespace printpdf
