#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "platform/ChildProcess.h"
#include "platform/ParameterText.h"
#include "platform/RunAndWait.h"
#include "platform/SharedLibrary.h"
#include "testing/Scratch.h"
#include "testing/Waiting.h"

namespace {

using Args = std::vector<std::string>;
using std::chrono::milliseconds;

TEST(ParameterText, SplitsAsTheWindowsCommandLine) {
    struct Case {
        const char* text;
        Args expected;
    };
    const Case cases[] = {
        {"", {}},
        {"  a  b\tc ", {"a", "b", "c"}},
        {"\"C:/my files/x.pdf\" \"out.pdf\"", {"C:/my files/x.pdf", "out.pdf"}},
        {"a\"b c\"d", {"ab cd"}},
        {"\"\"", {""}},
        {"-i\"in file.png\"  -o\"out.pdf\" -w0", {"-iin file.png", "-oout.pdf", "-w0"}},
        {"a\\b \\\\server\\x", {"a\\b", "\\\\server\\x"}},
        {"\\\"a \"b\\\\\" c", {"\"a", "b\\", "c"}},
        {"\"x\"\"y\"", {"x\"y"}},
        {"$(rm -rf x);`id` 'q'", {"$(rm", "-rf", "x);`id`", "'q'"}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(platform::SplitParameterText(c.text), c.expected) << c.text;
}

TEST(ParameterText, QuotedNamesComeBackWhole) {
    const Args names = {"plain.pdf",
                        "with blank.pdf",
                        "quo\"te.pdf",
                        "tail\\",
                        "back\\\"slash",
                        "$(touch x);`id`",
                        "\xC3\xA9t\xC3\xA9 d'\xC3\xA9t\xC3\xA9.pdf",
                        ""};
    std::string text;
    for (const std::string& name : names) text += platform::QuoteArgument(name) + " ";
    EXPECT_EQ(platform::SplitParameterText(text), names);
    EXPECT_EQ(platform::QuoteArgument("a b.pdf"), "\"a b.pdf\"");
}

TEST(ProgramNames, FoundOnPathOrByTheirFolder) {
    EXPECT_EQ(platform::FindProgram("touch").back(), 'h');
    EXPECT_EQ(platform::FindProgram("no-such-program-here"), "");
    EXPECT_EQ(platform::FindProgram("/no/such/folder/touch"), "");
}

TEST(ProgramNames, TheHelperFolderThenBesideTheProgramThenPath) {
    // An installation: PREFIX/bin/velmorade, its helpers in PREFIX/libexec/velmora, and a
    // system program of a helper's name on PATH.
    testing_support::ScratchDir scratch;
    auto program = [&](const std::string& path) {
        std::filesystem::create_directories(std::filesystem::path(path).parent_path());
        testing_support::WriteProgram(path, "#!/bin/sh\n");
        return path;
    };
    std::string bin = scratch.File("prefix/bin");
    std::string helpers = scratch.File("prefix/libexec/velmora");
    std::string system = scratch.File("usr/bin");
    program(bin + "/scanvey");
    program(helpers + "/koblin");
    program(helpers + "/wkhtmltopdf");
    program(system + "/wkhtmltopdf");
    program(system + "/gs");
    EXPECT_EQ(platform::FindProgramFrom("scanvey", bin, system), bin + "/scanvey");
    EXPECT_EQ(platform::FindProgramFrom("koblin", bin, system), helpers + "/koblin");
    EXPECT_EQ(platform::FindProgramFrom("wkhtmltopdf", bin, system), helpers + "/wkhtmltopdf");
    EXPECT_EQ(platform::FindProgramFrom("gs", bin, system), system + "/gs");
    // A helper finds the helpers beside it; a program elsewhere finds only PATH.
    EXPECT_EQ(platform::FindProgramFrom("koblin", helpers, system), helpers + "/koblin");
    EXPECT_EQ(platform::FindProgramFrom("scanvey", helpers, system), bin + "/scanvey");
    EXPECT_EQ(platform::FindProgramFrom("wkhtmltopdf", scratch.File("other/bin"), system),
              system + "/wkhtmltopdf");
    // Installed in /usr, the system's program of a helper's name lies beside velmorade.
    program(bin + "/wkhtmltopdf");
    EXPECT_EQ(platform::FindProgramFrom("wkhtmltopdf", bin, system), helpers + "/wkhtmltopdf");
    // A test program in tests/ finds the main programs in bin/ after PATH, so a stand-in wins.
    std::string tests = scratch.File("prefix/tests");
    EXPECT_EQ(platform::FindProgramFrom("scanvey", tests, system), bin + "/scanvey");
    program(system + "/scanvey");
    EXPECT_EQ(platform::FindProgramFrom("scanvey", tests, system), system + "/scanvey");
    // The installation's folder, where its lib/ is.
    EXPECT_EQ(platform::InstallationFolderOf("/opt/v/bin"), "/opt/v");
    EXPECT_EQ(platform::InstallationFolderOf("/opt/v/libexec/velmora"), "/opt/v");
    EXPECT_EQ(platform::InstallationFolderOf("/work/build/tests"), "/work/build");
    // Its settings: PREFIX/etc, but the system's /etc for a package in /usr.
    EXPECT_EQ(platform::SettingsFolderOf("/opt/v"), "/opt/v/etc");
    EXPECT_EQ(platform::SettingsFolderOf("/usr"), "/etc");
}

TEST(RunAndWait, HostileNamesReachTheProgramAsOneArgumentEach) {
    testing_support::ScratchDir scratch;
    const Args names = {"a b.pdf",        "q\"uote.pdf",    "$(touch pwned).pdf",
                        "semi;colon.pdf", "back`tick`.pdf", "\xC3\xA9t\xC3\xA9.pdf"};
    std::string text;
    for (const std::string& name : names) text += platform::QuoteArgument(scratch.File(name)) + " ";
    platform::RunResult result = platform::RunAndWait("touch", text);
    ASSERT_TRUE(result.Succeeded()) << result.error;
    for (const std::string& name : names)
        EXPECT_TRUE(std::filesystem::exists(scratch.File(name))) << name;
    size_t count = 0;
    for (auto& entry : std::filesystem::directory_iterator(scratch.Path())) ++count, (void)entry;
    EXPECT_EQ(count, names.size());  // nothing was interpreted into further files
}

TEST(RunAndWait, ReportsExitCodesAndMissingPrograms) {
    EXPECT_EQ(platform::RunAndWait("false", Args{}).exitCode, 1);
    EXPECT_TRUE(platform::RunAndWait("true", Args{}).Succeeded());
    platform::RunResult missing = platform::RunAndWait("no-such-program-here", Args{});
    EXPECT_EQ(missing.outcome, platform::RunOutcome::NotStarted);
    EXPECT_NE(missing.error.find("no-such-program-here"), std::string::npos);
}

TEST(RunAndWait, StandardErrorCanGoToAFile) {
    testing_support::ScratchDir scratch;
    platform::RunOptions options;
    options.errorFile = scratch.File("errors.txt");
    platform::RunResult result = platform::RunAndWait(
        "sh", Args{"-c", "echo out; echo one >&2; echo two >&2; exit 3"}, options);
    EXPECT_EQ(result.exitCode, 3);
    EXPECT_EQ(testing_support::ReadWholeFile(options.errorFile), "one\ntwo\n");
    // Standard output joins it, in the order written.
    options.outputWithErrors = true;
    platform::RunAndWait("sh", Args{"-c", "echo out; echo one >&2; echo two"}, options);
    EXPECT_EQ(testing_support::ReadWholeFile(options.errorFile), "out\none\ntwo\n");
}

TEST(RunAndWait, PollsWhileWaitingAndEndsACancelledProgram) {
    int polls = 0;
    platform::RunOptions options;
    options.pollInterval = milliseconds(20);
    options.keepWaiting = [&] { return ++polls < 5; };
    auto start = std::chrono::steady_clock::now();
    platform::RunResult result = platform::RunAndWait("sleep", Args{"30"}, options);
    EXPECT_EQ(result.outcome, platform::RunOutcome::Cancelled);
    EXPECT_EQ(polls, 5);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
}

TEST(RunAndWait, EndsAProgramAndItsChildrenAfterTheTimeout) {
    testing_support::ScratchDir scratch;
    std::string marker = scratch.File("late");
    platform::RunOptions options;
    // Three seconds pass before the end: ample time for the shell to start its child and note
    // the child's number even on a loaded machine, and seventeen more before that child would
    // leave its marker, so that a slow machine cannot see it left by a child that was ended late.
    options.timeout = milliseconds(3000);
    // The shell here is the program under test's stand-in for a script that starts children.
    std::string pidFile = scratch.File("child.pid");
    auto start = std::chrono::steady_clock::now();
    platform::RunResult result = platform::RunAndWait(
        "sh", Args{"-c", "(sleep 20; touch \"$0\") & echo $! > \"$1\"; sleep 30", marker, pidFile},
        options);
    EXPECT_EQ(result.outcome, platform::RunOutcome::TimedOut);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(15));
    // Once the child is gone (ended, or done after leaving its marker) the marker tells which.
    ASSERT_TRUE(std::filesystem::exists(pidFile) && std::filesystem::file_size(pidFile) > 0)
        << "the shell did not start its child within the time limit";
    pid_t child = std::stoi(testing_support::ReadWholeFile(pidFile));
    EXPECT_TRUE(testing_support::WaitUntilGone(child, std::chrono::seconds(30)));
    EXPECT_FALSE(std::filesystem::exists(marker));  // the child was ended with the group
}

}  // namespace

TEST(FileArgument, EveryNameBecomesAnAbsolutePathAndNothingElseChanges) {
    std::string folder = std::filesystem::current_path().string();
    for (const char* name : {"@x", "-sOutputFile=x out.pdf", "--y.pdf", "-dNOSAFER", "%pipe%z",
                             "a b/c.pdf", "../up.pdf"}) {
        EXPECT_EQ(platform::FileArgument(name), folder + "/" + name);
    }
    EXPECT_EQ(platform::FileArgument("/tmp/@x"), "/tmp/@x");
    EXPECT_EQ(platform::FileArgument(""), "");
}

TEST(RunAndWait, APrivateTemporaryFolderIsTheProgramsAndGoesWhenItEnds) {
    testing_support::ScratchDir scratch;
    std::string seen = scratch.File("seen");
    platform::RunOptions options;
    options.privateTemporaryFolder = true;
    platform::RunResult result = platform::RunAndWait(
        "sh", Args{"-c", "echo \"$TMPDIR\" > \"$0\"; touch \"$TMPDIR/left\"", seen}, options);
    ASSERT_TRUE(result.Succeeded());
    std::string folder = testing_support::ReadWholeFile(seen);
    folder.pop_back();  // the line end
    EXPECT_NE(folder.find("/velmora-run-"), std::string::npos) << folder;
    EXPECT_FALSE(std::filesystem::exists(folder));

    // Also when the program is ended at its time limit (ample for the shell's two lines on a
    // loaded machine), with what it wrote still open.
    std::filesystem::remove(seen);
    options.timeout = milliseconds(2000);
    result = platform::RunAndWait(
        "sh", Args{"-c", "echo \"$TMPDIR\" > \"$0\"; echo x > \"$TMPDIR/open\"; sleep 30", seen},
        options);
    EXPECT_EQ(result.outcome, platform::RunOutcome::TimedOut);
    ASSERT_TRUE(std::filesystem::exists(seen) && std::filesystem::file_size(seen) > 0)
        << "the shell did not start within the time limit";
    folder = testing_support::ReadWholeFile(seen);
    folder.pop_back();
    EXPECT_FALSE(std::filesystem::exists(folder));
}

TEST(RunAndWait, TheMemoryLimitHoldsForTheProgramAndWhatItStarts) {
    testing_support::ScratchDir scratch;
    std::string seen = scratch.File("limit");
    platform::RunOptions options;
    options.addressSpaceLimit = uint64_t{512} << 20;
    // The limit in kilobytes, as a grandchild sees it.
    platform::RunResult result =
        platform::RunAndWait("sh", Args{"-c", "sh -c 'ulimit -v' > \"$0\"", seen}, options);
    ASSERT_TRUE(result.Succeeded());
    EXPECT_EQ(testing_support::ReadWholeFile(seen), "524288\n");
    // A program that wants more fails instead of growing.
    result =
        platform::RunAndWait("python3", Args{"-c", "b = bytearray(1024 * 1024 * 1024)"}, options);
    EXPECT_EQ(result.outcome, platform::RunOutcome::Exited);
    EXPECT_NE(result.exitCode, 0);
}

TEST(ChildProcess, EndsWhenItsLifelineClosesWhileOtherProgramsRun) {
    // `cat` ends at the end of its input. A program started meanwhile must not hold the
    // lifeline, or closing it would not reach `cat`.
    testing_support::ScratchDir scratch;
    platform::ChildProcess child;
    std::string error;
    platform::SpawnSettings settings;
    settings.environment = platform::EnvironmentWith({"VELMORA_TEST=given"});
    ASSERT_TRUE(child.Start(
        "sh",
        Args{"-c", "echo \"$VELMORA_TEST\" > \"$0\"; cat; touch \"$0.end\"", scratch.File("said")},
        settings, &error))
        << error;
    // The environment given reached the program.
    EXPECT_TRUE(testing_support::WaitUntil([&] {
        return std::filesystem::exists(scratch.File("said")) &&
               testing_support::ReadWholeFile(scratch.File("said")) == "given\n";
    }));
    platform::ChildProcess other;
    ASSERT_TRUE(other.Start("sleep", Args{"30"}, settings, &error)) << error;
    pid_t pid = child.Pid();
    EXPECT_TRUE(child.IsRunning());
    auto start = std::chrono::steady_clock::now();
    child.End(std::chrono::seconds(30));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
    EXPECT_TRUE(std::filesystem::exists(scratch.File("said.end")));  // it ended by itself
    EXPECT_TRUE(testing_support::ProcessGone(pid));
    EXPECT_FALSE(child.IsRunning());
    EXPECT_TRUE(other.IsRunning());
}

TEST(ChildProcess, EndsItsWholeGroupWhenTheProgramIgnoresItsLifeline) {
    testing_support::ScratchDir scratch;
    std::string marker = scratch.File("late");
    std::string pidFile = scratch.File("child.pid");
    std::string error;
    platform::SpawnSettings settings;
    settings.environment = platform::EnvironmentWith({});
    pid_t pid = -1;
    {
        platform::ChildProcess child;
        ASSERT_TRUE(child.Start(
            "sh",
            Args{"-c", "(sleep 20; touch \"$0\") & echo $! > \"$1\"; sleep 30 < /dev/null", marker,
                 pidFile},
            settings, &error))
            << error;
        pid = child.Pid();
        ASSERT_TRUE(testing_support::WaitUntil([&] {
            return std::filesystem::exists(pidFile) && std::filesystem::file_size(pidFile) > 0;
        }));
    }
    EXPECT_TRUE(testing_support::ProcessGone(pid));
    // Once the group's child is gone (ended, or done after leaving its marker) the marker tells
    // which.
    pid_t grandchild = std::stoi(testing_support::ReadWholeFile(pidFile));
    EXPECT_TRUE(testing_support::WaitUntilGone(grandchild, std::chrono::seconds(30)));
    EXPECT_FALSE(std::filesystem::exists(marker));
}
