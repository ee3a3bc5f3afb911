// What a JPEG stream's header says: measures, components, resolution and the Adobe marker.
// Shared by the JPEG file reader and the TIFF reader's pass-through of JPEG strips.
#pragma once

#include <optional>
#include <string>

namespace printpdf {

struct JpegHeader {
    int width = 0;
    int height = 0;
    int components = 0;  // 1, 3 or 4
    bool adobeMarker = false;
    double xResolution = 0;  // dots per inch; 0 when the JFIF header states none
    double yResolution = 0;
};

// Reads the header with libjpeg; no value when it is not a JPEG stream libjpeg accepts.
std::optional<JpegHeader> ReadJpegHeader(const std::string& bytes);

}  // namespace printpdf
