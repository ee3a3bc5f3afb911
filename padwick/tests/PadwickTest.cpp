// The padding library as the desktop program uses it: loaded by name, its exports bound by
// name, run on PDF files made by Ghostscript and qpdf.
#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <regex>

#include "padwick/Padwick.h"
#include "padwick/PadwickState.h"
#include "platform/SharedLibrary.h"
#include "platform/TempFiles.h"
#include "testing/Bookmarks.h"
#include "testing/RealFiles.h"
#include "testing/Scratch.h"
#include "testing/Tools.h"

using testing_support::ScratchDir;
using testing_support::ShellQuote;

namespace {

constexpr double kSamePicture = 2.0;

class PadwickTest : public testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(library.OpenByName("Padwick.dll")) << library.LastError();
        AddBlanks = reinterpret_cast<int (*)(const char*, char*, int)>(library.Symbol("AddBlanks"));
        GetPageCount = reinterpret_cast<int (*)(const char*)>(library.Symbol("GetPageCount"));
        GetProcessingStatus = reinterpret_cast<int (*)()>(library.Symbol("GetProcessingStatus"));
        GetProcessingPage = reinterpret_cast<int (*)()>(library.Symbol("GetProcessingPage"));
        ASSERT_TRUE(AddBlanks && GetPageCount && GetProcessingStatus && GetProcessingPage);
        input = dir.File("Report.pdf");
        testing_support::PdfFromPostScript(testing_support::NumberedPagesPostScript(5, 595, 842),
                                           input);
    }

    // AddBlanks with a named output, through a buffer as large as a path may be.
    int AddBlanksTo(const std::string& in, const std::string& out, int count) {
        std::string buffer = out;
        buffer.resize(4096, '\0');
        return AddBlanks(in.c_str(), buffer.data(), count);
    }

    // Checks a padded file: valid, the input's pages unchanged first, then `count` white
    // pages of the first page's size.
    void ExpectPadded(const std::string& in, const std::string& out, int count) {
        std::string report;
        ASSERT_TRUE(testing_support::QpdfCheck(out, &report)) << report;
        int inputPages = testing_support::PageCount(in);
        ASSERT_EQ(testing_support::PageCount(out), inputPages + count);
        testing_support::PageSize first = testing_support::PdfPageSize(in, 1);
        for (int page = 1; page <= inputPages + count; ++page) {
            testing_support::Image rendered = testing_support::RenderPage(out, page, 15);
            if (page <= inputPages) {
                EXPECT_LT(rendered.MeanDifference(testing_support::RenderPage(in, page, 15)),
                          kSamePicture)
                    << page;
                continue;
            }
            EXPECT_DOUBLE_EQ(rendered.DarkFraction(), 0.0) << page;
            testing_support::PageSize size = testing_support::PdfPageSize(out, page);
            EXPECT_DOUBLE_EQ(size.width, first.width) << page;
            EXPECT_DOUBLE_EQ(size.height, first.height) << page;
        }
    }

    platform::SharedLibrary library;
    int (*AddBlanks)(const char*, char*, int) = nullptr;
    int (*GetPageCount)(const char*) = nullptr;
    int (*GetProcessingStatus)() = nullptr;
    int (*GetProcessingPage)() = nullptr;
    ScratchDir dir;
    std::string input;
};

}  // namespace

TEST_F(PadwickTest, CountsPagesOfRealFiles) {
    EXPECT_EQ(GetPageCount(input.c_str()), 5);
    EXPECT_EQ(GetProcessingStatus(), 4);
    EXPECT_EQ(GetProcessingPage(), 0);
    std::string packed = dir.File("packed.pdf");
    testing_support::MustRun("qpdf --object-streams=generate --linearize " + ShellQuote(input) +
                             " " + ShellQuote(packed));
    EXPECT_EQ(GetPageCount(packed.c_str()), 5);
}

