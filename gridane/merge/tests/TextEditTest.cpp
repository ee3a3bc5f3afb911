#include <gtest/gtest.h>

#include "gridane/merge/AnnotPlacement.h"
#include "gridane/merge/BodyMeasure.h"
#include "gridane/merge/ContentNames.h"
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

}  // namespace
}  // namespace gridane
