// Documents and pages through the DPL entry points, on PDF files made by real producers.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <atomic>
#include <filesystem>
#include <limits>

#include "printpdf/tests/DplInstance.h"
#include "testing/RealFiles.h"
#include "testing/Scratch.h"
#include "testing/Tools.h"

using printpdf_tests::DplInstance;
using printpdf_tests::W;
using testing_support::ScratchDir;
using testing_support::ShellQuote;

// Counts the library's umask calls: this definition takes the C library's place for the whole
// program, the library included.
std::atomic<int> g_umaskCalls{0};

extern "C" mode_t umask(mode_t mask) {
    ++g_umaskCalls;
    return static_cast<mode_t>(::syscall(SYS_umask, mask));
}

namespace {

mode_t SetUmask(mode_t mask) {
    return static_cast<mode_t>(::syscall(SYS_umask, mask));
}

constexpr double kSamePicture = 3.0;

class DocumentApiTest : public testing::Test {
  protected:
    DocumentApiTest() {
        numbered = dir.File("numbered.pdf");
        testing_support::PdfFromPostScript(testing_support::NumberedPagesPostScript(5, 595, 842),
                                           numbered);
    }

    int Load(const std::string& pdf, const std::string& password = "") {
        return DPLLoadFromFile(dpl.Id(), W(pdf).c_str(), W(password).c_str());
    }
    int Save(const std::string& pdf) { return DPLSaveToFile(dpl.Id(), W(pdf).c_str()); }
    int Copy(int document, const std::string& ranges) {
        return DPLCopyPageRanges(dpl.Id(), document, W(ranges).c_str());
    }

    ScratchDir dir;
    DplInstance dpl;
    std::string numbered;
};

}  // namespace

TEST_F(DocumentApiTest, LoadSelectsTheDocumentAndItsFirstPage) {
    ASSERT_EQ(Load(numbered), 1);
    int document = DPLSelectedDocument(dpl.Id());
    EXPECT_GT(document, 0);
    EXPECT_EQ(DPLPageCount(dpl.Id()), 5);
    EXPECT_DOUBLE_EQ(DPLGetPageBox(dpl.Id(), 1, 0), 0);
    EXPECT_DOUBLE_EQ(DPLGetPageBox(dpl.Id(), 1, 1), 842);
    EXPECT_DOUBLE_EQ(DPLGetPageBox(dpl.Id(), 1, 2), 595);
    EXPECT_DOUBLE_EQ(DPLGetPageBox(dpl.Id(), 1, 3), 842);
    EXPECT_DOUBLE_EQ(DPLGetPageBox(dpl.Id(), 4, 2), 595);  // no trim box: the media box
    EXPECT_DOUBLE_EQ(DPLGetPageBox(dpl.Id(), 6, 2), 0);
    EXPECT_DOUBLE_EQ(DPLGetPageBox(dpl.Id(), 1, 4), 0);
}

TEST_F(DocumentApiTest, CopiedPagesKeepTheirLooksInAnyOrder) {
    ASSERT_EQ(Load(numbered), 1);
    int source = DPLSelectedDocument(dpl.Id());
    int target = DPLNewDocument(dpl.Id());
    ASSERT_GT(target, 0);
    EXPECT_EQ(DPLSelectedDocument(dpl.Id()), target);
    ASSERT_EQ(Copy(source, "4-5,2,2"), 1);
    EXPECT_EQ(Copy(source, "6"), 0);  // no such page: nothing is added
    EXPECT_EQ(Copy(source, "x"), 0);
    EXPECT_EQ(Copy(999, "1"), 0);
    ASSERT_EQ(DPLDeletePages(dpl.Id(), 1, 1), 1);  // the page it was made with
    std::string out = dir.File("copied.pdf");
    ASSERT_EQ(Save(out), 1);

    std::string report;
    EXPECT_TRUE(testing_support::QpdfCheck(out, &report)) << report;
    const int expected[] = {4, 5, 2, 2};
    ASSERT_EQ(testing_support::PageCount(out), 4);
    for (int page = 1; page <= 4; ++page) {
        EXPECT_EQ(testing_support::PageText(out, page), std::to_string(expected[page - 1]));
        testing_support::Image copied = testing_support::RenderPage(out, page, 20);
        testing_support::Image original =
            testing_support::RenderPage(numbered, expected[page - 1], 20);
        EXPECT_LT(copied.MeanDifference(original), kSamePicture) << page;
    }
}