TEST_F(PadwickTest, AppendsBlankPagesOfTheInputsSize) {
    std::string out = dir.File("padded.pdf");
    ASSERT_EQ(AddBlanksTo(input, out, 3), 1);
    EXPECT_EQ(GetProcessingStatus(), 4);
    EXPECT_EQ(GetProcessingPage(), 0);
    ExpectPadded(input, out, 3);
}

TEST_F(PadwickTest, BlankPagesFollowTheFirstPageOfAMixedSizeInput) {
    std::string letter = dir.File("letter.pdf");
    testing_support::PdfFromPostScript(testing_support::NumberedPagesPostScript(2, 612, 792),
                                       letter);
    std::string mixed = dir.File("mixed.pdf");
    testing_support::MustRun("qpdf --empty --pages " + ShellQuote(input) + " 1 " +
                             ShellQuote(letter) + " -- " + ShellQuote(mixed));
    std::string out = dir.File("padded.pdf");
    ASSERT_EQ(AddBlanksTo(mixed, out, 2), 1);
    ExpectPadded(mixed, out, 2);
    EXPECT_DOUBLE_EQ(testing_support::PdfPageSize(out, 4).width, 595);
}

// Beyond a hundred, blank pages are written after the document in nodes of a thousand: the
// file stays valid and readable, whatever the input's layout, and each page is blank and of the
// first page's size, across the nodes' edges.
TEST_F(PadwickTest, ManyBlankPagesAreWrittenAfterTheDocument) {
    std::string packed = dir.File("packed.pdf");
    testing_support::MustRun("qpdf --object-streams=generate " + ShellQuote(input) + " " +
                             ShellQuote(packed));
    std::string letter = dir.File("letter.pdf");
    testing_support::PdfFromPostScript(testing_support::NumberedPagesPostScript(2, 612, 792),
                                       letter);
    for (auto [in, count] : {std::pair{input, 101}, {packed, 2345}, {letter, 1000}}) {
        SCOPED_TRACE(in + " + " + std::to_string(count));
        std::string out = dir.File("many.pdf");
        ASSERT_EQ(AddBlanksTo(in, out, count), 1);
        std::string report;
        ASSERT_TRUE(testing_support::QpdfCheckClean(out, &report)) << report;
        EXPECT_TRUE(testing_support::GhostscriptRereads(out, &report)) << report;
        int inputPages = testing_support::PageCount(in);
        ASSERT_EQ(testing_support::PageCount(out), inputPages + count);
        EXPECT_LT(testing_support::RenderPage(out, inputPages, 15)
                      .MeanDifference(testing_support::RenderPage(in, inputPages, 15)),
                  kSamePicture);
        testing_support::PageSize first = testing_support::PdfPageSize(in, 1);
        for (int blank : {1, 1000, 1001, count}) {
            if (blank > count) continue;
            int page = inputPages + blank;
            EXPECT_DOUBLE_EQ(testing_support::RenderPage(out, page, 15).DarkFraction(), 0.0)
                << page;
            EXPECT_DOUBLE_EQ(testing_support::PdfPageSize(out, page).width, first.width) << page;
            EXPECT_DOUBLE_EQ(testing_support::PdfPageSize(out, page).height, first.height) << page;
        }
    }
}

// The most blank pages a job may ask for take about as much memory as a few: the largest
// padding runs in a child whose peak is read back (qpdf's page objects took 550 MB here).
TEST_F(PadwickTest, TheLargestPaddingStaysSmallInMemory) {
    std::string call = testing_support::BuildDir() + "/tests/padwick_call";
    std::string out = dir.File("largest.pdf");
    std::string count = std::to_string(kPadwickMaxBlankPages);
    pid_t child = ::fork();
    if (child == 0) {
        ::execl(call.c_str(), call.c_str(), "blanks", input.c_str(), out.c_str(), count.c_str(),
                static_cast<char*>(nullptr));
        ::_exit(127);
    }
    int status = 0;
    rusage usage{};
    ASSERT_EQ(::wait4(child, &status, 0, &usage), child);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    EXPECT_LT(usage.ru_maxrss, 150 * 1024) << "kilobytes at the peak";
    EXPECT_EQ(testing_support::PageCount(out), 5 + kPadwickMaxBlankPages);
}

