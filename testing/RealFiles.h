// Making input files with real tools and reading back what a PDF shows, for tests of the
// image conversion and page handling.
#pragma once

#include <string>

#include "testing/Image.h"

namespace testing_support {

// Runs `command` through /bin/sh; throws std::runtime_error with its output when it fails.
void MustRun(const std::string& command);

// ImageMagick's own reading of image `index` (0-based) of `imageFile`, put on white and
// turned to gray at width x height pixels: the reference a rendered page is compared with.
Image ImageMagickPicture(const std::string& imageFile, int index, int width, int height);

// The mean difference (0..255) between page `page` of `pdf` rendered at `dpi` and image
// `index` of `imageFile` as ImageMagick reads it, at the render's size.
double PageDifferenceFromImage(const std::string& pdf, int page, int dpi,
                               const std::string& imageFile, int index);

struct PageSize {
    double width = 0;
    double height = 0;
};

// The size in points of page `page` as pdfinfo reports it (rotation applied); 0 x 0 when
// pdfinfo cannot tell.
PageSize PdfPageSize(const std::string& pdf, int page);

// The text of page `page` as pdftotext extracts it, without surrounding white space.
std::string PageText(const std::string& pdf, int page);

}  // namespace testing_support
