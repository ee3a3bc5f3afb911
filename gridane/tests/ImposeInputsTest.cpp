// Runs on inputs of varied make: rewritten by qpdf in its several forms, hand-made with
// inherited attributes, generations other than 0 and bytes before the header, turned and
// mixed-size pages; and the kept pages around a range.
#include <gtest/gtest.h>

#include "gridane/tests/ImposeHelpers.h"
#include "testing/PdfBuilder.h"
#include "testing/Scratch.h"
#include "testing/SheetCompare.h"
#include "testing/Tools.h"

namespace gridane {
namespace {

using namespace testing_support;

void ExpectClean(const std::string& pdf) {
    std::string report;
    EXPECT_TRUE(QpdfCheckClean(pdf, &report)) << report;
}

double TwoUpDifference(const std::string& output, int sheet, PageRenders& input,
                       std::vector<int> cells) {
    return SheetDifference(output, sheet, input, GridPlacement(cells, 2, 612, 792));
}

class QpdfForms : public ::testing::TestWithParam<std::string> {};

TEST_P(QpdfForms, ImposeLikeTheOriginal) {
    ScratchDir dir;
    const std::string& original = test::NumberedLetterPdf(4);
    std::string input = dir.File("in.pdf");
    CommandResult made = testing_support::Run("qpdf " + GetParam() + " " + ShellQuote(original) +
                                              " " + ShellQuote(input));
    ASSERT_TRUE(made.exitCode == 0 || made.exitCode == 3) << made.output;
    std::string output = dir.File("out.pdf");
    ASSERT_EQ(test::Impose("", input, output), "");
    ExpectClean(output);
    ASSERT_EQ(PageCount(output), 2);
    std::string bytes = ReadWholeFile(output);
    EXPECT_EQ(bytes.find("/ObjStm"), std::string::npos);
    EXPECT_NE(bytes.find("\nxref\n"), std::string::npos);
    PageRenders pages(original, 18);
    EXPECT_LT(TwoUpDifference(output, 1, pages, {1, 2}), 2.0);
    EXPECT_LT(TwoUpDifference(output, 2, pages, {3, 4}), 2.0);
}

INSTANTIATE_TEST_SUITE_P(Rewritten, QpdfForms,
                         ::testing::Values("--object-streams=generate", "--linearize", "--qdf",
                                           "--object-streams=generate --linearize"),
                         [](const ::testing::TestParamInfo<std::string>& p) {
                             return "form" + std::to_string(p.index);
                         });

// cairo writes pages, fonts and resources its own way (pdftocairo -pdf rewrites through it).
TEST(CairoInput, ImposesLikeTheOriginal) {
    ScratchDir dir;
    const std::string& original = test::NumberedLetterPdf(4);
    std::string input = dir.File("cairo.pdf");
    CommandResult made =
        testing_support::Run("pdftocairo -pdf " + ShellQuote(original) + " " + ShellQuote(input));
    ASSERT_EQ(made.exitCode, 0) << made.output;
    for (const char* mode : {"", "up4=1"}) {
        std::string output = dir.File(std::string("out") + mode + ".pdf");
        ASSERT_EQ(test::Impose(mode, input, output), "") << mode;
        ExpectClean(output);
        PageRenders pages(original, 18);
        if (*mode == '\0') {
            ASSERT_EQ(PageCount(output), 2);
            EXPECT_LT(TwoUpDifference(output, 1, pages, {1, 2}), 2.0);
            EXPECT_LT(TwoUpDifference(output, 2, pages, {3, 4}), 2.0);
        } else {
            ASSERT_EQ(PageCount(output), 1);
        }
    }
}

// A content stream drawing a big `text`, a frame and a corner mark on a letter page.
std::string LetterPageContent(const std::string& text) {
    return "4 w 2 2 608 788 re S 10 722 60 60 re f BT /F1 200 Tf 150 300 Td (" + text + ") Tj ET\n";
}

// Two pages under an inner node that gives them Resources, a CropBox and /Rotate 180; the
// font of the pages comes only from the inner node. Object 2 has generation 1.
PdfBuilder InheritingDocument() {
    PdfBuilder pdf;
    pdf.Object(1, "<< /Type /Catalog /Pages 2 1 R >>")
        .Object(2, "<< /Type /Pages /Kids [3 0 R] /Count 2 /MediaBox [0 0 612 792] >>", 1)
        .Object(3,
                "<< /Type /Pages /Parent 2 1 R /Kids [4 0 R 6 0 R] /Count 2 /Resources 8 0 R "
                "/CropBox [0 0 612 792] /Rotate 180 >>")
        .Object(4, "<< /Type /Page /Parent 3 0 R /Contents 5 0 R >>")
        .Stream(5, "", LetterPageContent("1"))
        .Object(6, "<< /Type /Page /Parent 3 0 R /Contents 7 0 R >>")
        .Stream(7, "", LetterPageContent("2"))
        .Object(8, "<< /Font << /F1 9 0 R >> >>")
        .Object(9, "<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica >>");
    return pdf;
}

TEST(ImposeInputsTest, InheritedAttributesAndGenerationsSurviveTheFlatTree) {
    ScratchDir dir;
    std::string input = dir.File("in.pdf");
    WriteWholeFile(input, InheritingDocument().BuildWithTable("/Root 1 0 R"));
    ASSERT_TRUE(QpdfCheck(input));

    // Page 1 kept, page 2 on a sheet of its own: both keep their inherited font and turn.
    std::string output = dir.File("out.pdf");
    ASSERT_EQ(test::Impose("s=2", input, output), "");
    ExpectClean(output);
    ASSERT_EQ(PageCount(output), 2);
    std::string bytes = ReadWholeFile(output);
    EXPECT_NE(bytes.find("2 1 obj"), std::string::npos);
    EXPECT_NE(bytes.find(" 00001 n"), std::string::npos);
    EXPECT_EQ(bytes.find("/Info"), std::string::npos);
    PageRenders pages(input, 18);
    EXPECT_LT(SheetDifference(output, 1, pages, {{1, 0, 0, 0}}), 2.0);
    // On the sheet, the page turned by its inherited /Rotate is turned back inside the cell.
    EXPECT_LT(SheetDifference(output, 2, pages, {{2, 0, 0, 0}}), 2.0);
    EXPECT_EQ(test::PageBoxes(output, "CropBox")[1], (Box{0, 0, 1224, 792}));
}

TEST(ImposeInputsTest, BytesBeforeTheHeaderDoNotShiftTheOutput) {
    ScratchDir dir;
    std::string input = dir.File("in.pdf");
    WriteWholeFile(
        input,
        InheritingDocument().Prefix("garbage from a mail gateway\n").BuildWithTable("/Root 1 0 R"));
    std::string output = dir.File("out.pdf");
    ASSERT_EQ(test::Impose("", input, output), "");
    ExpectClean(output);
    EXPECT_EQ(ReadWholeFile(output).rfind("%PDF-1.4", 0), 0u);
    // A second imposition reads our own output.
    std::string again = dir.File("again.pdf");
    ASSERT_EQ(test::Impose("", output, again), "");
    ExpectClean(again);
}

TEST(ImposeInputsTest, KeptPagesFrameTheRangeAndNonBasePagesAreFree) {
    ScratchDir dir;
    const std::string& input = test::NumberedLetterPdf(10);
    std::string output = dir.File("out.pdf");
    ASSERT_EQ(test::Impose("s=3 e=5", input, output), "");
    ExpectClean(output);
    std::vector<int> inputPages = test::PageObjectNumbers(input);
    std::vector<int> outputPages = test::PageObjectNumbers(output);
    ASSERT_EQ(outputPages.size(), 9u);  // 2 kept, sheets (3 4) (5 -), 5 kept
    EXPECT_EQ(outputPages[0], inputPages[0]);
    EXPECT_EQ(outputPages[1], inputPages[1]);
    EXPECT_EQ(outputPages[2], inputPages[2]);
    EXPECT_EQ(outputPages[3], inputPages[4]);
    EXPECT_EQ(outputPages[4], inputPages[5]);
    PageRenders pages(input, 18);
    EXPECT_LT(SheetDifference(output, 1, pages, {{1, 0, 0, 0}}), 2.0);
    EXPECT_LT(TwoUpDifference(output, 3, pages, {3, 4}), 2.0);
    EXPECT_LT(SheetDifference(output, 9, pages, {{10, 0, 0, 0}}), 2.0);
    // Page 4 shows only in a cell: its object is no longer in use.
    CommandResult shown = testing_support::Run(
        "qpdf --show-object=" + std::to_string(inputPages[3]) + " " + ShellQuote(output));
    EXPECT_EQ(shown.output.find("/Type /Page"), std::string::npos) << shown.output;
}

TEST(ImposeInputsTest, APageBothKeptAndPairedIsWrittenTwice) {
    // The booklet pairs from page 1 whatever `s` is, so pages 1 and 2 are kept in front and
    // paired again; each must show as itself, none may replace another.
    ScratchDir dir;
    const std::string& input = test::NumberedLetterPdf(8);
    std::string output = dir.File("out.pdf");
    ASSERT_EQ(test::Impose("s=3 outer_in", input, output), "");
    ExpectClean(output);
    ASSERT_EQ(PageCount(output), 5);
    PageRenders pages(input, 18);
    EXPECT_LT(SheetDifference(output, 2, pages, {{2, 0, 0, 0}}), 2.0);
    EXPECT_LT(TwoUpDifference(output, 3, pages, {8, 1}), 2.0);
    EXPECT_LT(TwoUpDifference(output, 4, pages, {2, 7}), 2.0);
    EXPECT_LT(TwoUpDifference(output, 5, pages, {6, 3}), 2.0);
    // The trailer keeps the input's Info.
    EXPECT_NE(ReadWholeFile(output).find("/Info "), std::string::npos);
}

TEST(ImposeInputsTest, JobBoxesAndTheSecondPairOnEverySecondSheet) {
    ScratchDir dir;
    const std::string& input = test::NumberedLetterPdf(8);
    std::string output = dir.File("out.pdf");
    ASSERT_EQ(test::Impose("cropbox=10,10,1214,782 mediabox=0,0,1224,792 "
                           "cropbox2=20,20,1204,772 mediabox2=0,0,1230,800",
                           input, output),
              "");
    ExpectClean(output);
    auto media = test::PageBoxes(output, "MediaBox");
    auto crop = test::PageBoxes(output, "CropBox");
    ASSERT_EQ(media.size(), 4u);
    EXPECT_EQ(media[0], (Box{0, 0, 1224, 792}));
    EXPECT_EQ(media[1], (Box{0, 0, 1230, 800}));
    EXPECT_EQ(media[2], (Box{0, 0, 1224, 792}));
    EXPECT_EQ(crop[1], (Box{20, 20, 1204, 772}));
    EXPECT_EQ(crop[2], (Box{10, 10, 1214, 782}));
}

TEST(ImposeInputsTest, TurnedAndMixedSizePages) {
    ScratchDir dir;
    std::string ps =
        "%!PS\n<< /PageSize [612 792] >> setpagedevice\n"
        "/Helvetica findfont 200 scalefont setfont 100 300 moveto (A) show 0 700 80 80 rectfill "
        "showpage\n"
        "<< /PageSize [792 612] >> setpagedevice\n"
        "/Helvetica findfont 200 scalefont setfont 100 200 moveto (B) show 0 0 80 80 rectfill "
        "showpage\n";
    std::string mixed = dir.File("mixed.pdf");
    PdfFromPostScript(ps, mixed);
    std::string output = dir.File("out.pdf");
    ASSERT_EQ(test::Impose("", mixed, output), "");
    ExpectClean(output);
    // The sheet takes its size from the first page; the wide page is drawn unscaled beside it.
    EXPECT_EQ(test::PageBoxes(output, "MediaBox")[0], (Box{0, 0, 1224, 792}));
    PageRenders pages(mixed, 18);
    EXPECT_LT(SheetDifference(output, 1, pages, {{1, 0, 0, 0}, {2, 612, 180, 0}}), 2.0);

    // Turned by a half: qpdf sets /Rotate 180 on the second page; the sheet turns it back.
    std::string turned = dir.File("turned.pdf");
    testing_support::Run("qpdf --rotate=180:2 " + ShellQuote(test::NumberedLetterPdf(2)) + " " +
                         ShellQuote(turned));
    std::string sheet = dir.File("sheet.pdf");
    ASSERT_EQ(test::Impose("", turned, sheet), "");
    ExpectClean(sheet);
    PageRenders turnedPages(turned, 18);
    EXPECT_LT(TwoUpDifference(sheet, 1, turnedPages, {1, 2}), 2.0);
    // With a gap between the cells the turned page stays in its cell, clear of the gap.
    ASSERT_EQ(test::Impose("rightmargin=20", turned, sheet), "");
    EXPECT_EQ(test::PageBoxes(sheet, "MediaBox")[0], (Box{0, 0, 1244, 792}));
    EXPECT_LT(SheetDifference(sheet, 1, turnedPages, GridPlacement({1, 2}, 2, 612, 792, 20)), 2.0);
}

}  // namespace
}  // namespace gridane

