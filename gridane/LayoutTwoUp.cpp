// The layouts of the small groups: 2-up (sequential, the duplex orders, outside-in booklet
// pairing, cut and stack), 2-to-1 (halves of a doubled document) and 3-up.
#include <algorithm>
#include <utility>

#include "gridane/LayoutBuilder.h"

namespace gridane::layout {
namespace {

// The two cells of one 2-up side in the sequential branch, with the order flags applied in
// their fixed order, each overwriting the previous one.
std::pair<int, int> TwoUpSide(const JobSettings& s, int n, bool back, int& outerInCounter,
                              int pairingLast) {
    std::pair<int, int> side = back ? std::pair{n + 1, n} : std::pair{n, n + 1};
    if (s.duplex1423) side = back ? std::pair{n - 1, n} : std::pair{n, n + 3};
    if (s.duplex1342) side = back ? std::pair{n + 1, n - 1} : std::pair{n, n + 2};
    if (s.duplex4123) side = back ? std::pair{n - 1, n} : std::pair{n + 3, n};
    if (s.outer_in) {
        int m = ++outerInCounter;
        int f = pairingLast - m + 1;
        side = back ? std::pair{m, f} : std::pair{f, m};
    }
    return side;
}

// A booklet in sections of `sheets` sheets from the first page on: each section paired
// outside in as a booklet of its own; the last one holds what is left, padded with blank
// pages to whole sheets.
void AddBookletSections(int first, int sheets, SheetListBuilder& out) {
    // A section larger than the range is the whole range: no product of sheets overflows.
    int sectionPages = 4 * std::min(sheets, (out.LastPage() - first + 4) / 4);
    for (int start = first; start <= out.LastPage(); start += sectionPages) {
        int pages = std::min(sectionPages, (out.LastPage() - start + 4) / 4 * 4);
        int end = start + pages - 1;
        for (int k = 0; k < pages / 2; ++k) {
            bool back = k % 2 == 1;
            int inner = start + k, outer = end - k;
            out.Add(back ? std::vector<int>{inner, outer} : std::vector<int>{outer, inner});
        }
    }
}

}  // namespace

void PlanTwoUp(const JobSettings& s, SheetListBuilder& out) {
    int last = out.LastPage();
    if (s.ab) {
        if (s.duplicate) return AddDuplicateSides(out, s.firstPage, 2);
        if (s.outer_in && s.signature > 0) return AddBookletSections(s.firstPage, s.signature, out);
        // An odd booklet is paired as if it had one more page, which stays blank.
        int pairingLast = s.outer_in && last % 2 == 1 ? last + 1 : last;
        bool flips = s.duplex || s.duplex1423 || s.duplex1342 || s.duplex4123 || s.outer_in;
        bool back = false;
        int outerInCounter = 0;
        for (int n = s.firstPage; n <= pairingLast; n += 2) {
            auto [left, right] = TwoUpSide(s, n, back, outerInCounter, pairingLast);
            out.Add({left, right});
            if (flips) back = !back;
        }
        return;
    }
    if (s.split || s.outer_in) {
        auto sequences = CutAndStackSequences(s.firstPage, last, 2);
        if (s.duplicate) return AddDuplicateSidesOf(out, sequences, 2);
        for (const auto& sequence : sequences) out.Add(sequence);
    }
}

void PlanTwoToOne(const JobSettings& s, int pageCount, SheetListBuilder& out) {
    // Page M + k of the doubled document is the copy of page k: each page is followed by its
    // copy, and the sheet writer shows one half of the first and the other half of the second.
    int half = pageCount / 2;
    for (int i = s.firstPage; i <= out.LastPage() / 2; ++i) {
        out.Add({i});
        out.Add({i + half});
    }
}

void PlanThreeUp(const JobSettings& s, SheetListBuilder& out) {
    int last = out.LastPage();
    if (s.ab || s.ab3) {
        if (s.duplicate) return AddDuplicateSides(out, s.firstPage, 3);
        // A column of three printed on both sides: the back shows it mirrored, as the 2-up
        // duplex order swaps its pair.
        bool mirrorBacks = s.down && s.up3down && s.duplex;
        bool back = false;
        for (int k = s.firstPage; k <= last; k += 3) {
            if (mirrorBacks && back) {
                out.Add({k + 2, k + 1, k});
            } else {
                out.Add({k, k + 1, k + 2});
            }
            if (s.down && s.duplex) back = !back;
        }
        return;
    }
    if (s.split) {
        int bound = 3 * ((last + 2) / 3);
        if (s.duplicate) {
            for (int page = s.firstPage; page <= last; ++page) out.Add({page, page, page});
            return;
        }
        for (int k = s.firstPage; k <= bound; k += 3) out.Add({k, k + 1, k + 2});
    }
}

}  // namespace gridane::layout
