// Hot folders with real files, real inotify and real watcher processes: when a file counts as
// arrived, two watchers sharing a folder, a watcher killed in the middle of a file, a file that
// cannot be imposed, and the finishing of what a crashed watcher left behind.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <thread>

#include "desktop/core/BackgroundWatch.h"
#include "desktop/core/FolderArrivals.h"
#include "desktop/core/SetupFile.h"
#include "desktop/core/tests/PipelineFixture.h"
#include "testing/ScopedEnvironment.h"
#include "testing/Tools.h"
#include "testing/Waiting.h"

extern char** environ;

namespace desktop_test {
namespace {

using namespace testing_support;
using namespace std::chrono_literals;
namespace fs = std::filesystem;

std::vector<std::string> Names(const std::string& folder) {
    std::vector<std::string> names;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(folder, error)) {
        std::string name = entry.path().filename();
        if (name[0] != '.') names.push_back(name);
    }
    std::sort(names.begin(), names.end());
    return names;
}

// The file's text; empty while it does not exist.
std::string TextOf(const std::string& path) {
    return fs::exists(path) ? ReadWholeFile(path) : std::string();
}

bool Has(const std::vector<std::string>& names, const std::string& name) {
    return std::find(names.begin(), names.end(), name) != names.end();
}

// A watcher process: `velmorade --watch FOLDER -j ROWS`, its output kept in the scratch folder.
class WatcherProcess {
  public:
    WatcherProcess(const ScratchDir& dir, const std::string& folder, int rows,
                   const std::string& name, const std::string& program = {})
        : m_output(dir.File(name + ".out")) {
        std::string command =
            "exec env VELMORA_REGISTRY=" + ShellQuote(BuildDir() + "/lib/velmora/registry") + " " +
            VelmoradeCommand(dir, "--watch " + ShellQuote(folder) + " -j " + std::to_string(rows),
                             program) +
            " >" + ShellQuote(m_output) + " 2>" + ShellQuote(m_output + ".err");
        const char* argv[] = {"/bin/sh", "-c", command.c_str(), nullptr};
        ::posix_spawn(&m_pid, "/bin/sh", nullptr, nullptr, const_cast<char**>(argv), environ);
    }
    ~WatcherProcess() { Stop(SIGKILL); }

    // Sends `signal` and waits for the end; the exit status (-1 after a signal's end).
    int Stop(int signal) {
        if (m_pid <= 0) return m_status;
        ::kill(m_pid, signal);
        int status = 0;
        ::waitpid(m_pid, &status, 0);
        m_pid = -1;
        m_status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        return m_status;
    }
    std::string Output() const { return TextOf(m_output) + TextOf(m_output + ".err"); }
    bool Says(const std::string& text) const {
        return TextOf(m_output).find(text) != std::string::npos;
    }

  private:
    std::string m_output;
    pid_t m_pid = -1;
    int m_status = -1;
};

class HotFolderTest : public ::testing::Test {
  protected:
    HotFolderTest() {
        fs::create_directories(m_dir.File("tmp"));
        fs::create_directories(m_folder + "/in");
        PdfFromPostScript(NumberedPagesPostScript(6, 300, 400), m_dir.File("six.pdf"));
        desktop::JobSetup setup;
        setup.duplex2Up = desktop::kChosen;
        setup.ChooseOrder(desktop::DuplexOrder::Order8127);
        setup.automaticAddBlanks = 1;
        setup.dontCleanFile = 1;
        Job(setup);
    }
    void Job(const desktop::JobSetup& setup) {
        WriteWholeFile(m_folder + "/job.plf", desktop::SetupFileText(setup, false));
    }
    // Puts a copy of six.pdf into in/ whole, as a program saving elsewhere and moving it in.
    void Drop(const std::string& name) {
        fs::copy_file(m_dir.File("six.pdf"), m_dir.File("staging"));
        fs::rename(m_dir.File("staging"), m_folder + "/in/" + name);
    }
    bool WaitForDone(size_t count, std::chrono::milliseconds bound = 120s) {
        return WaitUntil([&] { return Names(m_folder + "/done").size() >= count; }, bound);
    }
    std::string Folder(const std::string& name) const { return m_folder + "/" + name; }

