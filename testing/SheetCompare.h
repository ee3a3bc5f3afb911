// Render-and-compare for imposed sheets: the expected picture of a sheet is composed from the
// renders of the input pages, each put at its cell's place (and turned where the cell turns
// it), and compared with the render of the sheet itself.
//
// `PageRenders` renders each input page once, when first asked, and keeps the pictures for
// the life of the object.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "testing/Image.h"

namespace testing_support {

// One page on a sheet: input page `page` (1-based; 0 leaves the cell white) with its top-left
// corner at (x, y) points from the sheet's top-left corner, turned clockwise by
// `quarterTurns` quarter turns.
struct PlacedPage {
    int page = 0;
    double x = 0;
    double y = 0;
    int quarterTurns = 0;
};

// The cells of a grid of `columns` columns, filled row by row from the top-left with `pages`,
// each cell `cellWidth` x `cellHeight` points plus the gaps between cells.
std::vector<PlacedPage> GridPlacement(const std::vector<int>& pages, int columns, double cellWidth,
                                      double cellHeight, double gapX = 0, double gapY = 0);

class PageRenders {
  public:
    PageRenders(std::string pdf, int dpi) : m_pdf(std::move(pdf)), m_dpi(dpi) {}
    const Image& Page(int page);
    int Dpi() const { return m_dpi; }

  private:
    std::string m_pdf;
    int m_dpi;
    std::map<int, Image> m_pages;
};

// The expected picture of a sheet of `width` x `height` pixels.
Image ComposeSheet(PageRenders& input, const std::vector<PlacedPage>& cells, int width, int height);

// Mean difference (0..255) between the render of page `sheet` (1-based) of `outputPdf` and the
// sheet composed from `input`'s pages at the same resolution. When `keepPictures` names a
// path prefix, both pictures are written there as PGM files for a look by eye.
double SheetDifference(const std::string& outputPdf, int sheet, PageRenders& input,
                       const std::vector<PlacedPage>& cells, const std::string& keepPictures = {});

}  // namespace testing_support
