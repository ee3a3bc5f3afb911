// The raw-text edits of page objects.
#include <gtest/gtest.h>

#include <locale.h>

#include "gridane/RawTextEdits.h"

namespace gridane {
namespace {

const Box kSheet{0, 0, 1224, 792};

TEST(BoxEditTest, ReplacesADirectArray) {
    std::string text = "4 0 obj\n<< /Type /Page /MediaBox [0 0 612 792] /Parent 2 0 R >>\nendobj\n";
    EditBoxEntry(text, "/MediaBox", kSheet, true);
    EXPECT_EQ(text,
              "4 0 obj\n<< /Type /Page /MediaBox [ 0.000000 0.000000 1224.000000 792.000000]\n"
              " /Parent 2 0 R >>\nendobj\n");
}

TEST(BoxEditTest, InsertsAMissingMediaBoxButNoOtherBox) {
    std::string text = "4 0 obj\n<</Type/Page>>\nendobj\n";
    EditBoxEntry(text, "/CropBox", kSheet, false);
    EXPECT_EQ(text, "4 0 obj\n<</Type/Page>>\nendobj\n");
    EditBoxEntry(text, "/MediaBox", kSheet, true);
    EXPECT_EQ(text,
              "4 0 obj\n<</MediaBox [ 0.000000 0.000000 1224.000000 792.000000 ]\n/Type/Page>>\n"
              "endobj\n");
}

TEST(BoxEditTest, AnIndirectBoxIsReplacedWithoutTouchingTheNextArray) {
    std::string text = "4 0 obj\n<</MediaBox 9 0 R/Contents [5 0 R 6 0 R]>>\nendobj\n";
    EditBoxEntry(text, "/MediaBox", kSheet, true);
    EXPECT_EQ(text,
              "4 0 obj\n<</MediaBox [ 0.000000 0.000000 1224.000000 792.000000]\n"
              "/Contents [5 0 R 6 0 R]>>\nendobj\n");
}

TEST(BoxEditTest, KeyMustBeAWholeName) {
    std::string text = "<</CropBoxes [1 2 3 4]>>";
    EditBoxEntry(text, "/CropBox", kSheet, false);
    EXPECT_EQ(text, "<</CropBoxes [1 2 3 4]>>");
}

TEST(RotateEditTest, ReplacesTheValueUpToTheNextDelimiter) {
    std::string text = "<</Rotate 270\n/Type/Page>>";
    ReplaceRotateEntry(text, 90);
    EXPECT_EQ(text, "<</Rotate 90\n/Type/Page>>");
    std::string none = "<</Type/Page>>";
    ReplaceRotateEntry(none, 0);
    EXPECT_EQ(none, "<</Type/Page>>");
    ReplaceRotateEntry(none, 270);
    EXPECT_EQ(none, "<</Rotate 270\n/Type/Page>>");
}

TEST(ContentsEditTest, EachWrittenForm) {
    std::string absent = "<</Type/Page>>";
    PutContentsArray(absent, ContentsForm::Absent, " 1 0 R ");
    EXPECT_EQ(absent, "<</Contents [  1 0 R  ]\n/Type/Page>>");

    std::string reference = "<</Contents 12 0 R\n/Type/Page>>";
    PutContentsArray(reference, ContentsForm::Reference, " 1 0 R ");
    EXPECT_EQ(reference, "<</Contents  [  1 0 R  ] \n/Type/Page>>");

    std::string direct = "<</Contents [12 0 R 13 0 R]/Type/Page>>";
    PutContentsArray(direct, ContentsForm::DirectArray, " 1 0 R ");
    EXPECT_EQ(direct, "<</Contents [ 1 0 R ]/Type/Page>>");
}

}  // namespace
}  // namespace gridane

namespace gridane {
namespace {

// A desktop toolkit puts the process in the user's locale; box and placement numbers must
// still be written with a decimal point.
TEST(BoxEditTest, NumbersKeepTheirDecimalPointUnderACommaLocale) {
    locale_t comma = ::newlocale(LC_ALL_MASK, "de_DE.UTF-8", static_cast<locale_t>(0));
    if (comma == static_cast<locale_t>(0)) GTEST_SKIP() << "no de_DE.UTF-8 locale on this machine";
    locale_t previous = ::uselocale(comma);
    std::string text = "4 0 obj\n<</Type/Page>>\nendobj\n";
    EditBoxEntry(text, "/MediaBox", Box{0, 0, 1224.5, 792}, true);
    ::uselocale(previous);
    ::freelocale(comma);
    EXPECT_NE(text.find("1224.500000"), std::string::npos) << text;
}

}  // namespace
}  // namespace gridane
