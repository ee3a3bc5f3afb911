// Failed runs: each gives its message, leaves no partial output and every file of the user as it
// was (an earlier output too); an output naming the input is refused before the input can be
// harmed.
#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <sstream>

#include "RotationTestFiles.h"
#include "testing/FailingDisk.h"
#include "testing/RecordingSink.h"
#include "testing/Scratch.h"
#include "testing/Tools.h"
#include "turnelle/TurnelleCom.h"

namespace turnelle {
namespace {

using testing_support::ReadWholeFile;
using testing_support::ScratchDir;
using testing_support::WriteWholeFile;

class RotationFailureTest : public ::testing::Test {
  protected:
    void SetUp() override {
        m_input = m_dir.File("in.pdf");
        WriteWholeFile(m_input, turnelle_test::NestedTreePdf());
        m_rotation.SetProgressSink(&m_progress);
    }

    std::string Rotate(const std::string& input, const std::string& output) {
        return m_rotation.getTurnelleFile(input, output, "");
    }

    ScratchDir m_dir;
    std::string m_input;
    testing_support::RecordingSink m_progress;
    TurnelleCom m_rotation;
};

TEST_F(RotationFailureTest, MissingInput) {
    const std::string output = m_dir.File("out.pdf");
    const std::string missing = m_dir.File("missing.pdf");
    EXPECT_EQ(Rotate(missing, output), "Input file open error: " + missing + "\n");
    EXPECT_FALSE(testing_support::Run("test -e " + output).exitCode == 0);
}

TEST_F(RotationFailureTest, OutputThatCannotBeCreated) {
    const std::string output = m_dir.File("no-such-folder/out.pdf");
    EXPECT_EQ(Rotate(m_input, output), "\nOutput file create error: " + output + "\n");
}

TEST_F(RotationFailureTest, OutputNamingTheInputIsRefused) {
    const std::string original = ReadWholeFile(m_input);
    const std::string link = m_dir.File("link.pdf");
    ASSERT_EQ(::symlink(m_input.c_str(), link.c_str()), 0);
    const std::string hardLink = m_dir.File("hard.pdf");
    ASSERT_EQ(::link(m_input.c_str(), hardLink.c_str()), 0);
    const std::string otherSpelling = m_dir.Path() + "/./in.pdf";
    for (const std::string& output : {m_input, link, hardLink, otherSpelling}) {
        EXPECT_EQ(Rotate(m_input, output), "Output file is the input file: " + output + "\n");
        EXPECT_EQ(ReadWholeFile(m_input), original);
    }
    EXPECT_EQ(ReadWholeFile(link), original);
}

TEST_F(RotationFailureTest, ADeviceIsNeverReplaced) {
    // A private copy of the device that is always full (character device 1,7).
    const std::string full = m_dir.File("full");
    if (testing_support::Run("mknod " + testing_support::ShellQuote(full) + " c 1 7").exitCode !=
        0) {
        GTEST_SKIP() << "cannot make a device node here";
    }
    EXPECT_EQ(Rotate(m_input, full), "\nOutput file create error: " + full + "\n");
    EXPECT_EQ(testing_support::Run("test -c " + testing_support::ShellQuote(full)).exitCode, 0);
}

TEST_F(RotationFailureTest, FailingDiskLeavesTheEarlierOutputAndNoPartialFile) {
    const std::string whole = m_dir.File("whole.pdf");
    ASSERT_EQ(Rotate(m_input, whole), "");
    const int64_t size = static_cast<int64_t>(ReadWholeFile(whole).size());
    const std::string output = m_dir.File("out.pdf");
    WriteWholeFile(output, "an older output");
    const std::vector<std::string> before = testing_support::FileNamesIn(m_dir.Path());
    for (int64_t accepted : {int64_t{0}, int64_t{20}, size / 2, size - 1}) {
        testing_support::ScopedFileSizeLimit disk(static_cast<rlim_t>(accepted));
        EXPECT_EQ(Rotate(m_input, output),
                  "Output file write error: " + output + ": File too large\n")
            << accepted;
        EXPECT_EQ(ReadWholeFile(output), "an older output") << accepted;
        EXPECT_EQ(testing_support::FileNamesIn(m_dir.Path()), before) << accepted;
    }
    EXPECT_EQ(Rotate(m_input, output), "");
    EXPECT_EQ(ReadWholeFile(output), ReadWholeFile(whole));
}

TEST_F(RotationFailureTest, FailedRunLeavesEveryFileAsItWas) {
    const std::string neighbour = m_dir.File("neighbour.pdf");
    WriteWholeFile(neighbour, "keep me");
    const std::string output = m_dir.File("out.pdf");
    WriteWholeFile(output, "an older output");
    const struct {
        int type;
        const char* pages;
        const char* message;
    } cases[] = {
        {0, "1-9", "Wrong page ranges, 9 greater than 4 pages in file"},
        {0, "1 ,2", "Invalid parameter\n"},
        {0, "", "Invalid parameter\n"},
        {0, "0", "Invalid page number 0"},
    };
    for (const auto& c : cases) {
        m_rotation.PutProperty("type", c.type);
        m_rotation.PutProperty("rotatePages", std::string(c.pages));
        EXPECT_EQ(Rotate(m_input, output), c.message);
        EXPECT_EQ(ReadWholeFile(output), "an older output") << c.pages;
    }
    EXPECT_EQ(testing_support::FileNamesIn(m_dir.Path()),
              (std::vector<std::string>{"in.pdf", "neighbour.pdf", "out.pdf"}));
    EXPECT_EQ(ReadWholeFile(neighbour), "keep me");
    EXPECT_EQ(ReadWholeFile(m_input), turnelle_test::NestedTreePdf());
}

TEST_F(RotationFailureTest, DamagedInputs) {
    const std::string nested = turnelle_test::NestedTreePdf();
    using turnelle_test::PdfOfObjects;
    const std::string catalog = "<< /Type /Catalog /Pages 2 0 R >>";
    const struct {
        const char* name;
        std::string bytes;
        const char* message;  // nullptr: any message from the reader
    } cases[] = {
        {"catalog without pages", PdfOfObjects({"<< /Type /Catalog >>"}), "PDF file was damaged\n"},
        {"page count beyond the objects",
         PdfOfObjects({catalog, "<< /Type /Pages /Kids [3 0 R] /Count 2000000000 >>",
                       "<< /Type /Page /Parent 2 0 R >>"}),
         "PDF file was damaged\n"},
        {"cut in half", nested.substr(0, nested.size() / 2), nullptr},
        {"empty", "", nullptr},
        {"not a PDF", std::string(3000, 'z'), nullptr},
    };
    const std::string output = m_dir.File("out.pdf");
    for (const auto& c : cases) {
        const std::string input = m_dir.File("damaged.pdf");
        WriteWholeFile(input, c.bytes);
        const std::string status = Rotate(input, output);
        if (c.message != nullptr) {
            EXPECT_EQ(status, c.message) << c.name;
        } else {
            EXPECT_NE(status, "") << c.name;
        }
        EXPECT_NE(testing_support::Run("test -e " + output).exitCode, 0) << c.name;
    }
}

TEST_F(RotationFailureTest, EncryptedInput) {
    const std::string encrypted = m_dir.File("encrypted.pdf");
    const auto made =
        testing_support::Run("qpdf --encrypt u o 256 -- " + testing_support::ShellQuote(m_input) +
                             " " + testing_support::ShellQuote(encrypted));
    ASSERT_EQ(made.exitCode, 0) << made.output;
    EXPECT_EQ(Rotate(encrypted, m_dir.File("out.pdf")), "PDF file is encrypted");
}

// Damaged page-tree nodes are skipped, each with a warning; the pages that remain are rotated
// and the output is a sound file.
TEST_F(RotationFailureTest, DamagedPageTreeNodesAreSkippedWithWarnings) {
    using turnelle_test::PdfOfObjects;
    const std::string catalog = "<< /Type /Catalog /Pages 2 0 R >>";
    const std::string page = "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 200 200] >>";
    const struct {
        const char* name;
        std::string bytes;
        const char* warning;
    } cases[] = {
        {"loop in the page tree",
         PdfOfObjects({catalog, "<< /Type /Pages /Kids [3 0 R 4 0 R] /Count 2 >>",
                       "<< /Type /Pages /Parent 2 0 R /Kids [2 0 R] /Count 1 >>", page}),
         "page tree: object 2 is reached a second time (a loop or a repeated kid); skipped"},
        {"pages node without kids",
         PdfOfObjects({catalog, "<< /Type /Pages /Kids [4 0 R 3 0 R] /Count 2 >>",
                       "<< /Type /Pages /Parent 2 0 R /Count 1 >>", page}),
         "page tree: object 3 is a /Pages node without a /Kids array; skipped"},
        {"kid that is no dictionary",
         PdfOfObjects(
             {catalog, "<< /Type /Pages /Kids [7 3 0 R 4 0 R] /Count 2 >>", "[1 2]", page}),
         "page tree: object 3 is not a dictionary; skipped"},
    };
    m_rotation.PutProperty("rotateAngle", 90);
    const std::string output = m_dir.File("out.pdf");
    for (const auto& c : cases) {
        const std::string input = m_dir.File("damaged.pdf");
        WriteWholeFile(input, c.bytes);
        EXPECT_EQ(Rotate(input, output), "") << c.name;
        const std::vector<std::string>& warnings = m_rotation.Warnings().Items();
        EXPECT_NE(std::find(warnings.begin(), warnings.end(), c.warning), warnings.end())
            << c.name << "\n"
            << m_rotation.Warnings().Text();
        // The tree is copied as it stands: what qpdf accepts in the input it accepts in the
        // output.
        std::string report;
        if (testing_support::QpdfCheck(input)) {
            EXPECT_TRUE(testing_support::QpdfCheck(output, &report)) << c.name << report;
        }
        EXPECT_NE(ReadWholeFile(output).find("4 0 obj\n<</Rotate 90\n"), std::string::npos)
            << c.name;
    }
}

}  // namespace
}  // namespace turnelle
