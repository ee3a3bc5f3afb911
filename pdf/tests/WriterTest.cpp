#include <gtest/gtest.h>

#include "ReaderTestSupport.h"
#include "pdf/CPdfRawText.h"
#include "pdf/CPdfXRefWriter.h"
#include "platform/File.h"
#include "platform/TempFileName.h"
#include "testing/PdfBuilder.h"

using pdf_test::OpenedBytes;
using testing_support::PdfBuilder;
using testing_support::ReadWholeFile;
using testing_support::ScratchDir;

namespace {

TEST(RawText, RunsThroughTheByteAfterEndobj) {
    PdfBuilder b;
    b.Object(1, "<< /Type /Catalog /Pages 2 0 R >>")
        .Object(2, "<< /Type /Pages /Kids [] /Count 0 >>");
    std::string file = b.BuildWithTable("/Root 1 0 R");
    file.replace(file.find("endobj\n"), 7, "endobj\r\n");
    // The table offsets after object 1 moved by one byte; object 1 itself is unaffected.
    OpenedBytes opened(file);
    std::optional<std::string> raw = GetRawObjectText(opened.XRef(), 1);
    ASSERT_TRUE(raw);
    EXPECT_EQ(*raw, "1 0 obj\n<< /Type /Catalog /Pages 2 0 R >>\nendobj\r");
}

TEST(RawText, NoTextForFreeObjectsOrObjectsWithoutEndobj) {
    PdfBuilder b;
    b.Object(1, "<< /Type /Catalog >>").Object(3, "(last)");
    std::string file = b.BuildWithTable("/Root 1 0 R");
    OpenedBytes opened(file);
    EXPECT_FALSE(GetRawObjectText(opened.XRef(), 2));
    EXPECT_FALSE(GetRawObjectText(opened.XRef(), 99));

    std::string cut = file;
    cut.replace(cut.find("(last)\nendobj"), 13, "(last)\nendob ");
    OpenedBytes damaged(cut);
    EXPECT_FALSE(GetRawObjectText(damaged.XRef(), 3));
}

TEST(RawText, AnEndobjInsideStreamDataDoesNotCutTheObject) {
    PdfBuilder b;
    b.Object(1, "<< /Type /Catalog >>").Stream(2, "", "data with endobj inside\nmore");
    OpenedBytes opened(b.BuildWithTable("/Root 1 0 R"));
    std::optional<std::string> raw = GetRawObjectText(opened.XRef(), 2);
    ASSERT_TRUE(raw);
    EXPECT_NE(raw->find("more\nendstream\nendobj\n"), std::string::npos);
    EXPECT_EQ(raw->substr(raw->size() - 7), "endobj\n");
}

TEST(RawText, LargeObjectsAreReadWhole) {
    std::string big(300000, 'z');
    PdfBuilder b;
    b.Object(1, "<< /Type /Catalog >>").Stream(2, "", big);
    OpenedBytes opened(b.BuildWithTable("/Root 1 0 R"));
    std::optional<std::string> raw = GetRawObjectText(opened.XRef(), 2);
    ASSERT_TRUE(raw);
    EXPECT_GT(raw->size(), big.size());
}

TEST(Searches, ReportTheLastByteOfTheFirstMatch) {
    EXPECT_EQ(FindInBuffer("abc endobj endobj", 0, "endobj"), 9u);
    EXPECT_EQ(FindInBuffer("abc endobj endobj", 5, "endobj"), 16u);
    EXPECT_EQ(FindInBuffer("abc", 0, "endobj"), 0u);
    EXPECT_EQ(FindInBuffer("abc", 7, "a"), 0u);

    ScratchDir dir;
    std::string path = dir.File("f");
    std::string content = std::string(10000, 'x') + "endobj" + std::string(5000, 'y') + "endobj";
    testing_support::WriteWholeFile(path, content);
    platform::ReadFile file;
    ASSERT_TRUE(file.Open(path));
    EXPECT_EQ(FindInFile(file, 0, "endobj"), 10005);
    EXPECT_EQ(FindInFile(file, 10003, "endobj"), 15011);
    EXPECT_EQ(FindInFile(file, 15010, "endobj"), 0);
    EXPECT_EQ(FindInFile(file, 0, "aa"), 0);
}

TEST(Searches, ReadRefAfterKey) {
    CPdfRefAfterKey ref = ReadRefAfterKey("<< /Type /Catalog /Pages 3 0 R >>", "/Pages");
    EXPECT_EQ(ref.number, 3);
    EXPECT_TRUE(ref.followedByZeroR);
    ref = ReadRefAfterKey("<< /Pages 12 1 R >>", "/Pages");
    EXPECT_EQ(ref.number, 12);
    EXPECT_FALSE(ref.followedByZeroR);
    EXPECT_EQ(ReadRefAfterKey("<< /Kids [] >>", "/Pages").number, 0);
    EXPECT_EQ(ReadRefAfterKey("<< /Pages", "/Pages").number, 0);
    EXPECT_EQ(ReadRefAfterKey("<< /Pages 99999999999 0 R", "/Pages").number, 0);
}

std::string WriteTable(const std::vector<CPdfOutputEntry>& entries, int root, int info,
                       const std::string& before = "") {
    ScratchDir dir;
    std::string path = dir.File("out");
    platform::WriteFile out;
    EXPECT_TRUE(out.Create(path));
    out.Write(before);
    WriteXRefAndTrailer(out, entries, root, info);
    EXPECT_TRUE(out.Close());
    return ReadWholeFile(path);
}

TEST(XRefWriter, WritesTheFixedLayout) {
    std::string text = WriteTable({{}, {15, 0, true}, {120, 3, false}}, 1, 0, "0123456789");
    EXPECT_EQ(text,
              "0123456789xref\n0 3\r"
              "0000000000 65535 f \r"
              "0000000015 00000 n \r"
              "0000000120 00003 f \r"
              "trailer\n<<\n/Size 3\n/Root 1 0 R\n>>\nstartxref\n10\n%%EOF");
}

TEST(XRefWriter, InfoAndReferencesTakeTheirEntriesGenerations) {
    std::string text = WriteTable({{}, {15, 0, true}, {40, 2, true}}, 2, 1);
    EXPECT_NE(text.find("/Root 2 2 R\n/Info 1 0 R\n>>"), std::string::npos);
}

TEST(XRefWriter, RefusesOffsetsTheTableCannotHold) {
    ScratchDir dir;
    platform::WriteFile out;
    ASSERT_TRUE(out.Create(dir.File("out")));
    try {
        WriteXRefAndTrailer(out, {{}, {1000000000, 0, true}}, 1, 0);
        ADD_FAILURE();
    } catch (const CPdfException& e) {
        EXPECT_NE(e.GetMessage().find("1000000000"), std::string::npos);
    }
    EXPECT_EQ(out.Position(), 0);
}

TEST(TempName, OneFileNameInTheCurrentFolderUniquePerCall) {
    std::string a = MakeTempFileName("/home/user/out.pdf");
    std::string b = MakeTempFileName("/home/user/out.pdf");
    EXPECT_NE(a, b);
    EXPECT_EQ(a.find('/'), std::string::npos);
    EXPECT_EQ(a.rfind("homeuserout.pdf_temp_", 0), 0u);
    EXPECT_EQ(a.substr(a.size() - 3), "tmp");
    EXPECT_LT(MakeTempFileName(std::string(600, 'n')).size(), 255u);
}

}  // namespace

namespace {

TEST(RawText, AWrongLengthStillGivesTheTextUpToEndobj) {
    std::string big(5000, 'd');
    for (long wrong : {-200L, 300L}) {
        PdfBuilder b;
        b.Object(1, "<< /Type /Catalog >>")
            .Object(2, "<< /Length " + std::to_string(5000 + wrong) + " >>\nstream\n" + big +
                           "\nendstream")
            .Object(3, "(next)");
        OpenedBytes opened(b.BuildWithTable("/Root 1 0 R"));
        std::optional<std::string> raw = GetRawObjectText(opened.XRef(), 2);
        ASSERT_TRUE(raw);
        EXPECT_EQ(raw->substr(raw->size() - 17), "endstream\nendobj\n") << wrong;
        EXPECT_EQ(raw->find("(next)"), std::string::npos);
    }
}

}  // namespace
