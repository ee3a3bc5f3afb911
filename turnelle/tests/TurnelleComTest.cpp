// The settings object: defaults, puts by name, the file-list forms, and the `turnelle` command.
#include "turnelle/TurnelleCom.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "RotationTestFiles.h"
#include "platform/FileList.h"
#include "testing/RecordingSink.h"
#include "testing/Scratch.h"
#include "testing/Tools.h"

namespace turnelle {
namespace {

using testing_support::ScratchDir;
using testing_support::ShellQuote;
using testing_support::WriteWholeFile;
using turnelle_test::EffectiveRotations;

TEST(TurnelleComSettings, DefaultsAndPutsByName) {
    TurnelleCom rotation;
    EXPECT_EQ(rotation.Settings().type, 2);
    EXPECT_EQ(rotation.Settings().rotateAngle, 0);
    EXPECT_EQ(rotation.Settings().rotatePages, "");
    EXPECT_FALSE(rotation.Settings().force);

    EXPECT_TRUE(rotation.PutProperty("type", 7));
    EXPECT_TRUE(rotation.PutProperty("rotateAngle", -90));
    EXPECT_TRUE(rotation.PutProperty("rotatePages", std::string("1-3,5")));
    EXPECT_TRUE(rotation.PutProperty("force", 5));
    EXPECT_EQ(rotation.Settings().type, 7);
    EXPECT_EQ(rotation.Settings().rotateAngle, -90);
    EXPECT_EQ(rotation.Settings().rotatePages, "1-3,5");
    EXPECT_TRUE(rotation.Settings().force);

    // Unknown names and puts of the wrong kind change nothing.
    EXPECT_FALSE(rotation.PutProperty("angle", 90));
    EXPECT_FALSE(rotation.PutProperty("rotateAngle", std::string("90")));
    EXPECT_FALSE(rotation.PutProperty("rotatePages", 12));
    EXPECT_EQ(rotation.Settings().rotateAngle, -90);
}

class FileListRunTest : public ::testing::Test {
  protected:
    void SetUp() override {
        WriteWholeFile(m_dir.File("a.pdf"), turnelle_test::NestedTreePdf());
        WriteWholeFile(m_dir.File("b.pdf"), turnelle_test::NestedTreePdf());
        m_rotation.SetProgressSink(&m_progress);
        m_rotation.PutProperty("rotateAngle", 180);
        std::filesystem::create_directory(m_dir.File("out"));
    }

