#include "testing/SheetCompare.h"

#include <cmath>

#include "testing/Tools.h"

namespace testing_support {

std::vector<PlacedPage> GridPlacement(const std::vector<int>& pages, int columns, double cellWidth,
                                      double cellHeight, double gapX, double gapY) {
    std::vector<PlacedPage> cells;
    for (size_t k = 0; k < pages.size(); ++k) {
        int column = static_cast<int>(k) % columns;
        int row = static_cast<int>(k) / columns;
        cells.push_back({pages[k], column * (cellWidth + gapX), row * (cellHeight + gapY), 0});
    }
    return cells;
}

const Image& PageRenders::Page(int page) {
    auto found = m_pages.find(page);
    if (found != m_pages.end()) return found->second;
    return m_pages.emplace(page, RenderPage(m_pdf, page, m_dpi)).first->second;
}

Image ComposeSheet(PageRenders& input, const std::vector<PlacedPage>& cells, int width,
                   int height) {
    Image sheet(width, height, 255);
    double scale = input.Dpi() / 72.0;
    for (const PlacedPage& cell : cells) {
        if (cell.page < 1) continue;
        Image picture = input.Page(cell.page).Rotate(cell.quarterTurns);
        int left = static_cast<int>(std::lround(cell.x * scale));
        int top = static_cast<int>(std::lround(cell.y * scale));
        for (int y = 0; y < picture.Height(); ++y) {
            for (int x = 0; x < picture.Width(); ++x) {
                int sx = left + x, sy = top + y;
                if (sx >= 0 && sy >= 0 && sx < width && sy < height) {
                    sheet.At(sx, sy) = picture.At(x, y);
                }
            }
        }
    }
    return sheet;
}

double SheetDifference(const std::string& outputPdf, int sheet, PageRenders& input,
                       const std::vector<PlacedPage>& cells, const std::string& keepPictures) {
    Image actual = RenderPage(outputPdf, sheet, input.Dpi());
    Image expected = ComposeSheet(input, cells, actual.Width(), actual.Height());
    if (!keepPictures.empty()) {
        actual.WritePgm(keepPictures + "-actual.pgm");
        expected.WritePgm(keepPictures + "-expected.pgm");
    }
    return actual.MeanDifference(expected);
}

}  // namespace testing_support