namespace gridane {
namespace {

// Pages 4, 6 and 8: page 4 and page 8 share one indirect contents array, page 6 has its
// MediaBox as a reference and no contents at all. `kids` is the root's kid list.
PdfBuilder OddPagesDocument(const std::string& kids, const std::string& count) {
    PdfBuilder pdf;
    pdf.Object(1, "<< /Type /Catalog /Pages 2 0 R >>")
        .Object(2, "<< /Type /Pages /Kids [" + kids + "] /Count " + count +
                       " /Resources << /Font << /F1 9 0 R >> >> >>")
        .Object(4, "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 612 792] /Contents 10 0 R >>")
        .Stream(5, "", LetterPageContent("S"))
        .Object(6, "<< /Type /Page /Parent 2 0 R /MediaBox 12 0 R >>")
        .Object(8, "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 612 792] /Contents 10 0 R >>")
        .Object(9, "<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica >>")
        .Object(10, "[5 0 R]")
        .Object(12, "[0 0 612 792]");
    return pdf;
}

TEST(ImposeInputsTest, DamagedTreesAndSharedContentsArrays) {
    ScratchDir dir;
    // The root lists itself, page 4 twice and a number that is no reference, and claims 99.
    std::string input = dir.File("odd.pdf");
    WriteWholeFile(
        input,
        OddPagesDocument("4 0 R 2 0 R 6 0 R 4 0 R 7 8 0 R", "99").BuildWithTable("/Root 1 0 R"));
    std::string clean = dir.File("clean.pdf");
    WriteWholeFile(clean, OddPagesDocument("4 0 R 6 0 R 8 0 R", "3").BuildWithTable("/Root 1 0 R"));

    std::string output = dir.File("out.pdf");
    ASSERT_EQ(test::Impose("", input, output), "");
    ExpectClean(output);
    ASSERT_EQ(PageCount(output), 2);
    EXPECT_EQ(test::PageBoxes(output, "MediaBox")[0], (Box{0, 0, 1224, 792}));
    PageRenders pages(clean, 18);
    // The first sheet must keep its drawing although the second sheet's base page shares
    // the contents array object with it.
    EXPECT_LT(TwoUpDifference(output, 1, pages, {1, 2}), 2.0);
    EXPECT_LT(TwoUpDifference(output, 2, pages, {3, 0}), 2.0);
}

}  // namespace
}  // namespace gridane