    ScratchDir m_dir;
    testing_support::RecordingSink m_progress;
    TurnelleCom m_rotation;
};

TEST_F(FileListRunTest, EveryLineIsRotatedIntoTheFolder) {
    const std::string list = m_dir.File("list.txt");
    // Lines with CR LF, a blank line, and no line feed after the last one.
    WriteWholeFile(list, "a.pdf\r\n\r\nb.pdf");
    const std::string cwd = std::filesystem::current_path();
    std::filesystem::current_path(m_dir.Path());
    const std::string status = m_rotation.getTurnelleFile(list, "-f" + m_dir.File("out"), "");
    std::filesystem::current_path(cwd);
    EXPECT_EQ(status, "");
    for (const char* name : {"a.pdf", "b.pdf"}) {
        EXPECT_EQ(EffectiveRotations(m_dir.File(std::string("out/") + name)),
                  std::vector<int>({180, 180, 180, 180}));
    }
}

TEST_F(FileListRunTest, StatusIsTheLastLinesOne) {
    const std::string list = m_dir.File("list.txt");
    const std::string missing = m_dir.File("missing.pdf");
    WriteWholeFile(list, missing + "\n" + m_dir.File("a.pdf") + "\n");
    EXPECT_EQ(m_rotation.getTurnelleFile(list, "-o" + m_dir.File("out/one.pdf"), ""), "");
    EXPECT_EQ(EffectiveRotations(m_dir.File("out/one.pdf")),
              std::vector<int>({180, 180, 180, 180}));

    WriteWholeFile(list, m_dir.File("a.pdf") + "\n" + missing + "\n");
    EXPECT_EQ(m_rotation.getTurnelleFile(list, "-o" + m_dir.File("out/two.pdf"), ""),
              "Input file open error: " + missing + "\n");
}

TEST_F(FileListRunTest, AListThatNeverEndsStopsAtItsLimit) {
    const std::string list = m_dir.File("zero.txt");
    std::filesystem::create_symlink("/dev/zero", list);
    EXPECT_EQ(m_rotation.getTurnelleFile(list, "-f" + m_dir.File("out"), ""),
              platform::FileListTooLongMessage());
    EXPECT_TRUE(std::filesystem::is_empty(m_dir.File("out")));
}

TEST_F(FileListRunTest, ListThatCannotBeOpenedIsRunAsOneFile) {
    const std::string missingList = m_dir.File("missing.txt");
    EXPECT_EQ(m_rotation.getTurnelleFile(missingList, m_dir.File("out.pdf"), ""),
              "Input file open error: " + missingList + "\n");
}

class TurnelleCommandTest : public ::testing::Test {
  protected:
    testing_support::CommandResult Turnelle(const std::string& arguments) {
        return testing_support::Run(ShellQuote(testing_support::BuildDir() + "/bin/turnelle") +
                                    " " + arguments);
    }
    ScratchDir m_dir;
};

TEST_F(TurnelleCommandTest, HelpNamesEverySetting) {
    const auto help = Turnelle("--help");
    EXPECT_EQ(help.exitCode, 0);
    for (const char* setting : {"--type=", "--rotateAngle=", "--rotatePages=", "--force="}) {
        EXPECT_NE(help.output.find(setting), std::string::npos) << setting;
    }
}

TEST_F(TurnelleCommandTest, RunsAndReportsFailures) {
    const std::string input = m_dir.File("in.pdf");
    WriteWholeFile(input, turnelle_test::NestedTreePdf());
    const std::string output = m_dir.File("out.pdf");
    const auto done = Turnelle("--type=3 --rotateAngle=90 --force=1 " + ShellQuote(input) + " " +
                               ShellQuote(output));
    EXPECT_EQ(done.exitCode, 0) << done.output;
    EXPECT_EQ(EffectiveRotations(output), std::vector<int>({0, 180, 180, 0}));

    const auto failed =
        Turnelle("--type=0 --rotatePages=9 " + ShellQuote(input) + " " + ShellQuote(output));
    EXPECT_EQ(failed.exitCode, 1);
    EXPECT_NE(failed.output.find("Page number 9 greater than 4 pages in file"), std::string::npos)
        << failed.output;

    EXPECT_EQ(Turnelle("--angle=90 " + ShellQuote(input) + " " + ShellQuote(output)).exitCode, 2);
    EXPECT_EQ(Turnelle("--type=odd " + ShellQuote(input) + " " + ShellQuote(output)).exitCode, 2);
    EXPECT_EQ(Turnelle(ShellQuote(input)).exitCode, 2);
}

TEST_F(TurnelleCommandTest, PrintsWarningsAfterTheStatus) {
    // A page tree that lists a page twice: the second listing is skipped with a warning.
    const std::string input = m_dir.File("twice.pdf");
    WriteWholeFile(input, turnelle_test::PdfOfObjects(
                              {"<< /Type /Catalog /Pages 2 0 R >>",
                               "<< /Type /Pages /Kids [3 0 R 3 0 R] /Count 2 >>",
                               "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 99 99] >>"}));
    const std::string output = m_dir.File("out.pdf");
    const auto done = Turnelle("--rotateAngle=90 " + ShellQuote(input) + " " + ShellQuote(output));
    EXPECT_EQ(done.exitCode, 0) << done.output;
    EXPECT_NE(done.output.find("warning: page tree: object 3 is reached a second time"),
              std::string::npos)
        << done.output;
    const auto failed =
        Turnelle("--type=0 --rotatePages=9 " + ShellQuote(input) + " " + ShellQuote(output));
    EXPECT_EQ(failed.exitCode, 1);
    const size_t status = failed.output.find("Page number 9 greater than");
    const size_t warning = failed.output.find("warning: page tree");
    EXPECT_TRUE(status != std::string::npos && warning != std::string::npos && status < warning)
        << failed.output;
}

}  // namespace
}  // namespace turnelle
