// velmorade -h as a user runs it: what it does to files when a job fails, is interrupted, runs
// beside another job on the same output or meets a file-size limit, and what a quiet batch run
// says about its failed rows.
#include <gtest/gtest.h>

#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <algorithm>
#include <filesystem>
#include <sstream>

#include "desktop/core/Pipeline.h"
#include "desktop/core/SetupFile.h"
#include "desktop/core/tests/PipelineFixture.h"
#include "testing/ActiveContentFile.h"
#include "testing/RealFiles.h"
#include "testing/Tools.h"
#include "testing/Waiting.h"

extern char** environ;

namespace desktop_test {
namespace {

using namespace testing_support;
namespace fs = std::filesystem;

class ProgramSafetyTest : public ::testing::Test {
  protected:
    ProgramSafetyTest() {
        fs::create_directories(m_dir.File("tmp"));
        PdfFromPostScript(NumberedPagesPostScript(6, 300, 400), m_dir.File("in.pdf"));
    }

    // Cleaning on: the setup file the jobs here run with.
    std::string CleaningSetup() {
        desktop::JobSetup setup;
        setup.dontCleanFile = 0;
        WriteWholeFile(m_dir.File("clean.plf"), desktop::SetupFileText(setup, false));
        return ShellQuote(m_dir.File("clean.plf"));
    }

    // A copy of the program whose cleaning script, found beside it first, is `script`.
    std::string ProgramWithCleaning(const std::string& script) {
        std::string bin = m_dir.File("bin");
        fs::create_directories(bin);
        fs::copy_file(BuildDir() + "/bin/velmorade", bin + "/velmorade");
        fs::create_directory_symlink(BuildDir() + "/lib", m_dir.File("lib"));
        WriteProgram(bin + "/koblin", script);
        return bin + "/velmorade";
    }
    // A cleaning script that starts a long sleep, notes its pid in "started" and waits.
    std::string ProgramWithHangingCleaning() {
        return ProgramWithCleaning("#!/bin/sh\nsleep 600 &\necho $! > '" +
                                   m_dir.File("started.part") + "'\nmv '" +
                                   m_dir.File("started.part") + "' '" + m_dir.File("started") +
                                   "'\ncp \"$1\" \"$2\"\nwait\n");
    }
    // Starts `arguments` quietly with `program` in the scratch folder; the shell's pid.
    pid_t StartQuiet(const std::string& program, const std::string& arguments) {
        std::string command = "cd " + ShellQuote(m_dir.Path()) + " && exec env VELMORA_REGISTRY=" +
                              ShellQuote(BuildDir() + "/lib/velmora/registry") + " " +
                              VelmoradeCommand(m_dir, arguments, program) + " 2>/dev/null";
        const char* argv[] = {"/bin/sh", "-c", command.c_str(), nullptr};
        pid_t pid = -1;
        ::posix_spawn(&pid, "/bin/sh", nullptr, nullptr, const_cast<char**>(argv), environ);
        return pid;
    }
    std::string Md5(const std::string& path) {
        return testing_support::Run("md5sum < " + ShellQuote(path)).output;
    }

