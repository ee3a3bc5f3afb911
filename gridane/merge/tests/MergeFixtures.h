// Real input documents for the merge and append tests, made with Ghostscript from PostScript:
// pages with their own fonts, an image, links and outlines, so that resources, annotations and
// outlines of real producers pass through the code under test.
#pragma once

#include <string>

#include "testing/Image.h"

namespace gridane_test {

struct FixtureOptions {
    int pages = 3;
    // Fonts cycle through this list page by page (PostScript font names).
    std::string fonts = "Times-Roman Courier-Bold Helvetica";
    bool image = true;     // an 80 x 80 gray image on every page
    bool links = false;    // a link to the next page on every page, Rect [40 40 240 120]
    bool outlines = false; // one outline item per page
    int width = 612;
    int height = 792;
    std::string label = "P";  // printed before the page number
};

// PostScript text of such a document.
std::string FixturePostScript(const FixtureOptions& options);

// Makes the PDF at `pdf` with Ghostscript.
void MakeFixturePdf(const FixtureOptions& options, const std::string& pdf);

// Mean pixel difference of two rendered pages (30 dpi), 0 for identical pictures.
double PageDifference(const std::string& pdfA, int pageA, const std::string& pdfB, int pageB);

// Number of times `needle` occurs in the objects of `pdf` that a reader reaches, counted in its
// uncompressed rewrite by qpdf (unreferenced objects are left out).
int CountInReachableObjects(const std::string& pdf, const std::string& needle);

}  // namespace gridane_test
