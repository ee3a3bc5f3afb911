// Bad input and bad settings: each run ends with its message, never a crash, and leaves no
// partial output and the user's files as they were.
#include <gtest/gtest.h>
#include <unistd.h>

#include "gridane/GridaneCom.h"
#include "gridane/tests/ImposeHelpers.h"
#include "platform/File.h"
#include "platform/FileList.h"
#include "testing/FailingDisk.h"
#include "testing/PdfBuilder.h"
#include "testing/Scratch.h"
#include "testing/Tools.h"

namespace gridane {
namespace {

using namespace testing_support;

struct BadInput {
    std::string name;
    std::string bytes;  // the input file's content; empty name for a missing file
};

std::string Truncated() {
    std::string whole = ReadWholeFile(test::NumberedLetterPdf(3));
    return whole.substr(0, whole.size() / 2);
}

std::string Damaged() {
    // The cross-reference table and everything after it overwritten.
    std::string whole = ReadWholeFile(test::NumberedLetterPdf(3));
    size_t xref = whole.rfind("xref");
    return whole.substr(0, xref) + std::string(whole.size() - xref, 'x');
}

TEST(ImposeFailuresTest, UnreadableInputsGetAMessageAndNoOutput) {
    ScratchDir dir;
    const std::vector<BadInput> inputs = {
        {"not_a_pdf", "This is a plain text file, not a PDF.\n"},
        {"empty", ""},
        {"truncated", Truncated()},
        {"damaged", Damaged()},
    };
    for (const BadInput& bad : inputs) {
        std::string input = dir.File(bad.name + ".pdf");
        WriteWholeFile(input, bad.bytes);
        std::string output = dir.File(bad.name + "-out.pdf");
        std::string status = test::Impose("", input, output);
        // A damaged file may be read through its objects; whatever it yields must be sound.
        if (status.empty()) {
            EXPECT_TRUE(QpdfCheck(output)) << bad.name;
        } else {
            EXPECT_FALSE(platform::FileExists(output)) << bad.name;
        }
    }
    EXPECT_EQ(test::Impose("", dir.File("missing.pdf"), dir.File("out.pdf")),
              "Input file open error\n");
}

// A page tree that leads back to its root holds no page: the file is called damaged, with
// the walk's warning, not refused for its page range.
TEST(ImposeFailuresTest, APageTreeThatLoopsIsDamaged) {
    ScratchDir dir;
    PdfBuilder b;
    b.Object(1, "<< /Type /Catalog /Pages 2 0 R >>")
        .Object(2, "<< /Type /Pages /Kids [3 0 R] /Count 1 >>")
        .Object(3, "<< /Type /Pages /Parent 2 0 R /Kids [2 0 R] /Count 1 >>");
    std::string input = dir.File("loop.pdf");
    WriteWholeFile(input, b.BuildWithTable("/Root 1 0 R"));
    std::string output = dir.File("out.pdf");
    EXPECT_EQ(test::Impose("", input, output),
              "File is broken. The page tree is damaged: no page could be read\n");
    EXPECT_FALSE(platform::FileExists(output));
}

TEST(ImposeFailuresTest, EncryptedInputIsRefused) {
    ScratchDir dir;
    std::string input = dir.File("locked.pdf");
    testing_support::Run("qpdf --encrypt user owner 256 -- " +
                         ShellQuote(test::NumberedLetterPdf(2)) + " " + ShellQuote(input));
    std::string status = test::Impose("", input, dir.File("out.pdf"));
    EXPECT_FALSE(status.empty());
    EXPECT_FALSE(platform::FileExists(dir.File("out.pdf")));
}

TEST(ImposeFailuresTest, OutputOverTheInputIsRefusedAndTheInputKept) {
    ScratchDir dir;
    std::string input = dir.File("in.pdf");
    WriteWholeFile(input, ReadWholeFile(test::NumberedLetterPdf(2)));
    std::string before = ReadWholeFile(input);
    std::string link = dir.File("link.pdf");
    ASSERT_EQ(testing_support::Run("ln -s " + ShellQuote(input) + " " + ShellQuote(link)).exitCode,
              0);
    for (const std::string& output : {input, link, dir.Path() + "/./in.pdf"}) {
        std::string status = test::Impose("", input, output);
        EXPECT_NE(status.find("Output file is the input file"), std::string::npos) << status;
        EXPECT_EQ(ReadWholeFile(input), before);
    }
}

TEST(ImposeFailuresTest, UnwritableOutputs) {
    ScratchDir dir;
    const std::string& input = test::NumberedLetterPdf(2);
    std::string missingFolder = dir.File("no/such/folder/out.pdf");
    EXPECT_EQ(test::Impose("", input, missingFolder),
              "\nOutput file create error: '" + missingFolder + "'\n");
    std::string readOnly = dir.File("kept.pdf");
    WriteWholeFile(readOnly, "the user's earlier file");
    testing_support::Run("chmod a-w " + ShellQuote(readOnly));
    if (::access(readOnly.c_str(), W_OK) != 0) {  // root may write anyway
        EXPECT_NE(test::Impose("", input, readOnly).find("Output file create error"),
                  std::string::npos);
        EXPECT_EQ(ReadWholeFile(readOnly), "the user's earlier file");
    }
}

TEST(ImposeFailuresTest, AFailedRunLeavesAnEarlierOutputAlone) {
    ScratchDir dir;
    std::string output = dir.File("out.pdf");
    WriteWholeFile(output, "earlier result");
    std::string status = test::Impose("s=7", test::NumberedLetterPdf(3), output);
    EXPECT_EQ(status, "First page 7 is beyond the last page of the document (3)\n");
    EXPECT_EQ(ReadWholeFile(output), "earlier result");
    EXPECT_EQ(testing_support::Run("ls " + ShellQuote(dir.Path())).output, "out.pdf\n");
}

// Settings that place no page on a sheet (no order flag on) would give a file of no pages,
// which viewers refuse: the run fails instead. With pages kept around the range, those are the
// output.
TEST(ImposeFailuresTest, AnOutputWithoutPagesIsRefused) {
    ScratchDir dir;
    std::string output = dir.File("out.pdf");
    WriteWholeFile(output, "earlier result");
    for (const char* settings : {"ab=0", "up4 ab=0", "up3x2 ab=0 s=1 e=6"}) {
        EXPECT_EQ(test::Impose(settings, test::NumberedLetterPdf(6), output),
                  "No pages to write: the settings place no page on a sheet\n")
            << settings;
        EXPECT_EQ(ReadWholeFile(output), "earlier result");
    }
    ASSERT_EQ(test::Impose("ab=0 s=3 e=4", test::NumberedLetterPdf(6), output), "");
    EXPECT_EQ(PageCount(output), 4);  // 1, 2, 5 and 6 kept as they are
    EXPECT_TRUE(QpdfCheckClean(output));
}

TEST(ImposeFailuresTest, FailingDiskLeavesTheEarlierOutputAndNoPartialFile) {
    ScratchDir dir;
    const std::string& input = test::NumberedLetterPdf(4);
    // The plain 2-up run and the 2-to-1 run, whose doubling pre-pass writes a file of its own.
    for (const char* settings : {"", "up2to1"}) {
        std::string whole = dir.File("whole.pdf");
        ASSERT_EQ(test::Impose(settings, input, whole), "");
        const int64_t size = static_cast<int64_t>(ReadWholeFile(whole).size());
        platform::RemoveFile(whole);
        std::string output = dir.File("out.pdf");
        WriteWholeFile(output, "earlier result");
        for (int64_t accepted : {int64_t{0}, int64_t{30}, size / 2, size - 1}) {
            ScopedFileSizeLimit disk(static_cast<rlim_t>(accepted));
            std::string status = test::Impose(settings, input, output);
            EXPECT_TRUE(status == "\nOutput file write error: '" + output + "': File too large\n" ||
                        status == "Input file open error\n")
                << settings << " " << accepted << ": " << status;
            EXPECT_EQ(ReadWholeFile(output), "earlier result") << settings << " " << accepted;
            EXPECT_EQ(FileNamesIn(dir.Path()), std::vector<std::string>{"out.pdf"})
                << settings << " " << accepted;
        }
    }
}

TEST(ImposeFailuresTest, PageRanges) {
    ScratchDir dir;
    const std::string& input = test::NumberedLetterPdf(3);
    std::string output = dir.File("out.pdf");
    EXPECT_EQ(test::Impose("s=0", input, output), "First page 0 is not a page number\n");
    EXPECT_EQ(test::Impose("s=3 e=2", input, output), "Last page 2 is before the first page 3\n");
    EXPECT_EQ(test::Impose("s=2147483647", input, output),
              "First page 2147483647 is beyond the last page of the document (3)\n");
    // A last page far past the end means up to the last page.
    EXPECT_EQ(test::Impose("e=2147483647", input, output), "");
    EXPECT_EQ(PageCount(output), 2);
    // No order flag: only kept pages, which is a valid document too.
    EXPECT_EQ(test::Impose("ab=0 s=2", input, output), "");
    EXPECT_EQ(PageCount(output), 1);
}

TEST(ImposeFailuresTest, ABadBoxStringLeavesTheBoxUnset) {
    ScratchDir dir;
    std::string output = dir.File("out.pdf");
    ASSERT_EQ(test::Impose("mediabox=0_0_100_100", test::NumberedLetterPdf(2), output), "");
    EXPECT_EQ(test::PageBoxes(output, "MediaBox")[0], (Box{0, 0, 1224, 792}));
}

TEST(ImposeFailuresTest, LongNamesAreRefused) {
    ScratchDir dir;
    std::string longName = dir.File(std::string(250, 'n') + ".pdf");
    std::string status = test::Impose("", test::NumberedLetterPdf(2), longName);
    EXPECT_EQ(status.rfind("File name longer than 254 characters", 0), 0u) << status;
}

TEST(FileListTest, FolderAndOneFileForms) {
    ScratchDir dir;
    WriteWholeFile(dir.File("a.pdf"), ReadWholeFile(test::NumberedLetterPdf(2)));
    WriteWholeFile(dir.File("b.pdf"), ReadWholeFile(test::NumberedLetterPdf(4)));
    testing_support::Run("mkdir " + ShellQuote(dir.File("out")) + " " +
                         ShellQuote(dir.File("out2")));
    std::string list = dir.File("list.txt");
    WriteWholeFile(list, "a.pdf\r\nb.pdf\r\n");
    // List lines are names relative to the current folder.
    std::string here = testing_support::Run("pwd").output;
    ASSERT_EQ(::chdir(dir.Path().c_str()), 0);
    GridaneCom com;
    EXPECT_EQ(com.getGridaneFile(list, "-f" + dir.File("out")), "");
    EXPECT_EQ(PageCount(dir.File("out/a.pdf")), 1);
    EXPECT_EQ(PageCount(dir.File("out/b.pdf")), 2);
    EXPECT_EQ(com.getGridaneFile(list, "-o" + dir.File("x.pdf")), "");
    EXPECT_EQ(PageCount(dir.File("x.pdf")), 2);  // the second line's run wins
    // An unknown form gives the last line an empty output name.
    EXPECT_EQ(com.getGridaneFile(list, "-q" + dir.File("y")), "\nOutput file create error: ''\n");
    // A later success does not hide an earlier failure: the list's status is the first one.
    WriteWholeFile(list, "missing.pdf\r\nb.pdf\r\n");
    EXPECT_EQ(com.getGridaneFile(list, "-f" + dir.File("out2")), "Input file open error\n");
    EXPECT_EQ(PageCount(dir.File("out2/b.pdf")), 2);
    // A list that cannot be opened is imposed as a PDF file.
    EXPECT_EQ(com.getGridaneFile(dir.File("nolist.txt"), dir.File("z.pdf")),
              "Input file open error\n");
    here.pop_back();
    ASSERT_EQ(::chdir(here.c_str()), 0);
}

TEST(FileListTest, AListThatNeverEndsStopsAtItsLimit) {
    ScratchDir dir;
    std::string list = dir.File("zero.txt");
    testing_support::Run("ln -s /dev/zero " + ShellQuote(list));
    GridaneCom com;
    EXPECT_EQ(com.getGridaneFile(list, "-f" + dir.File("out")), platform::FileListTooLongMessage());
}

}  // namespace
}  // namespace gridane