    ScratchDir m_dir;
};

TEST_F(ProgramSafetyTest, AFailedJobLeavesTheEarlierOutputAsItWas) {
    CommandResult first = Velmorade(m_dir, "-h -o out.pdf in.pdf -p");
    ASSERT_EQ(first.exitCode, 0) << first.output;
    std::string earlier = Md5(m_dir.File("out.pdf"));
    WriteWholeFile(m_dir.File("junk.pdf"), "not a PDF\n");
    // With cleaning on, the output's cleaning once ran on the earlier file.
    CommandResult failed = Velmorade(m_dir, "-h -c " + CleaningSetup() + " -o out.pdf junk.pdf -p");
    EXPECT_EQ(failed.exitCode, desktop::kProcessImpositionFailed) << failed.output;
    EXPECT_EQ(Md5(m_dir.File("out.pdf")), earlier);
    EXPECT_TRUE(fs::is_empty(m_dir.File("tmp")));
}

TEST_F(ProgramSafetyTest, WorkingFilesNeverMeetTheUsersFiles) {
    // An input named as the output's old cleaning file, and a file named as its rotation file.
    fs::copy_file(m_dir.File("in.pdf"), m_dir.File("r.pdf_clean.pdf"));
    WriteWholeFile(m_dir.File("r.pdf.rot"), "keep me\n");
    desktop::JobSetup setup;
    setup.dontCleanFile = 0;
    setup.rotateNone = desktop::kNotChosen;
    setup.rotateAll = desktop::kChosen;
    WriteWholeFile(m_dir.File("turn.plf"), desktop::SetupFileText(setup, false));
    CommandResult run = Velmorade(m_dir, "-h -c turn.plf -o r.pdf r.pdf_clean.pdf -p");
    EXPECT_EQ(run.exitCode, 0) << run.output;
    EXPECT_EQ(PageCount(m_dir.File("r.pdf_clean.pdf")), 6);
    EXPECT_EQ(ReadWholeFile(m_dir.File("r.pdf.rot")), "keep me\n");
    EXPECT_EQ(PageCount(m_dir.File("r.pdf")), 3);

    // The doubling pass and the 2-to-1 pre-pass work from a folder nobody may write.
    fs::create_directories(m_dir.File("locked"));
    fs::permissions(m_dir.File("locked"), fs::perms::owner_read | fs::perms::owner_exec);
    setup = desktop::JobSetup();
    setup.duplicate = 1;
    setup.dupRotateLeft = 1;
    WriteWholeFile(m_dir.File("double.plf"), desktop::SetupFileText(setup, false));
    setup = desktop::JobSetup();
    setup.processingType = std::string(desktop::kLayoutSplitVertical);
    WriteWholeFile(m_dir.File("split.plf"), desktop::SetupFileText(setup, false));
    for (const char* plf : {"double.plf", "split.plf"}) {
        CommandResult locked = testing_support::Run(
            "cd " + ShellQuote(m_dir.File("locked")) + " && " +
            VelmoradeCommand(
                m_dir, "-h -c ../" + std::string(plf) + " -o ../" + plf + ".pdf ../in.pdf -p") +
            " 2>&1");
        EXPECT_EQ(locked.exitCode, 0) << plf << "\n" << locked.output;
        EXPECT_TRUE(QpdfCheckClean(m_dir.File(std::string(plf) + ".pdf"))) << plf;
    }
    EXPECT_TRUE(fs::is_empty(m_dir.File("locked")));  // nothing written there, root or not
    fs::permissions(m_dir.File("locked"), fs::perms::owner_all);
    EXPECT_TRUE(fs::is_empty(m_dir.File("tmp")));
}

TEST_F(ProgramSafetyTest, JobsOnOneOutputAtOnceEachPutAWholeResultInPlace) {
    PdfFromPostScript(NumberedPagesPostScript(12, 300, 400), m_dir.File("long.pdf"));
    std::string clean = CleaningSetup();
    for (int round = 0; round < 6; ++round) {
        CommandResult both =
            VelmoradeTwiceAtOnce(m_dir, "-h -c " + clean + " -o same.pdf in.pdf -p",
                                 "-h -c " + clean + " -o same.pdf long.pdf -p");
        ASSERT_EQ(both.exitCode, 0) << both.output;
        int pages = PageCount(m_dir.File("same.pdf"));
        EXPECT_TRUE(pages == 3 || pages == 6) << pages;
        EXPECT_TRUE(QpdfCheckClean(m_dir.File("same.pdf")));
    }
    for (const auto& entry : fs::directory_iterator(m_dir.Path())) {
        EXPECT_NE(entry.path().extension(), ".part") << entry.path();
    }
    EXPECT_TRUE(fs::is_empty(m_dir.File("tmp")));
}

TEST_F(ProgramSafetyTest, InterruptsEndTheOutsideProgramAndLeaveNothingBehind) {
    std::string program = ProgramWithHangingCleaning();
    CommandResult first = Velmorade(m_dir, "-h -o out.pdf in.pdf -p");
    ASSERT_EQ(first.exitCode, 0) << first.output;
    std::string earlier = Md5(m_dir.File("out.pdf"));
    // Quiet mode, and the window (on Qt's offscreen platform) running the job from its
    // command line; Qt's runtime folder lies outside the temporary folder checked below.
    std::string runtime = m_dir.File("runtime");
    fs::create_directory(runtime);
    fs::permissions(runtime, fs::perms::owner_all);
    for (const char* mode : {"-h ", ""}) {
        for (int signal : {SIGINT, SIGTERM, SIGHUP}) {
            SCOPED_TRACE(std::string(mode) + std::to_string(signal));
            std::string command =
                "cd " + ShellQuote(m_dir.Path()) + " && exec env QT_QPA_PLATFORM=offscreen " +
                "XDG_RUNTIME_DIR=" + ShellQuote(runtime) +
                " VELMORA_REGISTRY=" + ShellQuote(BuildDir() + "/lib/velmora/registry") + " " +
                VelmoradeCommand(
                    m_dir, std::string(mode) + "-c " + CleaningSetup() + " -o out.pdf in.pdf -p",
                    program) +
                " 2>/dev/null";
            fs::remove(m_dir.File("started"));
            const char* argv[] = {"/bin/sh", "-c", command.c_str(), nullptr};
            pid_t pid = -1;
            ASSERT_EQ(
                ::posix_spawn(&pid, "/bin/sh", nullptr, nullptr, const_cast<char**>(argv), environ),
                0);
            ASSERT_TRUE(WaitUntil([&] { return fs::exists(m_dir.File("started")); }));
            int sleeper = std::stoi(ReadWholeFile(m_dir.File("started")));
            ::kill(pid, signal);
            int status = 0;
            ASSERT_TRUE(WaitUntil([&] { return ::waitpid(pid, &status, WNOHANG) == pid; }));
            ASSERT_TRUE(WIFEXITED(status));
            EXPECT_EQ(WEXITSTATUS(status), 128 + signal);
            EXPECT_TRUE(WaitUntilGone(sleeper)) << "the script's child runs";
            EXPECT_EQ(Md5(m_dir.File("out.pdf")), earlier);
            EXPECT_TRUE(fs::is_empty(m_dir.File("tmp")));
        }
    }
}

// SIGTERM while two rows clean at once: both cleanings end, and nothing is left behind.
TEST_F(ProgramSafetyTest, AnInterruptEndsEveryRowThatRuns) {
    std::string pids = m_dir.File("pids");
    std::string program =
        ProgramWithCleaning("#!/bin/sh\nsleep 600 &\necho $! >> '" + pids + "'\nwait\n");
    fs::create_directories(m_dir.File("rows"));
    std::string list;
    for (const char* name : {"a.pdf", "b.pdf", "c.pdf"}) {
        fs::copy_file(m_dir.File("in.pdf"), m_dir.File(std::string("rows/") + name));
        list += m_dir.File(std::string("rows/") + name) + "||\r\n";
    }
    WriteWholeFile(m_dir.File("rows.lst"), list);
    pid_t pid = StartQuiet(program, "-h -j 2 -c " + CleaningSetup() + " -f out rows.lst -p");
    ASSERT_GT(pid, 0);
    auto started = [&] {
        std::string text = fs::exists(pids) ? ReadWholeFile(pids) : "";
        return std::count(text.begin(), text.end(), '\n') == 2;
    };
    ASSERT_TRUE(WaitUntil(started));
    ::kill(pid, SIGTERM);
    int status = 0;
    ASSERT_TRUE(WaitUntil([&] { return ::waitpid(pid, &status, WNOHANG) == pid; }));
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 128 + SIGTERM);
    std::istringstream sleepers(ReadWholeFile(pids));
    for (int sleeper; sleepers >> sleeper;) EXPECT_TRUE(WaitUntilGone(sleeper));
    EXPECT_TRUE(fs::is_empty(m_dir.File("tmp")));
    EXPECT_TRUE(!fs::exists(m_dir.File("out")) || fs::is_empty(m_dir.File("out")));
}

TEST_F(ProgramSafetyTest, AFileSizeLimitGivesAMessageAndNoPartialFile) {
    PdfFromPostScript(NumberedPagesPostScript(60, 300, 400), m_dir.File("long.pdf"));
    WriteWholeFile(m_dir.File("out.pdf"), "earlier\n");
    CommandResult limited =
        testing_support::Run("cd " + ShellQuote(m_dir.Path()) + " && ulimit -f 4 && " +
                             VelmoradeCommand(m_dir, "-h -o out.pdf long.pdf -p") + " 2>&1");
    EXPECT_NE(limited.exitCode, 0) << limited.output;
    EXPECT_NE(limited.exitCode, 128 + SIGXFSZ) << limited.output;
    EXPECT_FALSE(limited.output.empty());
    EXPECT_EQ(ReadWholeFile(m_dir.File("out.pdf")), "earlier\n");
    for (const auto& entry : fs::directory_iterator(m_dir.Path())) {
        EXPECT_NE(entry.path().extension(), ".part") << entry.path();
    }
    EXPECT_TRUE(fs::is_empty(m_dir.File("tmp")));
}

// The engine's warning that it removed scripts and actions reaches the user, cleaning on or off.
TEST_F(ProgramSafetyTest, RemovedActiveContentIsToldOnStandardError) {
    WriteActiveContentPdf(m_dir.File("active.pdf"));
    desktop::JobSetup setup;
    setup.dontCleanFile = 1;
    WriteWholeFile(m_dir.File("plain.plf"), desktop::SetupFileText(setup, false));
    // The job without cleaning goes last: its output is the one checked.
    for (const std::string& job : {"-c " + CleaningSetup(), std::string("-c plain.plf")}) {
        CommandResult run = Velmorade(m_dir, "-h " + job + " -o out.pdf active.pdf -p");
        ASSERT_EQ(run.exitCode, 0) << run.output;
        EXPECT_NE(run.output.find("velmorade: warning: active content removed from the output: "),
                  std::string::npos)
            << job << ": " << run.output;
    }
    for (const std::string& fault : ActiveContentFaults(m_dir.File("out.pdf")))
        ADD_FAILURE() << fault;
    CommandResult none = Velmorade(m_dir, "-h -c plain.plf -o out.pdf in.pdf -p");
    EXPECT_EQ(none.output.find("warning"), std::string::npos) << none.output;
}

TEST_F(ProgramSafetyTest, AnEngineMessageHoldingTempIsAFailure) {
    CommandResult run = Velmorade(m_dir, "-h -o /nonexistent/contemporary.pdf in.pdf -p");
    EXPECT_NE(run.exitCode, 0) << run.output;
    EXPECT_NE(run.output.find("/nonexistent/contemporary.pdf"), std::string::npos) << run.output;
}

TEST_F(ProgramSafetyTest, QuietBatchRunsNameTheirFailedRowsAndTheirListFiles) {
    WriteWholeFile(m_dir.File("damaged.pdf"), "%PDF-1.4\ntrailer <<>>\n");
    WriteWholeFile(m_dir.File("jobs.lst"), m_dir.File("in.pdf") + "||\r\n" +
                                               m_dir.File("missing.pdf") + "||\r\n" +
                                               m_dir.File("damaged.pdf") + "||\r\n");
    CommandResult run = Velmorade(m_dir, "-h -f out jobs.lst -p -q");
    EXPECT_EQ(run.exitCode, desktop::kProcessImpositionFailed) << run.output;
    EXPECT_NE(run.output.find(m_dir.File("missing.pdf") + ": file error\n"), std::string::npos)
        << run.output;
    EXPECT_NE(run.output.find(m_dir.File("damaged.pdf") + ": PDF file was damaged\n"),
              std::string::npos)
        << run.output;
    EXPECT_NE(run.output.find("2 of 3 files failed."), std::string::npos) << run.output;
    // -f then -q: the batch list exists, so Default.plf keeps its output folder.
    std::string saved = ReadWholeFile(m_dir.File("config/velmora/Default.plf"));
    EXPECT_TRUE(saved.ends_with("\r\nOUTFOLDER;out\r\n")) << saved;

    CommandResult unreadable = Velmorade(m_dir, "-h absent.lst -q");
    EXPECT_NE(unreadable.output.find("Can't read list file. absent.lst"), std::string::npos)
        << unreadable.output;
}

TEST_F(ProgramSafetyTest, BatchRowsOfOneOutputNameEachKeepTheirFile) {
    for (const char* folder : {"a", "b"}) fs::create_directories(m_dir.File(folder));
    PdfFromPostScript(NumberedPagesPostScript(4, 300, 400), m_dir.File("a/x.pdf"));
    PdfFromPostScript(NumberedPagesPostScript(8, 300, 400), m_dir.File("b/x.pdf"));
    CommandResult run = Velmorade(m_dir, "-h -f out 'a/*.pdf' 'b/*.pdf' -p");
    EXPECT_EQ(run.exitCode, 0) << run.output;
    EXPECT_EQ(PageCount(m_dir.File("out/x.pdf")), 2);
    EXPECT_EQ(PageCount(m_dir.File("out/x (2).pdf")), 4);
}

TEST_F(ProgramSafetyTest, PipesAndDevicesAreRefusedAsInputsAndRows) {
    // Opening a pipe waits for a writer that never comes: before, the job hung for good.
    ASSERT_EQ(::mkfifo(m_dir.File("pipe.pdf").c_str(), 0600), 0);
    CommandResult single =
        testing_support::Run("cd " + ShellQuote(m_dir.Path()) + " && timeout 120 " +
                             VelmoradeCommand(m_dir, "-h -o out.pdf pipe.pdf -p") + " 2>&1");
    EXPECT_EQ(single.exitCode, desktop::kProcessBadInput) << single.output;
    EXPECT_NE(single.output.find("pipe.pdf: not a regular file"), std::string::npos)
        << single.output;

    WriteWholeFile(m_dir.File("rows.lst"), m_dir.File("pipe.pdf") + "||\r\n/dev/zero||\r\n" +
                                               m_dir.File("in.pdf") + "||\r\n");
    CommandResult rows =
        testing_support::Run("cd " + ShellQuote(m_dir.Path()) + " && timeout 120 " +
                             VelmoradeCommand(m_dir, "-h -f out rows.lst -p") + " 2>&1");
    EXPECT_EQ(rows.exitCode, desktop::kProcessBadInput) << rows.output;
    for (std::string row : {m_dir.File("pipe.pdf"), std::string("/dev/zero")}) {
        EXPECT_NE(rows.output.find(row + ": file error: not a regular file"), std::string::npos)
            << rows.output;
    }
    EXPECT_EQ(PageCount(m_dir.File("out/in.pdf")), 3);
}

TEST_F(ProgramSafetyTest, AWorkingFoldersSettingsNeverActSilently) {
    // The working folder's Default.plf names an output elsewhere: the run says whose settings
    // it took and what it wrote.
    fs::create_directories(m_dir.File("elsewhere"));
    desktop::JobSetup setup;
    setup.outFile = m_dir.File("elsewhere/thesis.pdf");
    WriteWholeFile(m_dir.File("Default.plf"), desktop::SetupFileText(setup, false));
    WriteWholeFile(m_dir.File("conversion.ini"), "HTMLJAVASCRIPT;1\r\n");
    CommandResult run = Velmorade(m_dir, "-h in.pdf -p");
    EXPECT_EQ(run.exitCode, 0) << run.output;
    EXPECT_NE(
        run.output.find("Using the configuration files of the working folder " + m_dir.Path()),
        std::string::npos)
        << run.output;
    EXPECT_NE(run.output.find("Wrote " + m_dir.File("elsewhere/thesis.pdf")), std::string::npos)
        << run.output;
    EXPECT_NE(run.output.find("page scripts stay off"), std::string::npos) << run.output;
    CommandResult named = Velmorade(m_dir, "-h -o out.pdf in.pdf -p");
    EXPECT_EQ(named.output.find("Wrote"), std::string::npos) << named.output;

    // A Default.plf that is a link is replaced when the settings are saved; its target stays.
    std::string target = m_dir.File("elsewhere/target.plf");
    fs::rename(m_dir.File("Default.plf"), target);
    std::string before = ReadWholeFile(target);
    fs::create_symlink(target, m_dir.File("Default.plf"));
    CommandResult saved = Velmorade(m_dir, "-h -o other.pdf -q");
    EXPECT_EQ(saved.exitCode, 0) << saved.output;
    EXPECT_FALSE(fs::is_symlink(m_dir.File("Default.plf")));
    EXPECT_NE(ReadWholeFile(m_dir.File("Default.plf")).find("other.pdf"), std::string::npos);
    EXPECT_EQ(ReadWholeFile(target), before);
}

}  // namespace
}  // namespace desktop_test