TEST_F(PadwickTest, ZeroBlankPagesStillWritesACopy) {
    std::string out = dir.File("copy.pdf");
    ASSERT_EQ(AddBlanksTo(input, out, 0), 1);
    EXPECT_EQ(GetProcessingStatus(), 4);
    ExpectPadded(input, out, 0);
}

TEST_F(PadwickTest, ACountBeyondTheLimitIsRefusedBeforeAnythingIsMade) {
    std::string out = dir.File("padded.pdf");
    EXPECT_EQ(AddBlanksTo(input, out, 2147483647), kPadwickCannotAddBlanks);
    EXPECT_EQ(AddBlanksTo(input, out, kPadwickMaxBlankPages + 1), kPadwickCannotAddBlanks);
    EXPECT_FALSE(std::filesystem::exists(out));
}

TEST_F(PadwickTest, NamesThatAreNotUtf8AreKeptByteForByte) {
    std::string latin1 = dir.File("in\xE9.pdf");
    std::filesystem::copy_file(input, latin1);
    std::string out = dir.File("out\xE9.pdf");
    EXPECT_EQ(GetPageCount(latin1.c_str()), 5);
    ASSERT_EQ(AddBlanksTo(latin1, out, 1), 1);
    EXPECT_EQ(testing_support::PageCount(out), 6);
    EXPECT_FALSE(std::filesystem::exists(dir.File("out\xEF\xBF\xBD.pdf")));
}

TEST_F(PadwickTest, EmptyOutputGetsAGeneratedNameInTheTemporaryFolder) {
    char output[4096] = "";
    time_t before = std::time(nullptr);
    ASSERT_EQ(AddBlanks(input.c_str(), output, 1), 1);
    std::string name = output;
    std::string temp = platform::TempFolder();
    ASSERT_EQ(name.rfind(temp, 0), 0u) << name;
    std::smatch match;
    std::string rest = name.substr(temp.size());
    ASSERT_TRUE(std::regex_match(rest, match, std::regex("report_BW_([0-9]+)\\.pdf"))) << rest;
    EXPECT_GE(std::stol(match[1]), static_cast<long>(before));
    EXPECT_EQ(testing_support::PageCount(name), 6);
    std::filesystem::remove(name);
}

TEST_F(PadwickTest, GeneratedNameLongerThanTheBufferIsRefused) {
    // A temporary folder whose name alone fills the caller's buffer: the generated name cannot
    // be handed back, so nothing is written and the buffer stays empty.
    const char* saved = std::getenv("TMPDIR");
    std::string savedValue = saved != nullptr ? saved : "";
    std::string longFolder = dir.File(std::string(kPadwickOutputSize, 'd'));
    setenv("TMPDIR", longFolder.c_str(), 1);
    char output[kPadwickOutputSize] = "";
    int result = AddBlanks(input.c_str(), output, 1);
    if (saved != nullptr) {
        setenv("TMPDIR", savedValue.c_str(), 1);
    } else {
        unsetenv("TMPDIR");
    }
    EXPECT_EQ(result, kPadwickOutputNameTooLong);
    EXPECT_STREQ(output, "");
    EXPECT_EQ(GetProcessingStatus(), 0);
}

TEST(PadwickOutputName, TitleIsLowerCasedAndLosesOnlyAPdfExtension) {
    struct Case {
        const char* input;
        const char* expected;
    };
    const Case cases[] = {
        {"/data/in/Report.pdf", "/t/report_BW_42.pdf"}, {"Report", "/t/report_BW_42.pdf"},
        {"/a/SCAN.PDF", "/t/scan_BW_42.pdf"},           {"/a/notes.txt", "/t/notes.txt_BW_42.pdf"},
        {"/a.b/x.pdf.pdf", "/t/x.pdf_BW_42.pdf"},
    };
    for (const Case& c : cases) EXPECT_EQ(GeneratedOutputName("/t/", c.input, 42), c.expected);
}

