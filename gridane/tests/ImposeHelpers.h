// Test helpers for whole runs: imposing through the settings object, reading the boxes of an
// output with pdfinfo, and input documents made by real producers.
#pragma once

#include <string>
#include <vector>

#include "gridane/JobSettings.h"
#include "gridane/SheetPlan.h"
#include "gridane/tests/PrintBoxes.h"
#include "platform/FileSpace.h"
#include "testing/Image.h"

namespace gridane::test {

// Puts the properties of `settings` ("up4 ab4 e=10 cropbox=0,0,612,792"; a bare name puts 1)
// on a fresh settings object and imposes `input` into `output` (the files in `files`); returns
// the status text.
std::string Impose(const std::string& settings, const std::string& input, const std::string& output,
                   platform::FileSpace files = {});

// The named box ("MediaBox", "CropBox", ...) of every page of `pdf`, by pdfinfo.
std::vector<Box> PageBoxes(const std::string& pdf, const std::string& boxName);

// A Ghostscript document of `pages` numbered letter pages, made once per process and path.
const std::string& NumberedLetterPdf(int pages);

// Writes `input` with the pages turned by qpdf's `rotateOptions` ("--rotate=180:2,5") into
// `output`; empty on success, else what qpdf said.
std::string TurnedByQpdf(const std::string& rotateOptions, const std::string& input,
                         const std::string& output);

// The file `name` of the engine's test data folder (gridane/tests/data).
std::string DataFile(const std::string& name);

// The geometry of every page of `pdf` as the engine reads it, for a plan over its pages.
std::vector<PageGeometry> InputPages(const std::string& pdf);

// The object numbers of the page tree's kids of `pdf`, in order, by qpdf.
std::vector<int> PageObjectNumbers(const std::string& pdf);

// The link rectangles (/Rect of each annotation) of sheet `sheet` (0-based) of `pdf`.
std::vector<Box> SheetLinks(const std::string& pdf, size_t sheet);
inline std::vector<Box> FirstSheetLinks(const std::string& pdf) {
    return SheetLinks(pdf, 0);
}

// The darkest pixel near the line (x1, y1)-(x2, y2), in points from the lower left of a sheet
// `pageHeight` points high, of `render` made at `dpi`.
int DarkestOn(const testing_support::Image& render, double dpi, double pageHeight, double x1,
              double y1, double x2, double y2);

}  // namespace gridane::test