TEST_F(DocumentApiTest, PagesFromInheritedAttributesAndObjectStreamsCopyWhole) {
    // qpdf rewrites the file with object streams; the page tree holds the media box.
    std::string packed = dir.File("packed.pdf");
    testing_support::MustRun("qpdf --object-streams=generate " + ShellQuote(numbered) + " " +
                             ShellQuote(packed));
    ASSERT_EQ(Load(packed), 1);
    int source = DPLSelectedDocument(dpl.Id());
    DPLNewDocument(dpl.Id());
    ASSERT_EQ(Copy(source, "3"), 1);
    DPLDeletePages(dpl.Id(), 1, 1);
    std::string out = dir.File("out.pdf");
    ASSERT_EQ(Save(out), 1);
    testing_support::PageSize size = testing_support::PdfPageSize(out, 1);
    EXPECT_DOUBLE_EQ(size.width, 595);
    EXPECT_DOUBLE_EQ(size.height, 842);
    EXPECT_EQ(testing_support::PageText(out, 1), "3");
}

TEST_F(DocumentApiTest, NewPagesTakeTheSelectedPageSizeAndBoxesRoundTrip) {
    ASSERT_GT(DPLNewDocument(dpl.Id()), 0);
    EXPECT_EQ(DPLPageCount(dpl.Id()), 1);
    EXPECT_DOUBLE_EQ(DPLGetPageBox(dpl.Id(), 1, 2), 612);
    ASSERT_EQ(DPLSetPageBox(dpl.Id(), 1, 10, 500, 300, 400), 1);
    EXPECT_DOUBLE_EQ(DPLGetPageBox(dpl.Id(), 1, 0), 10);
    EXPECT_DOUBLE_EQ(DPLGetPageBox(dpl.Id(), 1, 1), 500);
    EXPECT_DOUBLE_EQ(DPLGetPageBox(dpl.Id(), 1, 3), 400);
    EXPECT_EQ(DPLSetPageBox(dpl.Id(), 1, 0, 0, -1, 10), 0);
    EXPECT_EQ(DPLSetPageBox(dpl.Id(), 9, 0, 0, 1, 10), 0);
    EXPECT_EQ(DPLNewPage(dpl.Id()), 2);
    EXPECT_DOUBLE_EQ(DPLGetPageBox(dpl.Id(), 1, 1), 500);
    EXPECT_DOUBLE_EQ(DPLGetPageBox(dpl.Id(), 1, 2), 300);
    EXPECT_EQ(DPLSetPageDimensions(dpl.Id(), 0, 10), 0);
    EXPECT_EQ(DPLSetPageDimensions(dpl.Id(), std::numeric_limits<double>::infinity(), 10), 0);
    std::string out = dir.File("blank.pdf");
    ASSERT_EQ(Save(out), 1);
    EXPECT_TRUE(testing_support::QpdfCheck(out));
    EXPECT_EQ(testing_support::PdfPageSize(out, 2).width, 300);
}

TEST_F(DocumentApiTest, BlankPagesShareOneEmptyContent) {
    // Padding adds up to 99,999 blank pages: each must not cost a stream of its own.
    ASSERT_GT(DPLNewDocument(dpl.Id()), 0);
    for (int page = 2; page <= 2000; ++page) ASSERT_EQ(DPLNewPage(dpl.Id()), page);
    std::string out = dir.File("blank.pdf");
    ASSERT_EQ(Save(out), 1);
    std::string bytes = testing_support::ReadWholeFile(out);
    size_t streams = 0;
    for (size_t at = bytes.find("endstream"); at != std::string::npos;
         at = bytes.find("endstream", at + 1)) {
        ++streams;
    }
    EXPECT_EQ(streams, 1u);
    std::string report;
    EXPECT_TRUE(testing_support::QpdfCheckClean(out, &report)) << report;
    EXPECT_EQ(testing_support::PageCount(out), 2000);
}

TEST_F(DocumentApiTest, DeleteRefusesPagesThatAreNotThereOrAll) {
    ASSERT_EQ(Load(numbered), 1);
    EXPECT_EQ(DPLDeletePages(dpl.Id(), 0, 1), 0);
    EXPECT_EQ(DPLDeletePages(dpl.Id(), 5, 2), 0);
    EXPECT_EQ(DPLDeletePages(dpl.Id(), 1, 5), 0);
    EXPECT_EQ(DPLPageCount(dpl.Id()), 5);
    EXPECT_EQ(DPLDeletePages(dpl.Id(), 2, 3), 1);
    EXPECT_EQ(DPLPageCount(dpl.Id()), 2);
}

TEST_F(DocumentApiTest, BadFilesAndPasswords) {
    std::string garbage = dir.File("garbage.pdf");
    testing_support::WriteWholeFile(garbage, "not a pdf, just words\n");
    std::string encrypted = dir.File("encrypted.pdf");
    testing_support::MustRun("qpdf --encrypt secret owner 256 -- " + ShellQuote(numbered) + " " +
                             ShellQuote(encrypted));
    EXPECT_EQ(Load(dir.File("missing.pdf")), 0);
    EXPECT_EQ(Load(garbage), 0);
    EXPECT_EQ(Load(encrypted), 0);
    EXPECT_EQ(DPLSelectedDocument(dpl.Id()), 0);
    EXPECT_EQ(Load(encrypted, "secret"), 1);
    EXPECT_EQ(DPLPageCount(dpl.Id()), 5);

    // A truncated file is repaired as far as its objects allow.
    std::string bytes = testing_support::ReadWholeFile(numbered);
    std::string truncated = dir.File("truncated.pdf");
    testing_support::WriteWholeFile(truncated, bytes.substr(0, bytes.size() - 300));
    if (Load(truncated) == 1) {
        EXPECT_GE(DPLPageCount(dpl.Id()), 0);
    }
}

