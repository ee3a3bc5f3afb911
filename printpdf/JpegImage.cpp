#include "printpdf/JpegImage.h"

#include <csetjmp>
#include <cstdio>

#include <jpeglib.h>

#include "printpdf/ImageReader.h"
#include "printpdf/Resolution.h"

namespace printpdf {

namespace {

struct ErrorManager {
    jpeg_error_mgr base;
    std::jmp_buf jump;
};

void OnJpegError(j_common_ptr info) {
    std::longjmp(reinterpret_cast<ErrorManager*>(info->err)->jump, 1);
}

void IgnoreJpegMessage(j_common_ptr, int) {}

// Kept free of objects with destructors: libjpeg reports errors by a long jump out of it.
bool ReadHeaderInto(const std::string& bytes, JpegHeader& header) {
    jpeg_decompress_struct info;
    ErrorManager errors;
    info.err = jpeg_std_error(&errors.base);
    errors.base.error_exit = OnJpegError;
    errors.base.emit_message = IgnoreJpegMessage;
    if (setjmp(errors.jump) != 0) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, reinterpret_cast<const unsigned char*>(bytes.data()),
                 static_cast<unsigned long>(bytes.size()));
    jpeg_read_header(&info, TRUE);
    header.width = static_cast<int>(info.image_width);
    header.height = static_cast<int>(info.image_height);
    header.components = info.num_components;
    header.adobeMarker = info.saw_Adobe_marker != 0;
    if (info.saw_JFIF_marker && info.density_unit == 1) {
        header.xResolution = info.X_density;
        header.yResolution = info.Y_density;
    } else if (info.saw_JFIF_marker && info.density_unit == 2) {
        header.xResolution = DotsPerInchFromPerCentimetre(info.X_density);
        header.yResolution = DotsPerInchFromPerCentimetre(info.Y_density);
    }
    jpeg_destroy_decompress(&info);
    return true;
}

}  // namespace

std::optional<JpegHeader> ReadJpegHeader(const std::string& bytes) {
    JpegHeader header;
    if (!ReadHeaderInto(bytes, header)) return std::nullopt;
    if (header.width <= 0 || header.height <= 0) return std::nullopt;
    if (header.components != 1 && header.components != 3 && header.components != 4) {
        return std::nullopt;
    }
    return header;
}

// The file's data goes into the PDF as it stands: DCT-decoding readers decompress it, so the
// picture is neither recompressed nor made any worse.
std::optional<EmbeddedImage> ReadJpegImage(const std::string& bytes) {
    std::optional<JpegHeader> header = ReadJpegHeader(bytes);
    if (!header) return std::nullopt;
    EmbeddedImage image;
    image.width = header->width;
    image.height = header->height;
    image.xResolution = header->xResolution;
    image.yResolution = header->yResolution;
    image.bitsPerComponent = 8;
    image.colorSpace = header->components == 1   ? "/DeviceGray"
                       : header->components == 3 ? "/DeviceRGB"
                                                 : "/DeviceCMYK";
    // Adobe's programs write CMYK JPEG inverted and mark it so.
    if (header->components == 4 && header->adobeMarker) image.decode = "[1 0 1 0 1 0 1 0]";
    image.filter = "/DCTDecode";
    image.data = MakeBuffer(bytes.data(), bytes.size());
    return image;
}

}  // namespace printpdf
