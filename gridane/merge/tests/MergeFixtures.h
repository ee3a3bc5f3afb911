// Real input documents for the merge and append tests, made with Ghostscript from PostScript:
// pages with their own fonts, an image, links and outlines, so that resources, annotations and
// outlines of real producers pass through the code under test.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "testing/Image.h"

namespace gridane_test {

struct FixtureOptions {
    int pages = 3;
    // Fonts cycle through this list page by page (PostScript font names).
    std::string fonts = "Times-Roman Courier-Bold Helvetica";
    bool image = true;                            // a 250 x 250 point gray image on every page
    std::string imageShade = "dup 7 mod 36 mul";  // PostScript: pixel index -> gray byte
    bool links = false;     // a link to the next page on every page, Rect [40 40 240 120]
    bool outlines = false;  // one outline item per page
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

namespace gridane_test {

// A Rect as four numbers.
using RectValues = std::array<double, 4>;

// One annotation of an output page: its object number, Rect and, for a link, the object
// number of the page it leads to (its /Dest or its GoTo action's /D; 0 when none).
struct PlacedAnnotation {
    int number = 0;
    RectValues rect{};
    int destination = 0;
};

// The pages of a document in order (their object numbers) and the annotations of each.
struct DocumentAnnotations {
    std::vector<int> pageObjects;
    std::vector<std::vector<PlacedAnnotation>> pages;
};

// Read with the PDF layer.
DocumentAnnotations AnnotationsPerPage(const std::string& pdf);

}  // namespace gridane_test
