// The gridane command, run as a program.
#include <gtest/gtest.h>

#include <filesystem>

#include "gridane/tests/ImposeHelpers.h"
#include "platform/TempFileName.h"
#include "testing/ReaderFaultFiles.h"
#include "testing/RealFiles.h"
#include "testing/Scratch.h"
#include "testing/Tools.h"

namespace gridane {
namespace {

using namespace testing_support;

std::string Gridane() {
    return BuildDir() + "/bin/gridane";
}

TEST(CommandTest, HelpListsEveryPropertyWithItsDefault) {
    CommandResult help = testing_support::Run(Gridane() + " --help");
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_NE(help.output.find("--up4=N"), std::string::npos);
    EXPECT_NE(help.output.find("--e=N"), std::string::npos);
    EXPECT_NE(help.output.find("(default 99999)"), std::string::npos);
    EXPECT_NE(help.output.find("--mediabox2=TEXT"), std::string::npos);
}

TEST(CommandTest, ImposesAndReportsItsStatusInTheExitCode) {
    ScratchDir dir;
    std::string output = dir.File("out.pdf");
    CommandResult run =
        testing_support::Run(Gridane() + " --up4 --ab4=1 --s=1 --e=8 --cropbox=0,0,1224,1584 " +
                             ShellQuote(test::NumberedLetterPdf(8)) + " " + ShellQuote(output));
    EXPECT_EQ(run.exitCode, 0) << run.output;
    EXPECT_NE(run.output.find("Processing"), std::string::npos);
    EXPECT_EQ(PageCount(output), 2);
    EXPECT_TRUE(QpdfCheck(output));

    CommandResult failed = testing_support::Run(Gridane() + " " + ShellQuote(dir.File("none.pdf")) +
                                                " " + ShellQuote(output));
    EXPECT_EQ(failed.exitCode, 1);
    EXPECT_NE(failed.output.find("Input file open error"), std::string::npos);

    // What the engine warns of comes after the status.
    std::string missing = dir.File("none.pdf");
    CommandResult warned = testing_support::Run(Gridane() + " --up2to1 " + ShellQuote(missing) +
                                                " " + ShellQuote(output));
    EXPECT_EQ(warned.exitCode, 1);
    size_t status = warned.output.find("gridane: Input file open error");
    size_t warning = warned.output.find("gridane: warning: File1 open error: '" + missing + "'");
    ASSERT_NE(status, std::string::npos) << warned.output;
    ASSERT_NE(warning, std::string::npos) << warned.output;
    EXPECT_LT(status, warning);

    // A run that stops after its first progress text still reports on a line of its own.
    std::string encrypted = dir.File("encrypted.pdf");
    MustRun("qpdf --encrypt user owner 256 -- " + ShellQuote(test::NumberedLetterPdf(2)) + " " +
            ShellQuote(encrypted));
    CommandResult refused =
        testing_support::Run(Gridane() + " " + ShellQuote(encrypted) + " " + ShellQuote(output));
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_NE(refused.output.find("'\ngridane: PDF file is encrypted\n"), std::string::npos)
        << refused.output;
}

TEST(CommandTest, AfterTheEndOfOptionsEveryArgumentIsAName) {
    ScratchDir dir;
    std::filesystem::copy_file(test::NumberedLetterPdf(4), dir.File("--up4"));
    CommandResult run = testing_support::Run("cd " + ShellQuote(dir.Path()) + " && " + Gridane() +
                                             " --up2to1 -- --up4 -h");
    EXPECT_EQ(run.exitCode, 0) << run.output;
    EXPECT_EQ(PageCount(dir.File("-h")), 8);  // halves, so --up4 was no setting
}

TEST(CommandTest, OnlyThePrePassFileNameIsAResultStatus) {
    ScratchDir dir;
    std::string input = test::NumberedLetterPdf(2);
    // An unwritable output's message holds "temp" (in "contemporary"): still a failure.
    CommandResult refused = testing_support::Run(Gridane() + " " + ShellQuote(input) +
                                                 " /nonexistent/contemporary.pdf");
    EXPECT_EQ(refused.exitCode, 1) << refused.output;

    // The doubling pass writes its file beside the output, from a folder nobody may write.
    std::string output = dir.File("out.pdf");
    CommandResult doubled =
        testing_support::Run("cd / && " + Gridane() + " --duplicate=1 --rotateLeft=1 " +
                             ShellQuote(input) + " " + ShellQuote(output));
    EXPECT_EQ(doubled.exitCode, 0) << doubled.output;
    std::string named = doubled.output.substr(doubled.output.rfind(dir.Path()));
    named.erase(named.find('\n'));
    EXPECT_TRUE(IsTempFileNameBeside(named, output)) << named;
    EXPECT_EQ(PageCount(named), 4);
}

TEST(CommandTest, UsesTheServerModuleBesideItWhenTheClassIsNotRegistered) {
    ScratchDir dir;
    WriteWholeFile(dir.File("registry"), "");
    std::string output = dir.File("out.pdf");
    CommandResult run = testing_support::Run(
        "VELMORA_REGISTRY=" + ShellQuote(dir.File("registry")) + " " + Gridane() + " --up4 " +
        ShellQuote(test::NumberedLetterPdf(8)) + " " + ShellQuote(output));
    EXPECT_EQ(run.exitCode, 0) << run.output;
    EXPECT_EQ(PageCount(output), 2);
}

TEST(CommandTest, WrongCommandLines) {
    for (const char* args : {"", "only-one.pdf", "--nosuch=1 a.pdf b.pdf", "--s=two a.pdf b.pdf",
                             "--cropbox a.pdf b.pdf"}) {
        CommandResult run = testing_support::Run(Gridane() + " " + args);
        EXPECT_EQ(run.exitCode, 2) << args;
        EXPECT_NE(run.output.find("usage: gridane"), std::string::npos) << args;
    }
}

TEST(CommandTest, PrintsWarningsAfterTheStatus) {
    ScratchDir dir;
    std::string input = dir.File("reserved.pdf");
    int first = AddEntriesLeadingToOtherObjects(test::NumberedLetterPdf(4), {3}, input);
    std::string output = dir.File("out.pdf");
    CommandResult run =
        testing_support::Run(Gridane() + " " + ShellQuote(input) + " " + ShellQuote(output));
    EXPECT_EQ(run.exitCode, 0) << run.output;
    size_t done = run.output.find("Done: ");
    size_t warning =
        run.output.find("warning: cross-reference entry of object " + std::to_string(first));
    EXPECT_TRUE(done != std::string::npos && warning != std::string::npos && done < warning)
        << run.output;
}

}  // namespace
}  // namespace gridane
