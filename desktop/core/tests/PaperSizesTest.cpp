#include "desktop/core/PaperSizes.h"

#include <gtest/gtest.h>

#include "paper/PaperTable.h"

namespace desktop {
namespace {

TEST(PaperSizesTest, ListsHold57NamesEndingInCustom) {
    std::span<const std::string_view> names = PaperSizeNames();
    ASSERT_EQ(names.size(), 57u);
    EXPECT_EQ(names.front(), "US Letter");
    EXPECT_EQ(names[15], "2A0");
    EXPECT_EQ(names[17], "Folio, F4");
    EXPECT_EQ(names[23], "US Government");
    EXPECT_EQ(names[26], "B0");
    EXPECT_EQ(names[37], "C0");
    EXPECT_EQ(names[48], "Arch A");
    EXPECT_EQ(names[55], "ANSI E");
    EXPECT_EQ(names.back(), "Custom");
}

TEST(PaperSizesTest, LookupsGiveTheHeldPairs) {
    EXPECT_EQ(LookupPoints("A4"), (PointSize{595, 842}));
    EXPECT_EQ(LookupMillimetres("A4"), (MillimetreSize{210, 297}));
    // Rows held differently from their published sizes stay as held.
    EXPECT_EQ(LookupPoints("A8"), (PointSize{210, 147}));
    EXPECT_EQ(LookupMillimetres("A8"), (MillimetreSize{74, 52}));
    EXPECT_EQ(LookupPoints("2A0"), (PointSize{6741, 4768}));
    EXPECT_EQ(LookupPoints("C2"), (PointSize{1837, 578}));
    EXPECT_EQ(LookupPoints("Arch A"), (PointSize{864, 648}));
    EXPECT_EQ(LookupMillimetres("Arch A"), (MillimetreSize{229, 305}));
    EXPECT_EQ(LookupMillimetres("Tabloid"), (MillimetreSize{431.8, 279.4}));
    EXPECT_EQ(LookupMillimetres("US Government"), (MillimetreSize{203.2, 266.7}));
    // The old misspelling, as setup files of earlier versions hold it, finds the same paper.
    EXPECT_EQ(LookupMillimetres("US Goverment"), (MillimetreSize{203.2, 266.7}));
    // Names are found as the paper table finds them; "Custom", unknown names and papers
    // outside the dialog's list leave the pair alone.
    EXPECT_EQ(LookupPoints("a4"), (PointSize{595, 842}));
    EXPECT_EQ(LookupPoints("Letter"), (PointSize{612, 792}));
    EXPECT_EQ(LookupPoints("Custom"), std::nullopt);
    EXPECT_EQ(LookupMillimetres("Custom"), std::nullopt);
    EXPECT_EQ(LookupPoints("SRA4"), std::nullopt);
    EXPECT_EQ(LookupPoints(""), std::nullopt);
}

TEST(PaperSizesTest, StoredPairsShowTheirNameOrCustom) {
    EXPECT_EQ(PaperNameForPoints(612, 792), "US Letter");
    EXPECT_EQ(PaperNameForPoints(600, 800), "Custom");
    EXPECT_EQ(PaperNameForPoints(792, 612), "Custom");  // turned pairs are not matched
    EXPECT_EQ(PaperNameForPoints(0, 0), "Custom");
    EXPECT_EQ(PaperNameForMillimetres(215.9, 279.4), "US Letter");
    EXPECT_EQ(PaperNameForMillimetres(215.90001, 279.4), "Custom");
    EXPECT_EQ(PaperNameForMillimetres(0, 0), "Custom");
}

TEST(PaperSizesTest, EveryRowIsFoundBackByBothReverseLookups) {
    // No two rows share a pair, so each pair leads back to its own name.
    for (const paper::Paper& row : paper::DialogPapers()) {
        const paper::DialogSize& size = row.dialog;
        EXPECT_EQ(PaperNameForPoints(size.widthPt, size.heightPt), row.name);
        EXPECT_EQ(PaperNameForMillimetres(size.widthMm, size.heightMm), row.name);
        EXPECT_EQ(LookupPoints(row.name), (PointSize{size.widthPt, size.heightPt}));
    }
}

TEST(PaperSizesTest, ChoosingANameFillsThePairOrEnablesTheEdits) {
    int width = 1, height = 2;
    EXPECT_FALSE(ChoosePaperPoints("A8", width, height));
    EXPECT_EQ(width, 210);
    EXPECT_EQ(height, 147);
    EXPECT_TRUE(ChoosePaperPoints("Custom", width, height));
    EXPECT_EQ(width, 210);
    EXPECT_FALSE(ChoosePaperPoints("Tabloid", width, height));
    EXPECT_EQ(height, 792);
    double mmWidth = 0, mmHeight = 0;
    EXPECT_FALSE(ChoosePaperMillimetres("A4", mmWidth, mmHeight));
    EXPECT_EQ(mmWidth, 210);
    EXPECT_EQ(mmHeight, 297);
}

}  // namespace
}  // namespace desktop