TEST_F(PadwickTest, LongNamesAreHeldWhole) {
    std::string folder = dir.File(std::string(150, 'f'));
    std::filesystem::create_directory(folder);
    std::string longInput = folder + "/" + std::string(120, 'i') + ".pdf";
    std::filesystem::copy_file(input, longInput);
    std::string out = folder + "/" + std::string(140, 'o') + ".pdf";
    ASSERT_GT(out.size(), 300u);
    EXPECT_EQ(GetPageCount(longInput.c_str()), 5);
    ASSERT_EQ(AddBlanksTo(longInput, out, 1), 1);
    EXPECT_EQ(testing_support::PageCount(out), 6);
}

TEST_F(PadwickTest, MissingOrDamagedInputIsRefused) {
    std::string damaged = dir.File("damaged.pdf");
    testing_support::WriteWholeFile(damaged, "%PDF-1.4\nthis is no pdf body\n");
    std::string out = dir.File("out.pdf");
    EXPECT_EQ(AddBlanksTo(dir.File("missing.pdf"), out, 2), -4);
    EXPECT_EQ(GetProcessingStatus(), 0);
    EXPECT_EQ(GetPageCount(dir.File("missing.pdf").c_str()), -4);
    EXPECT_EQ(GetProcessingStatus(), 0);
    EXPECT_EQ(AddBlanksTo(damaged, out, 2), -4);
    EXPECT_EQ(GetPageCount(damaged.c_str()), -4);
    EXPECT_FALSE(std::filesystem::exists(out));
}

TEST_F(PadwickTest, FailedSaveIsReportedAndLeavesNoFile) {
    EXPECT_EQ(AddBlanksTo(input, dir.File("no such folder/out.pdf"), 2), -6);
    EXPECT_EQ(GetProcessingStatus(), 3);
    std::string existing = dir.File("existing.pdf");
    std::filesystem::create_directory(existing);  // a folder where the file should go
    EXPECT_EQ(AddBlanksTo(input, existing, 2), -6);
    EXPECT_TRUE(std::filesystem::is_directory(existing));
}

TEST_F(PadwickTest, MissingPdfLibraryGivesMinusThree) {
    // A program and the padding library in a tree of their own, without the DPL library.
    std::string bin = dir.File("bin");
    std::string lib = dir.File("lib/velmora");
    std::filesystem::create_directories(bin);
    std::filesystem::create_directories(lib);
    std::string tests = testing_support::BuildDir() + "/tests";
    std::filesystem::copy_file(tests + "/padwick_call", bin + "/padwick_call");
    std::filesystem::copy_file(testing_support::BuildDir() + "/lib/velmora/libpadwick.so",
                               lib + "/libpadwick.so");
    testing_support::CommandResult count =
        testing_support::Run(ShellQuote(bin + "/padwick_call") + " count " + ShellQuote(input));
    EXPECT_EQ(count.output, "-3 0\n");
    testing_support::CommandResult blanks =
        testing_support::Run(ShellQuote(bin + "/padwick_call") + " blanks " + ShellQuote(input) +
                             " " + ShellQuote(dir.File("out.pdf")) + " 2");
    EXPECT_EQ(blanks.output, "-3 0\n");
    EXPECT_FALSE(std::filesystem::exists(dir.File("out.pdf")));

    // Beside the DPL library the same program works.
    std::filesystem::copy_file(testing_support::BuildDir() + "/lib/velmora/libprintpdf.so",
                               lib + "/libprintpdf.so");
    count = testing_support::Run(ShellQuote(bin + "/padwick_call") + " count " + ShellQuote(input));
    EXPECT_EQ(count.output, "5 4\n");
}
