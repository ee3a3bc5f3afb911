#include "printpdf/tests/ImageCases.h"

#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <functional>
#include <stdexcept>

#include "testing/RealFiles.h"
#include "testing/Scratch.h"
#include "testing/Tools.h"

namespace printpdf_tests {

namespace {

void Replace(std::string& text, const std::string& key, const std::string& value) {
    for (size_t at = text.find(key); at != std::string::npos; at = text.find(key)) {
        text.replace(at, key.size(), value);
    }
}

// The three pictures the cases are made from.
const char* const kBaseCommand =
    "convert -size 600x400 gradient:white-black -fill red -draw 'circle 150,200 150,100' "
    "-fill blue -draw 'rectangle 350,50 550,350' -alpha off -depth 8 -density 150 "
    "-units PixelsPerInch {out}";
const char* const kG4Command = "convert {base} -threshold 50% -monochrome -compress Group4 {out}";
const char* const kRgbTiffCommand = "convert {base} -compress none {out}";

}  // namespace

const std::vector<ImageCase>& ImageCases() {
    static const std::vector<ImageCase> cases = {
        {"TiffG4", "g4.tif", "cp {g4} {out}", "/CCITTFaxDecode", "/DeviceGray", 1, 150},
        {"TiffG4LsbFirst", "g4lsb.tif", "tiffcp -f lsb2msb -c g4 {g4} {out}", "/CCITTFaxDecode",
         "/DeviceGray", 1, 150},
        {"TiffG4ManyStrips", "g4strips.tif", "tiffcp -c g4 -r 64 {g4} {out}", "/FlateDecode",
         "/DeviceGray", 1, 150},
        {"TiffG3", "g3.tif", "tiffcp -c g3:2d {g4} {out}", "/FlateDecode", "/DeviceGray", 1, 150},
        {"TiffBilevelPackBits", "packbits.tif", "tiffcp -c packbits {g4} {out}", "/FlateDecode",
         "/DeviceGray", 1, 150},
        {"TiffBilevelNone", "bilevel.tif", "tiffcp -c none {g4} {out}", "/FlateDecode",
         "/DeviceGray", 1, 150},
        {"TiffGrayLzw", "gray.tif", "convert {base} -colorspace Gray -compress LZW {out}",
         "/FlateDecode", "/DeviceGray", 8, 150},
        {"Tiff2bw", "tiff2bw.tif", "tiff2bw {rgbtif} {out}", "/FlateDecode", "/DeviceGray", 8, 150},
        {"TiffPalette", "palette.tif",
         "convert {base} -colors 16 -type Palette -compress Zip {out}", "/FlateDecode", "/Indexed",
         4, 150},
        {"TiffRgbDeflate", "rgb.tif", "tiffcp -c zip {rgbtif} {out}", "/FlateDecode", "/DeviceRGB",
         8, 150},
        {"TiffRgb16", "rgb16.tif", "convert {base} -depth 16 -compress Zip {out}", "/FlateDecode",
         "/DeviceRGB", 16, 150},
        {"TiffCmyk", "cmyk.tif", "convert {base} -colorspace CMYK -compress LZW {out}",
         "/FlateDecode", "/DeviceCMYK", 8, 150},
        {"TiffJpegOneStrip", "jpeg1.tif", "tiffcp -c jpeg:r -r 10000 {rgbtif} {out}", "/DCTDecode",
         "/DeviceRGB", 8, 150},
        {"TiffJpegImageMagick", "jpegim.tif", "convert {base} -compress JPEG {out}", "/DCTDecode",
         "/DeviceRGB", 8, 150},
        {"TiffJpegManyStrips", "jpegstrips.tif", "tiffcp -c jpeg:r -r 16 {rgbtif} {out}",
         "/FlateDecode", "/DeviceRGB", 8, 150},
        {"TiffRgbAlpha", "rgba.tif",
         "convert {base} -alpha set -channel A -fx 'i<300?1:0.4' +channel -compress LZW {out}",
         "/FlateDecode", "/DeviceRGB", 8, 150, true},
        {"JpegRgb", "rgb.jpg", "convert {base} -quality 92 -units PixelsPerInch -density 150 {out}",
         "/DCTDecode", "/DeviceRGB", 8, 150},
        {"JpegGray", "gray.jpg",
         "convert {base} -colorspace Gray -units PixelsPerInch -density 150 {out}", "/DCTDecode",
         "/DeviceGray", 8, 150},
        {"JpegCmyk", "cmyk.jpg",
         "convert {base} -colorspace CMYK -units PixelsPerInch -density 150 {out}", "/DCTDecode",
         "/DeviceCMYK", 8, 150},
        {"PngRgb", "rgb.png", "cp {base} {out}", "/FlateDecode", "/DeviceRGB", 8, 150},
        {"PngGray", "gray.png", "convert {base} -colorspace Gray {out}", "/FlateDecode",
         "/DeviceGray", 8, 150},
        {"PngPalette", "palette.png", "convert {base} -colors 16 png8:{out}", "/FlateDecode",
         "/Indexed", 8, 150},
        {"PngRgb16", "rgb16.png", "convert {base} -depth 16 png48:{out}", "/FlateDecode",
         "/DeviceRGB", 16, 150},
        {"PngAlpha", "alpha.png",
         "convert {base} -alpha set -channel A -fx 'i<300?1:0.4' +channel png32:{out}",
         "/FlateDecode", "/DeviceRGB", 8, 150, true},
        {"PngInterlaced", "interlaced.png", "convert {base} -interlace PNG {out}", "/FlateDecode",
         "/DeviceRGB", 8, 150},
        {"Gif", "picture.gif", "convert {base} {out}", "/FlateDecode", "/Indexed", 8, 0},
        {"Bmp24", "rgb.bmp", "convert {base} -type TrueColor bmp3:{out}", "/FlateDecode",
         "/DeviceRGB", 8, 150},
        {"Bmp8", "palette.bmp", "convert {base} -colors 16 -type Palette bmp3:{out}",
         "/FlateDecode", "/Indexed", 4, 150},
    };
    return cases;
}

ImageFiles& ImageFiles::Get() {
    static ImageFiles files;
    return files;
}

ImageFiles::ImageFiles() : m_folder(testing_support::BuildDir() + "/test-images/printpdf") {
    std::filesystem::create_directories(m_folder);
    m_base = Make("base.png", kBaseCommand);
    m_g4 = Make("g4_source.tif", kG4Command);
    m_rgbTiff = Make("rgb_source.tif", kRgbTiffCommand);
}

// Files are kept in the build tree between test processes, named by a hash of the command
// that makes them so that a changed command makes a new file. Each is made under a name of
// its own process and renamed, so that parallel tests never see half a file.
std::string ImageFiles::Make(const std::string& fileName, const std::string& command) {
    std::string expanded = command;
    Replace(expanded, "{base}", testing_support::ShellQuote(m_base));
    Replace(expanded, "{g4}", testing_support::ShellQuote(m_g4));
    Replace(expanded, "{rgbtif}", testing_support::ShellQuote(m_rgbTiff));
    char hash[32];
    std::snprintf(hash, sizeof hash, "%016zx_", std::hash<std::string>{}(expanded));
    std::string path = m_folder + "/" + hash + fileName;
    if (std::filesystem::exists(path)) return path;
    std::string extension = fileName.substr(fileName.rfind('.'));
    std::string temporary = path + "." + std::to_string(::getpid()) + extension;
    Replace(expanded, "{out}", testing_support::ShellQuote(temporary));
    testing_support::MustRun(expanded);
    std::filesystem::rename(temporary, path);
    return path;
}

std::string ImageFiles::Path(const ImageCase& imageCase) {
    return Make(imageCase.fileName, imageCase.command);
}

const ImageCase& CaseNamed(const std::string& name) {
    for (const ImageCase& imageCase : ImageCases()) {
        if (imageCase.name == name) return imageCase;
    }
    throw std::invalid_argument("no image case " + name);
}

}  // namespace printpdf_tests
