// An image ready to be written into a PDF file: its PDF description (colour space, bits,
// filter and its parameters) and its encoded bytes, plus the measures the library reports.
//
// Readers of each image format make one; documents turn it into an image XObject. The
// encoded bytes are held by shared buffers, so every document that draws the image shares them
// with the instance's image store instead of copying them.
#pragma once

#include <memory>
#include <string>

#include <qpdf/Buffer.hh>

namespace printpdf {

struct SoftMask {
    int width = 0;
    int height = 0;
    std::shared_ptr<Buffer> data;  // 8-bit gray alpha, Flate-compressed
};

struct EmbeddedImage {
    int width = 0;           // pixels
    int height = 0;          // pixels
    double xResolution = 0;  // dots per inch; 0 when the file states none
    double yResolution = 0;

    // PDF syntax of the image dictionary's entries; empty ones are left out.
    std::string colorSpace;  // e.g. "/DeviceGray", or an /Indexed array (see palette)
    std::string palette;     // for an /Indexed space: the table's bytes (RGB triples)
    int bitsPerComponent = 8;
    std::string filter;        // "/FlateDecode", "/DCTDecode", "/CCITTFaxDecode"
    std::string decodeParms;   // e.g. "<< /K -1 /Columns 100 >>"
    std::string decode;        // e.g. "[1 0]"
    std::string colorKeyMask;  // e.g. "[3 3]": the palette index shown as transparent
    std::shared_ptr<Buffer> data;
    std::shared_ptr<SoftMask> softMask;
};

// A buffer holding a copy of `bytes`.
std::shared_ptr<Buffer> MakeBuffer(const void* bytes, size_t size);

}  // namespace printpdf