    ScratchDir m_dir;
    std::string m_folder = m_dir.File("hot");
};

TEST_F(HotFolderTest, AFileIsTakenOnlyOnceItHasArrivedWhole) {
    WatcherProcess watcher(m_dir, m_folder, 1, "w");
    ASSERT_TRUE(WaitUntil([&] { return watcher.Says("watching"); })) << watcher.Output();
    std::string bytes = ReadWholeFile(m_dir.File("six.pdf"));
    int fd = ::open(Folder("in/slow.pdf").c_str(), O_WRONLY | O_CREAT, 0644);
    ASSERT_GE(fd, 0);
    WriteWholeFile(Folder("in/empty.pdf"), "");
    WriteWholeFile(Folder("in/.hidden.pdf"), bytes);
    WriteWholeFile(Folder("in/partial.pdf.part"), bytes);
    WriteWholeFile(Folder("in/saved.pdf~"), bytes);
    // Each chunk is followed by a whole file; once that one is done, the watcher has looked at
    // the folder after the chunk.
    const size_t chunks = 4;
    size_t chunk = bytes.size() / chunks + 1;
    for (size_t i = 0; i < chunks; ++i) {
        std::string part = bytes.substr(i * chunk, chunk);
        ASSERT_EQ(::write(fd, part.data(), part.size()), static_cast<ssize_t>(part.size()));
        Drop("probe" + std::to_string(i) + ".pdf");
        ASSERT_TRUE(WaitForDone(i + 1)) << watcher.Output();
        EXPECT_EQ(Names(Folder("in")), (std::vector<std::string>{"empty.pdf", "partial.pdf.part",
                                                                 "saved.pdf~", "slow.pdf"}))
            << watcher.Output();
        EXPECT_TRUE(fs::exists(Folder("in/.hidden.pdf")));
    }
    ::close(fd);
    ASSERT_TRUE(WaitForDone(chunks + 1)) << watcher.Output();
    EXPECT_TRUE(Has(Names(Folder("done")), "slow.pdf"));
    EXPECT_TRUE(QpdfCheckClean(Folder("out/slow.pdf")));
    EXPECT_EQ(PrintedNumbers(Folder("out/slow.pdf")),
              (std::vector<std::vector<int>>{{1}, {2}, {6, 3}, {4, 5}}));
    // A partial name given its final name arrives with it.
    fs::rename(Folder("in/partial.pdf.part"), Folder("in/partial.pdf"));
    ASSERT_TRUE(WaitForDone(chunks + 2)) << watcher.Output();
    EXPECT_EQ(Names(Folder("out")).size(), chunks + 2);

    EXPECT_EQ(watcher.Stop(SIGTERM), 0);
    std::string log = ReadWholeFile(Folder("watch.log"));
    EXPECT_NE(log.find("done slow.pdf -> out/slow.pdf\n"), std::string::npos) << log;
    EXPECT_EQ(Names(Folder("work")), std::vector<std::string>{});
}

TEST_F(HotFolderTest, TwoWatchersTakeEachOfTwoHundredFilesOnce) {
    const int count = 200;
    fs::create_directories(m_dir.File("drop"));
    for (int i = 0; i < count; ++i) {
        fs::copy_file(m_dir.File("six.pdf"), m_dir.File("drop/f" + std::to_string(i) + ".pdf"));
    }
    WatcherProcess first(m_dir, m_folder, 2, "first");
    WatcherProcess second(m_dir, m_folder, 2, "second");
    ASSERT_TRUE(WaitUntil([&] { return first.Says("watching") && second.Says("watching"); }));
    for (int i = 0; i < count; ++i) {
        std::string name = "f" + std::to_string(i) + ".pdf";
        fs::rename(m_dir.File("drop/" + name), Folder("in/" + name));
    }
    ASSERT_TRUE(WaitForDone(count, 600s)) << first.Output() << second.Output();
    EXPECT_EQ(first.Stop(SIGTERM), 0);
    EXPECT_EQ(second.Stop(SIGTERM), 0);
    std::vector<std::string> expected;
    for (int i = 0; i < count; ++i) expected.push_back("f" + std::to_string(i) + ".pdf");
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(Names(Folder("out")), expected);  // no " (2)": nothing was imposed twice
    EXPECT_EQ(Names(Folder("done")), expected);
    EXPECT_EQ(Names(Folder("error")), std::vector<std::string>{});
    std::string log = ReadWholeFile(Folder("watch.log"));
    for (const std::string& name : expected) {
        std::string line = "done " + name + " -> out/" + name + "\n";
        size_t at = log.find(line);
        ASSERT_NE(at, std::string::npos) << name;
        EXPECT_EQ(log.find(line, at + 1), std::string::npos) << name;
    }
    // Both took files.
    EXPECT_TRUE(first.Says("done ")) << first.Output();
    EXPECT_TRUE(second.Says("done ")) << second.Output();
}

TEST_F(HotFolderTest, AWatcherKilledInTheMiddleOfAFileLosesAndDoublesNothing) {
    // A copy of the program whose cleaning script notes that it started and then hangs.
    std::string bin = m_dir.File("bin");
    fs::create_directories(bin);
    fs::copy_file(BuildDir() + "/bin/velmorade", bin + "/velmorade");
    fs::create_directory_symlink(BuildDir() + "/lib", m_dir.File("lib"));
    WriteProgram(bin + "/koblin", "#!/bin/sh\necho $$ > '" + m_dir.File("started.part") +
                                      "'\nmv '" + m_dir.File("started.part") + "' '" +
                                      m_dir.File("started") + "'\nexec sleep 600\n");
    desktop::JobSetup cleaning;
    cleaning.dontCleanFile = 0;
    Job(cleaning);
    {
        WatcherProcess hanging(m_dir, m_folder, 1, "hanging", bin + "/velmorade");
        Drop("a.pdf");
        ASSERT_TRUE(WaitUntil([&] { return fs::exists(m_dir.File("started")); }))
            << hanging.Output();
        hanging.Stop(SIGKILL);
        ::kill(std::stoi(ReadWholeFile(m_dir.File("started"))), SIGKILL);
    }
    EXPECT_EQ(Names(Folder("in")), std::vector<std::string>{});
    EXPECT_EQ(Names(Folder("out")), std::vector<std::string>{});

    // The next watcher returns the file to in/ and imposes it once.
    desktop::JobSetup plain;
    plain.dontCleanFile = 1;
    Job(plain);
    WatcherProcess next(m_dir, m_folder, 1, "next");
    ASSERT_TRUE(WaitForDone(1)) << next.Output();
    EXPECT_EQ(next.Stop(SIGTERM), 0);
    EXPECT_EQ(Names(Folder("out")), std::vector<std::string>{"a.pdf"});
    EXPECT_EQ(Names(Folder("done")), std::vector<std::string>{"a.pdf"});
    EXPECT_EQ(Names(Folder("work")), std::vector<std::string>{});
    EXPECT_TRUE(QpdfCheckClean(Folder("out/a.pdf")));
    EXPECT_NE(ReadWholeFile(Folder("watch.log")).find("returned a.pdf -> in/a.pdf"),
              std::string::npos);
}

TEST_F(HotFolderTest, ACrashBetweenPlacingAnOutputAndMovingItsInputIsFinishedOnce) {
    // What a watcher killed there leaves: a row recorded as done, its output still in made/ for
    // b.pdf and already in out/ for c.pdf, and d.pdf claimed without a record.
    std::string area = Folder("work/host-1-abcdef");
    for (const char* part : {"/claimed", "/made", "/commit"}) fs::create_directories(area + part);
    fs::create_directories(Folder("out"));
    for (const char* name : {"b.pdf", "c.pdf", "d.pdf"}) {
        fs::copy_file(m_dir.File("six.pdf"), area + "/claimed/" + name);
    }
    fs::copy_file(m_dir.File("six.pdf"), area + "/made/b.pdf");
    fs::copy_file(m_dir.File("six.pdf"), Folder("out/c.pdf"));
    WriteWholeFile(area + "/commit/b.pdf", "b.pdf\n");
    WriteWholeFile(area + "/commit/c.pdf", "c.pdf\n");

    WatcherProcess watcher(m_dir, m_folder, 1, "w");
    ASSERT_TRUE(WaitForDone(3)) << watcher.Output();
    EXPECT_EQ(watcher.Stop(SIGTERM), 0);
    EXPECT_EQ(Names(Folder("out")), (std::vector<std::string>{"b.pdf", "c.pdf", "d.pdf"}));
    EXPECT_EQ(Names(Folder("done")), (std::vector<std::string>{"b.pdf", "c.pdf", "d.pdf"}));
    EXPECT_EQ(PageCount(Folder("out/d.pdf")), 4);  // imposed after its return
    EXPECT_EQ(PageCount(Folder("out/c.pdf")), 6);  // the recorded output, not imposed again
}

TEST_F(HotFolderTest, ABrokenFileGoesToErrorWithItsReasonAndNoOutputIsReplaced) {
    WriteWholeFile(m_dir.File("broken.pdf"), "%PDF-1.4\ntrailer <<>>\n");
    fs::create_directories(Folder("out"));
    WriteWholeFile(Folder("out/good.pdf"), "earlier\n");
    WatcherProcess watcher(m_dir, m_folder, 2, "w");
    fs::rename(m_dir.File("broken.pdf"), Folder("in/broken.pdf"));
    Drop("good.pdf");
    ASSERT_TRUE(WaitUntil([&] { return Has(Names(Folder("error")), "broken.pdf.log"); }))
        << watcher.Output();
    ASSERT_TRUE(WaitForDone(1)) << watcher.Output();
    EXPECT_EQ(watcher.Stop(SIGINT), 0);
    EXPECT_EQ(Names(Folder("error")), (std::vector<std::string>{"broken.pdf", "broken.pdf.log"}));
    std::string reason = ReadWholeFile(Folder("error/broken.pdf.log"));
    EXPECT_NE(reason.find("broken.pdf: "), std::string::npos) << reason;
    EXPECT_GT(reason.size(), std::string("broken.pdf: \n").size()) << reason;
    EXPECT_EQ(ReadWholeFile(Folder("out/good.pdf")), "earlier\n");
    EXPECT_EQ(Names(Folder("out")), (std::vector<std::string>{"good (2).pdf", "good.pdf"}));
    EXPECT_TRUE(watcher.Says("failed broken.pdf -> error/broken.pdf: ")) << watcher.Output();
}

TEST_F(HotFolderTest, AWatchOnAThreadUsesTheJobItIsGivenAndStopsCleanly) {
    ScopedEnvironment registry("VELMORA_REGISTRY", BuildDir() + "/lib/velmora/registry");
    ScopedEnvironment temp("TMPDIR", m_dir.File("tmp"));
    fs::remove(Folder("job.plf"));  // the window's job applies, not the folder's
    desktop::WatchSettings settings;
    settings.folder = m_folder;
    settings.rows = 1;
    settings.job = desktop::JobSetup();
    settings.job->dontCleanFile = 1;
    std::mutex mutex;
    std::vector<std::string> lines;
    desktop::BackgroundWatch watch(
        settings, desktop::ConfigFolder(m_dir.File("config"), m_dir.File("config")),
        [&](const std::string& line) {
            std::lock_guard lock(mutex);
            lines.push_back(line);
        });
    WriteWholeFile(m_dir.File("broken.pdf"), "%PDF-1.4\ntrailer <<>>\n");
    fs::rename(m_dir.File("broken.pdf"), Folder("in/broken.pdf"));
    Drop("a.pdf");
    auto kinds = [&] {
        std::lock_guard lock(mutex);
        std::vector<desktop::WatchLineKind> seen;
        for (const std::string& line : lines) seen.push_back(desktop::KindOfWatchLine(line));
        return seen;
    };
    ASSERT_TRUE(WaitUntil([&] {
        std::vector<desktop::WatchLineKind> seen = kinds();
        return std::count(seen.begin(), seen.end(), desktop::WatchLineKind::Done) == 1 &&
               std::count(seen.begin(), seen.end(), desktop::WatchLineKind::Failed) == 1;
    }));
    EXPECT_TRUE(watch.Running());
    watch.Stop();
    EXPECT_FALSE(watch.Running());
    EXPECT_EQ(PageCount(Folder("out/a.pdf")), 3);  // the given job: 2-up, 6 pages on 3 sheets
    EXPECT_EQ(Names(Folder("work")), std::vector<std::string>{});
}

TEST(FolderArrivalsTest, PollingTakesAFileOnlyOnceItHasStoppedChanging) {
    ScratchDir dir;
    WriteWholeFile(dir.File("empty.pdf"), "");
    fs::create_directory(dir.File("folder.pdf"));
    desktop::FolderArrivals arrivals(dir.Path(),
                                     {.stableFor = 400ms, .pollEvery = 20ms, .inotify = false});
    EXPECT_FALSE(arrivals.UsesInotify());
    std::ofstream growing(dir.File("growing.pdf"), std::ios::binary);
    // A writer that adds a little every 100 ms: never ready while it writes.
    for (int i = 0; i < 10; ++i) {
        growing << std::string(100, 'x') << std::flush;
        EXPECT_EQ(arrivals.WaitForReady(100ms), std::vector<std::string>{});
    }
    growing.close();
    std::vector<std::string> ready;
    ASSERT_TRUE(WaitUntil([&] {
        ready = arrivals.WaitForReady(50ms);
        return !ready.empty();
    }));
    EXPECT_EQ(ready, std::vector<std::string>{"growing.pdf"});
}

}  // namespace
}  // namespace desktop_test