TEST_F(DocumentApiTest, FailedSaveLeavesNoFileAndKeepsTheOldOne) {
    ASSERT_EQ(Load(numbered), 1);
    EXPECT_EQ(Save(dir.File("no such folder/out.pdf")), 0);
    EXPECT_FALSE(std::filesystem::exists(dir.File("no such folder")));
    std::string folderInTheWay = dir.File("folder.pdf");
    std::filesystem::create_directory(folderInTheWay);
    EXPECT_EQ(Save(folderInTheWay), 0);
    EXPECT_EQ(Save(""), 0);
    // Nothing but the input and the folder is left behind: no temporary files.
    int entries = 0;
    for ([[maybe_unused]] auto& entry : std::filesystem::directory_iterator(dir.Path())) ++entries;
    EXPECT_EQ(entries, 2);

    // Saving over an existing file replaces it whole.
    std::string existing = dir.File("existing.pdf");
    testing_support::WriteWholeFile(existing, "old contents");
    ASSERT_EQ(Save(existing), 1);
    EXPECT_EQ(testing_support::PageCount(existing), 5);
}

TEST_F(DocumentApiTest, SavingNeverChangesTheUmask) {
    // A parallel batch row creates its files while another saves. A save that set the umask
    // to learn it would, for that instant, let the other row's file be open to everybody.
    ASSERT_EQ(Load(numbered), 1);
    mode_t before = SetUmask(027);
    g_umaskCalls = 0;
    std::string out = dir.File("out.pdf");
    for (int i = 0; i < 3; ++i) ASSERT_EQ(Save(out), 1);
    EXPECT_EQ(g_umaskCalls, 0);
    SetUmask(before);
    struct stat saved {};
    ASSERT_EQ(::stat(out.c_str(), &saved), 0);
    EXPECT_EQ(saved.st_mode & 0777, 0640u);
}

TEST_F(DocumentApiTest, UnknownIdsAndRemovedDocuments) {
    EXPECT_EQ(DPLPageCount(0), 0);
    EXPECT_EQ(DPLNewDocument(-5), 0);
    EXPECT_EQ(DPLReleaseLibrary(123456), 0);
    EXPECT_EQ(DPLLoadFromFile(dpl.Id(), nullptr, nullptr), 0);
    int first = DPLNewDocument(dpl.Id());
    int second = DPLNewDocument(dpl.Id());
    EXPECT_NE(first, second);
    EXPECT_EQ(DPLSelectDocument(dpl.Id(), 0), 0);  // id 0 names no document: selection stays
    EXPECT_EQ(DPLSelectedDocument(dpl.Id()), second);
    EXPECT_EQ(DPLRemoveDocument(dpl.Id(), second), 1);
    EXPECT_EQ(DPLSelectedDocument(dpl.Id()), 0);
    EXPECT_EQ(DPLPageCount(dpl.Id()), 0);
    EXPECT_EQ(DPLNewPage(dpl.Id()), 0);
    EXPECT_EQ(DPLSaveToFile(dpl.Id(), W(dir.File("none.pdf")).c_str()), 0);
    EXPECT_EQ(DPLRemoveDocument(dpl.Id(), second), 0);
    EXPECT_EQ(DPLSelectDocument(dpl.Id(), first), 1);
    EXPECT_EQ(DPLImageWidth(dpl.Id()), 0);
    EXPECT_EQ(DPLDrawImage(dpl.Id(), 0, 0, 10, 10), 0);
    EXPECT_EQ(DPLSelectImage(dpl.Id(), 1), 0);
    EXPECT_EQ(DPLSetOrigin(dpl.Id(), 2), 0);
}

TEST_F(DocumentApiTest, PagesCopiedWithinOneDocumentAreNewPages) {
    ASSERT_EQ(Load(numbered), 1);
    int document = DPLSelectedDocument(dpl.Id());
    ASSERT_EQ(Copy(document, "1-2"), 1);
    EXPECT_EQ(DPLPageCount(dpl.Id()), 7);
    std::string out = dir.File("twice.pdf");
    ASSERT_EQ(Save(out), 1);
    std::string report;
    EXPECT_TRUE(testing_support::QpdfCheck(out, &report)) << report;
    EXPECT_EQ(testing_support::PageText(out, 6), "1");
    EXPECT_EQ(testing_support::PageText(out, 7), "2");
}
