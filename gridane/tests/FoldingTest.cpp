// Folded signatures checked the way a bindery would: every sheet of the plan is folded as the
// scheme says (the last fold along, the ones before alternately across and along, each taking
// the left, or right to left the right, and the upper half under), the signatures nested or
// stacked, the cover wrapped round, every folded edge but the spine cut, and the leaves read
// one by one. The pages must read 1..n, each upright, for every fold, binding and page count.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numeric>

#include "gridane/FoldedSignatures.h"
#include "gridane/SheetLayout.h"
#include "gridane/SheetPlan.h"
#include "gridane/tests/SettingsFromText.h"

namespace gridane {
namespace {

using test::SettingsFromText;

// A 2 x 2 matrix of 0, 1 and -1: a turn or mirror of the sheet's front coordinates.
struct Turn {
    int a = 1, b = 0, c = 0, d = 1;
    Turn Then(const Turn& next) const {
        return {next.a * a + next.b * c, next.a * b + next.b * d, next.c * a + next.d * c,
                next.c * b + next.d * d};
    }
    std::pair<int, int> Of(std::pair<int, int> v) const {
        return {a * v.first + b * v.second, c * v.first + d * v.second};
    }
    int Det() const { return a * d - b * c; }
};
const Turn kMirrorX{-1, 0, 0, 1}, kMirrorY{1, 0, 0, -1};
const std::pair<int, int> kUp{0, 1};

// One cell of a sheet as paper: where it lies now, its depth in the stack, the turn of the
// front's coordinates into the present ones, and the page and head direction (in the front's
// coordinates) of each face.
struct Piece {
    double x = 0, y = 0;  // its centre
    int depth = 0;
    Turn turn;
    int frontPage = 0, backPage = 0;
    std::pair<int, int> frontHead = kUp, backHead = kUp;
};

std::pair<int, int> HeadOf(const PlannedCell& cell) {
    return cell.quarterTurns == 2 ? std::pair{0, -1} : kUp;
}

// The pieces of one sheet, turned over its long edge for the back (the printer's default): the
// left or right edge of a portrait sheet, the top or bottom one of a landscape sheet.
std::vector<Piece> PiecesOf(const PlannedSide& front, const PlannedSide* back) {
    std::vector<Piece> pieces;
    for (const PlannedCell& cell : front.cells) {
        Piece piece;
        piece.x = (cell.rect.x1 + cell.rect.x2) / 2;
        piece.y = (cell.rect.y1 + cell.rect.y2) / 2;
        piece.frontPage = cell.page;
        piece.frontHead = HeadOf(cell);
        pieces.push_back(piece);
    }
    if (back == nullptr) return pieces;
    double width = front.mediaBox.box.x2, height = front.mediaBox.box.y2;
    bool overLeftRight = height >= width;
    for (const PlannedCell& cell : back->cells) {
        double x = (cell.rect.x1 + cell.rect.x2) / 2, y = (cell.rect.y1 + cell.rect.y2) / 2;
        (overLeftRight ? x : y) = overLeftRight ? width - x : height - y;
        auto behind = std::find_if(pieces.begin(), pieces.end(), [&](const Piece& p) {
            return std::abs(p.x - x) < 0.5 && std::abs(p.y - y) < 0.5;
        });
        EXPECT_NE(behind, pieces.end()) << "a back cell has no front at " << x << "," << y;
        if (behind == pieces.end()) continue;
        behind->backPage = cell.page;
        behind->backHead = (overLeftRight ? kMirrorX : kMirrorY).Of(HeadOf(cell));
    }
    return pieces;
}

// Folds the pieces `folds` times and reads the leaves: each leaf's upper face, then its lower
// face once the leaf is turned over the spine. Pages that stand on their heads fail the test.
std::vector<int> FoldAndRead(std::vector<Piece> pieces, int folds, bool rtl) {
    for (int k = 0, height = 1; k < folds; ++k, height *= 2) {
        bool along = (folds - k) % 2 == 1;
        double low = 1e9, high = -1e9;
        for (const Piece& p : pieces) {
            low = std::min(low, along ? p.x : p.y);
            high = std::max(high, along ? p.x : p.y);
        }
        double line = (low + high) / 2;
        for (Piece& p : pieces) {
            double& place = along ? p.x : p.y;
            bool moves = along ? (rtl ? place > line : place < line) : place > line;
            if (!moves) continue;
            place = 2 * line - place;
            p.depth = 2 * height - 1 - p.depth;
            p.turn = p.turn.Then(along ? kMirrorX : kMirrorY);
        }
    }
    std::sort(pieces.begin(), pieces.end(),
              [](const Piece& a, const Piece& b) { return a.depth < b.depth; });
    std::vector<int> pages;
    for (size_t d = 0; d < pieces.size(); ++d) {
        const Piece& p = pieces[d];
        EXPECT_EQ(p.depth, static_cast<int>(d)) << "two pieces share a layer";
        bool frontUp = p.turn.Det() > 0;
        auto upHead = p.turn.Of(frontUp ? p.frontHead : p.backHead);
        auto downHead = kMirrorX.Of(p.turn.Of(frontUp ? p.backHead : p.frontHead));
        int up = frontUp ? p.frontPage : p.backPage, down = frontUp ? p.backPage : p.frontPage;
        EXPECT_TRUE(up == 0 || upHead == kUp) << "page " << up << " is not upright";
        EXPECT_TRUE(down == 0 || downHead == kUp) << "page " << down << " is not upright";
        pages.push_back(up);
        pages.push_back(down);
    }
    return pages;
}

int FoldsOf(int fold) {
    return fold == 4 ? 1 : fold == 8 ? 2 : fold == 16 ? 3 : 4;
}

// The book bound from the plan's sides, read from its first leaf to its last.
std::vector<int> ReadBook(const SheetPlan& plan, const JobSettings& s) {
    std::vector<std::vector<int>> sheets;
    for (size_t k = 0; k < plan.sides.size(); k += 2) {
        const PlannedSide* back = k + 1 < plan.sides.size() ? &plan.sides[k + 1] : nullptr;
        std::vector<Piece> pieces = PiecesOf(plan.sides[k], back);
        bool cover = k == 0 && s.cover == "separate";
        if (cover) {
            // The cover is cut from the two middle cells of the lowest row, folded once.
            Grid grid = FoldGrid(s.fold);
            size_t middle = size_t((grid.rows - 1) * grid.columns + grid.columns / 2);
            pieces = {pieces[middle - 1], pieces[middle]};
        }
        sheets.push_back(FoldAndRead(pieces, cover ? 1 : FoldsOf(s.fold), s.rightToLeft));
    }
    std::vector<int> book;
    size_t bodyStart = s.cover == "separate" ? 1 : 0;
    if (s.binding == "perfect") {
        for (size_t k = bodyStart; k < sheets.size(); ++k)
            book.insert(book.end(), sheets[k].begin(), sheets[k].end());
    } else {
        // Nested: each signature's first half, the ones inside it, then its second half.
        for (size_t k = sheets.size(); k-- > bodyStart;) {
            std::vector<int> wrapped(sheets[k].begin(), sheets[k].begin() + s.fold / 2);
            wrapped.insert(wrapped.end(), book.begin(), book.end());
            wrapped.insert(wrapped.end(), sheets[k].begin() + s.fold / 2, sheets[k].end());
            book = std::move(wrapped);
        }
    }
    if (bodyStart == 1) {
        book.insert(book.begin(), sheets[0].begin(), sheets[0].begin() + 2);
        book.insert(book.end(), sheets[0].begin() + 2, sheets[0].end());
    }
    return book;
}

// What the bound book must read: the pages, blanks only where a signature is not full (with a
// separate cover, before the last two pages).
std::vector<int> ExpectedBook(int pages, int fold, bool cover) {
    auto page = [&](int n) { return n <= pages ? n : 0; };
    int body = cover ? std::max(0, pages - 4) : pages;
    int padded = (body + fold - 1) / fold * fold;
    std::vector<int> book;
    if (cover) book = {page(1), page(2)};
    for (int k = 1; k <= padded; ++k) book.push_back(k <= body ? k + (cover ? 2 : 0) : 0);
    if (cover) {
        int last = std::max(4, pages);
        book.push_back(page(last - 1));
        book.push_back(page(last));
    }
    return book;
}

TEST(Folding, EveryFoldBindingAndPageCountReadsInOrder) {
    std::vector<PageGeometry> a5(70);
    for (PageGeometry& page : a5) page.mediaBox = {0, 0, 420, 595};
    for (int fold : {4, 8, 16, 32}) {
        for (const char* binding : {"saddle", "perfect"}) {
            for (const char* extra : {"", "cover=separate", "rtl", "rtl cover=separate"}) {
                for (int pages = 1; pages <= 70; ++pages) {
                    std::string text = "fold=" + std::to_string(fold) + " binding=" + binding +
                                       " gutter=10 outer_margin=20 " + extra;
                    JobSettings s = SettingsFromText(text);
                    ASSERT_EQ(CheckSheetSettings(s), "") << text;
                    std::vector<PageGeometry> input(a5.begin(), a5.begin() + pages);
                    SheetPlan plan = BuildSheetPlan(s, input);
                    ASSERT_EQ(plan.problem, "") << text;
                    std::vector<int> expected = ExpectedBook(pages, fold, s.cover == "separate");
                    std::vector<int> book = ReadBook(plan, s);
                    // A last back side with no page is left out of the output.
                    book.resize(std::max(book.size(), expected.size()), 0);
                    ASSERT_EQ(book, expected) << text << " with " << pages << " pages";
                }
            }
        }
    }
}

TEST(Folding, RefusesWhatCannotBeFolded) {
    const std::pair<const char*, const char*> cases[] = {
        {"fold=6", "Fold 6 is not 4, 8, 16 or 32 pages a signature (0 for none)\n"},
        {"fold=8 binding=spiral", "Binding 'spiral' is neither saddle nor perfect\n"},
        {"fold=8 cover=glued", "Cover 'glued' is not separate\n"},
        {"binding=perfect", "Binding and cover apply to folded signatures: give fold\n"},
        {"fold=8 grid=2x2",
         "Fold lays out its own sheets: it does not combine with grid, repeat, duplicate or cut "
         "and stack\n"},
        {"fold=8 signature=2",
         "Each folded sheet is a signature of its own: give binding instead of signature\n"},
        {"fold=16 creep=0.1", "Creep applies to the 2-up booklet, not to fold\n"},
    };
    for (const auto& [settings, message] : cases)
        EXPECT_EQ(CheckSheetSettings(SettingsFromText(settings)), message) << settings;
}

}  // namespace
}  // namespace gridane
