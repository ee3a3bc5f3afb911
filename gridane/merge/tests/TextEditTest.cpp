#include <gtest/gtest.h>

#include "gridane/merge/AnnotPlacement.h"
#include "gridane/merge/BodyMeasure.h"
#include "gridane/merge/ContentNames.h"
#include "gridane/merge/DestinationText.h"
#include "gridane/merge/StreamRewrite.h"
#include "pdf/CPdfRawEdit.h"

#include <zlib.h>

namespace gridane {
namespace {

std::string Inflate(std::string_view packed) {
    std::string out(1 << 16, '\0');
    uLongf size = out.size();
    int rc = uncompress(reinterpret_cast<Bytef*>(out.data()), &size,
                        reinterpret_cast<const Bytef*>(packed.data()), packed.size());
    EXPECT_EQ(rc, Z_OK);
    out.resize(size);
    return out;
}

struct RenameCase {
    const char* name;
    std::string_view data;
    std::string_view expected;
};

class RenameContentNamesTest : public ::testing::TestWithParam<RenameCase> {};

TEST_P(RenameContentNamesTest, RenamesOnlyResourceOperands) {
    CategoryRenames renames;
    renames['F']["F1"] = "F9123";
    renames['X']["Im1"] = "X9124";
    renames['E']["GS1"] = "E9125";
    renames['C']["CS0"] = "C9126";
    renames['P']["P1"] = "P9127";
    renames['S']["Sh1"] = "S9128";
    EXPECT_EQ(RenameContentNames(GetParam().data, renames), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Contents, RenameContentNamesTest,
    ::testing::Values(
        RenameCase{"FontOperand", "BT /F1 12 Tf (Hi) Tj ET", "BT /F9123 12 Tf (Hi) Tj ET"},
        RenameCase{"EveryUse", "/F1 9 Tf\n/F1 10 Tf", "/F9123 9 Tf\n/F9123 10 Tf"},
        RenameCase{"LongerNameKept", "/F10 12 Tf /F1 3 Tf", "/F10 12 Tf /F9123 3 Tf"},
        RenameCase{"GluedDelimiters", "/F1 12 Tf[(a)]TJ/Im1 Do", "/F9123 12 Tf[(a)]TJ/X9124 Do"},
        RenameCase{"InsideStringKept", "(/F1 12 Tf) Tj", "(/F1 12 Tf) Tj"},
        RenameCase{"NestedStringKept", "(a (/F1) \\) /F1) Tj /F1 1 Tf",
                   "(a (/F1) \\) /F1) Tj /F9123 1 Tf"},
        RenameCase{"CommentKept", "% /F1 1 Tf\n/GS1 gs", "% /F1 1 Tf\n/E9125 gs"},
        RenameCase{"OtherCategoryKept", "/F1 Do /Im1 5 Tf", "/F1 Do /Im1 5 Tf"},
        RenameCase{"ColorSpaceBothStrokes", "/CS0 cs /CS0 CS 1 scn", "/C9126 cs /C9126 CS 1 scn"},
        RenameCase{"EscapedName", "/F#31 12 Tf", "/F9123 12 Tf"},
        RenameCase{"InlineImage", "BI /W 1 /H 1 /CS /CS0 /BPC 8 ID \x01/F1 EI Q /F1 1 Tf",
                   "BI /W 1 /H 1 /CS /C9126 /BPC 8 ID \x01/F1 EI Q /F9123 1 Tf"},
        RenameCase{"PatternAndShading", "/Pattern cs /P1 scn /Sh1 sh",
                   "/Pattern cs /P9127 scn /S9128 sh"},
        RenameCase{"MarkedContentKept", "/F1 <</MCID 0>> BDC EMC", "/F1 <</MCID 0>> BDC EMC"}),
    [](const auto& param) { return std::string(param.param.name); });

TEST(RenameContentNamesTest, NewNameContainingOldIsNotRenamedAgain) {
    CategoryRenames renames;
    renames['F']["F9"] = "F91";
    EXPECT_EQ(RenameContentNames("/F9 1 Tf /F9 2 Tf", renames), "/F91 1 Tf /F91 2 Tf");
}

TEST(StreamRewriteTest, PlainStreamGetsNewDataAndLength) {
    std::string raw = "7 0 obj\n<< /Length 8 0 R >>\nstream\nold data\nendstream\nendobj\n";
    EXPECT_EQ(RewriteStreamText(raw, "new"),
              "7 0 obj\n<< /Length 3 >>\nstream\nnew\nendstream\nendobj\n");
}

TEST(StreamRewriteTest, FilteredStreamIsRecompressed) {
    std::string raw =
        "7 0 obj\r\n<</Filter/FlateDecode/Length 4>>stream\r\nxxxx\r\nendstream\r\nendobj\r";
    std::string data(5000, 'q');
    std::string text = RewriteStreamText(raw, data);
    size_t start = text.find("stream\r\n") + 8;
    size_t end = text.rfind("\nendstream");
    std::string packed = text.substr(start, end - start);
    EXPECT_EQ(Inflate(packed), data);
    EXPECT_NE(text.find("/Length " + std::to_string(packed.size())), std::string::npos);
    EXPECT_NE(text.find("/Filter /FlateDecode"), std::string::npos);
}

TEST(StreamRewriteTest, FilterChainBecomesPlainFlate) {
    std::string raw =
        "7 0 obj\n<< /Filter [/ASCII85Decode /FlateDecode] /DecodeParms [null << /Predictor 12 "
        ">>] /Length 2 >>\nstream\nab\nendstream\nendobj\n";
    std::string text = RewriteStreamText(raw, "");
    EXPECT_EQ(text.find("DecodeParms"), std::string::npos);
    EXPECT_EQ(text.find("ASCII85"), std::string::npos);
    EXPECT_NE(text.find("/Filter /FlateDecode"), std::string::npos);
}

TEST(StreamRewriteTest, EndstreamBytesInsideOldDataDoNotCutIt) {
    std::string raw = "7 0 obj\n<< /Length 20 >>\nstream\nabc endstream def\nendstream\nendobj\n";
    EXPECT_EQ(ReplaceStreamData(raw, "Z"),
              "7 0 obj\n<< /Length 1 >>\nstream\nZ\nendstream\nendobj\n");
}

struct RectCase {
    const char* name;
    std::string_view raw;
    std::string_view expected;
};

class ReplaceRectTextTest : public ::testing::TestWithParam<RectCase> {};

TEST_P(ReplaceRectTextTest, EditsOnlyTheRectValue) {
    EXPECT_EQ(ReplaceRectText(GetParam().raw, " 1.00 "), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, ReplaceRectTextTest,
    ::testing::Values(RectCase{"Direct", "9 0 obj <</Rect [0 0 1 1]/Border[0 0 1]>> endobj",
                               "9 0 obj <</Rect [ 1.00 ]/Border[0 0 1]>> endobj"},
                      RectCase{"Reference", "9 0 obj <</Rect 4 0 R /Border [0 0 1]>> endobj",
                               "9 0 obj <</Rect [ 1.00 ] /Border [0 0 1]>> endobj"},
                      RectCase{"OtherValueKept", "9 0 obj <</Rect /Bad /Border [0 0 1]>> endobj",
                               "9 0 obj <</Rect /Bad /Border [0 0 1]>> endobj"},
                      RectCase{"NoRectAndNoBracket", "9 0 obj <</Subtype /Link>> endobj",
                               "9 0 obj <</Subtype /Link>> endobj"},
                      RectCase{"TextEndsAfterKey", "9 0 obj <</Rect", "9 0 obj <</Rect"},
                      RectCase{"LongerKeyKept", "<</RectX [1] /Rect [2]>>",
                               "<</RectX [1] /Rect [ 1.00 ]>>"}),
    [](const auto& param) { return std::string(param.param.name); });

TEST(PlacedRectTextTest, MovesAndTurnsLikeThePage) {
    EXPECT_EQ(PlacedRectText({10, 20, 110, 40}, {0.5, 0, false}), " 10.50  20.00  110.50  40.00 ");
    // Turned about the cell's upper-right corner (612, 792): the corners swap.
    EXPECT_EQ(PlacedRectText({10, 20, 110, 40}, {612, 792, true}),
              " 502.00  752.00  602.00  772.00 ");
    EXPECT_EQ(PlacedPointsText({1, 2, 3, 4}, {10, 100, false}), " 11.00  102.00  13.00  104.00 ");
}

TEST(BodyMeasureTest, IgnoresReferenceGenerationsAndLineEnds) {
    std::string_view a = ObjectBody("4 0 obj\n<< /F 12 0 R /W 3 >>\nendobj\n");
    std::string_view b = ObjectBody("9 0 obj\r<< /F 12 0 R /W 3 >>\rendobj\r");
    EXPECT_EQ(MeasureBody(a).size, MeasureBody(b).size);
    EXPECT_EQ(MeasureBody("<< /F 12 0 R >>"), MeasureBody("<< /F 12 7 R >>"));
    EXPECT_NE(MeasureBody("<< /F 12 0 R >>"), MeasureBody("<< /F 13 0 R >>"));
    EXPECT_NE(MeasureBody("<< /W 3 >>"), MeasureBody("<< /W 4 >>"));
    EXPECT_EQ(ObjectBody("12 0 obj\n(x)\nendobj\n"), "(x)\nendobj\n");
}

// Destinations follow their page: input page 4 shows on sheet 20 at (612, 0), page 5 on sheet
// 21 turned about (1224, 792); page 6 shows nowhere; object 9 is no page.
DestinationPages SheetPages() {
    static const DestinationTarget four{20, 0, {612, 0, false}, {0, 0, 612, 792}};
    static const DestinationTarget five{21, 0, {1224, 792, true}, {10, 10, 600, 780}};
    return {[](int n) -> const DestinationTarget* {
                return n == 4 ? &four : n == 5 ? &five : nullptr;
            },
            [](int n) { return n >= 4 && n <= 6; },
            {}};
}

TEST(DestinationTextTest, CoordinatesMoveAndTurnWithTheirCell) {
    DestinationPages pages = SheetPages();
    EXPECT_EQ(RewriteDestinations("<< /Dest [4 0 R /XYZ 50 700 0] >>", pages),
              "<< /Dest [20 0 R /XYZ 662.00 700.00 0] >>");
    EXPECT_EQ(RewriteDestinations("[5 0 R /XYZ null 700 null]", pages),
              "[21 0 R /XYZ null 92.00 null]");
    EXPECT_EQ(RewriteDestinations("[4 0 R/FitH 600]", pages), "[20 0 R /FitH 600.00]");
    EXPECT_EQ(RewriteDestinations("[5 0 R /FitBV 100]", pages), "[21 0 R /FitBV 1124.00]");
    // A rectangle stays lower-left first when turned; a whole page fits its place.
    EXPECT_EQ(RewriteDestinations("[5 0 R /FitR 100 100 300 200]", pages),
              "[21 0 R /FitR 924.00 592.00 1124.00 692.00]");
    EXPECT_EQ(RewriteDestinations("[4 0 R /Fit]", pages),
              "[20 0 R /FitR 612.00 0.00 1224.00 792.00]");
    EXPECT_EQ(RewriteDestinations("[5 0 R /FitB]", pages),
              "[21 0 R /FitR 624.00 12.00 1214.00 782.00]");
}

TEST(DestinationTextTest, OnlyDestinationsToPagesChange) {
    DestinationPages pages = SheetPages();
    // A page shown nowhere leaves its entry without a destination.
    EXPECT_EQ(RewriteDestinations("<< /Names [(a) [6 0 R /Fit] (b) [4 0 R /Fit]] >>", pages),
              "<< /Names [(a) null (b) [20 0 R /FitR 612.00 0.00 1224.00 792.00]] >>");
    for (const char* kept :
         {"<< /Dest [9 0 R /XYZ 1 2 3] >>", "<< /Kids [4 0 R 5 0 R] /Limits [(a) (b)] >>",
          "<< /D (section.1) /S /GoTo >>", "<< /T ([4 0 R /Fit]) /R [4 0 R /Other 1] >>",
          "<< /Rect [4 0 R /Fit 1 2] /C [1 0 0] >>"}) {
        EXPECT_EQ(RewriteDestinations(kept, pages), kept);
    }
}

}  // namespace
}  // namespace gridane
