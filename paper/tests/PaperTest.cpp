// The paper table and the sheet-size grammar every reader of a paper name shares.
#include <gtest/gtest.h>

#include "paper/PaperTable.h"
#include "paper/SheetSize.h"

namespace paper {
namespace {

SheetSize SizeOf(std::string_view text) {
    std::optional<SheetSizeOrError> parsed = ParseSheetSize(text);
    return parsed && std::holds_alternative<SheetSize>(*parsed) ? std::get<SheetSize>(*parsed)
                                                                : SheetSize{};
}

TEST(SheetSizeTest, NamesAliasesPointsAndOrientation) {
    EXPECT_EQ(ParseSheetSize(""), std::nullopt);
    EXPECT_NEAR(SizeOf("a4").width, 210 * kPointsPerMm, 1e-9);
    EXPECT_NEAR(SizeOf("Letter").height, 792, 1e-9);
    EXPECT_EQ(SizeOf("letter"), SizeOf("US Letter"));
    EXPECT_EQ(SizeOf("LETTER").paper, "US Letter");
    EXPECT_EQ(SizeOf("Tabloid").width, SizeOf("11x17").width);
    // Names with a comma are names, not W,H.
    EXPECT_NEAR(SizeOf("Folio, F4").height, 330 * kPointsPerMm, 1e-9);
    EXPECT_EQ(SizeOf("612,792"), (SheetSize{612, 792, SheetOrientation::Automatic, {}}));
    EXPECT_EQ(SizeOf(" 612 , 792.5 :Landscape"),
              (SheetSize{612, 792.5, SheetOrientation::Landscape, {}}));
    EXPECT_EQ(SizeOf("A3:portrait").orientation, SheetOrientation::Portrait);
    // Published sizes, portrait, whatever the conversion dialog's pairs hold.
    EXPECT_NEAR(SizeOf("2A0").width, 1189 * kPointsPerMm, 1e-9);
    EXPECT_NEAR(SizeOf("C2").height, 648 * kPointsPerMm, 1e-9);
    EXPECT_TRUE(std::holds_alternative<std::string>(*ParseSheetSize("612,abc")));
    for (const char* refused : {"1e9,5", "1e3,842", "+612,792", "612,-5", "A4:sideways"}) {
        EXPECT_TRUE(std::holds_alternative<std::string>(*ParseSheetSize(refused))) << refused;
    }
}

TEST(PaperTableTest, OneRowPerNameWithTheDialogsListFirst) {
    ASSERT_EQ(DialogPapers().size(), 56u);
    EXPECT_EQ(DialogPapers().front().name, "US Letter");
    EXPECT_EQ(DialogPapers().back().name, "ANSI E");
    for (const Paper& paper : Papers()) {
        EXPECT_EQ(FindPaper(paper.name), &paper) << paper.name;
        EXPECT_LE(paper.widthMm, paper.heightMm) << paper.name;
    }
    // The dialog keeps its own pairs; the rows after its list have none.
    EXPECT_EQ(FindPaper("a8")->dialog.widthPt, 210);
    EXPECT_EQ(FindPaper(" Index card ")->name, "Index Card 5x8");
    EXPECT_EQ(FindPaper("SRA4")->dialog.widthPt, 0);
    EXPECT_EQ(FindPaper("Custom"), nullptr);
}

}  // namespace
}  // namespace paper
