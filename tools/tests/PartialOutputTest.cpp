// The programs that write PDF files, ended half-way: by SIGTERM or SIGINT while the output is
// being written, and by a file-size limit. Each removes its partial file, and ends with 128 +
// the signal or with its own failure, never by SIGXFSZ.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/inotify.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

#include "testing/FailingDisk.h"
#include "testing/RealFiles.h"
#include "testing/Scratch.h"
#include "testing/Tools.h"

extern char** environ;

namespace {

using namespace testing_support;
namespace fs = std::filesystem;

struct ProgramRun {
    const char* program;
    // The arguments after the program, for an input and an output name.
    std::vector<std::string> (*arguments)(const std::string& input, const std::string& output);
    bool pdfInput;  // else a picture
};

std::vector<std::string> EngineArguments(const std::string& input, const std::string& output) {
    return {input, output};
}

std::vector<std::string> ImageArguments(const std::string& input, const std::string& output) {
    return {"-i" + input, "-o" + output};
}

const ProgramRun kPrograms[] = {
    {"gridane", EngineArguments, true},
    {"turnelle", EngineArguments, true},
    {"scanvey", ImageArguments, false},
    {"pictavo", ImageArguments, false},
};

bool HoldsPartialFile(const std::string& folder) {
    for (const std::string& name : FileNamesIn(folder)) {
        if (name.find(".part-") != std::string::npos || name.find(".dpl-save") != std::string::npos)
            return true;
    }
    return false;
}

class PartialOutputTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        s_inputs = new ScratchDir;
        // Outputs of several megabytes, so that a signal finds them being written.
        PdfFromPostScript(NumberedPagesPostScript(200), s_inputs->File("some.pdf"));
        std::string copies;
        for (int i = 0; i < 20; ++i) copies += ShellQuote(s_inputs->File("some.pdf")) + " ";
        MustRun("qpdf --empty --pages " + copies + " -- " + ShellQuote(s_inputs->File("in.pdf")));
        MustRun("convert -size 1500x1500 xc:gray +noise Random -depth 8 " +
                ShellQuote(s_inputs->File("in.tif")));
    }
    static void TearDownTestSuite() {
        delete s_inputs;
        s_inputs = nullptr;
    }

    static std::string Input(const ProgramRun& run) {
        return s_inputs->File(run.pdfInput ? "in.pdf" : "in.tif");
    }

    // Starts the program with its output in the scratch folder, what it prints to "log".
    pid_t Start(const ProgramRun& run) {
        std::string program = BuildDir() + "/bin/" + run.program;
        std::vector<std::string> arguments = run.arguments(Input(run), m_dir.File("out/out.pdf"));
        arguments.insert(arguments.begin(), program);
        std::vector<char*> argv;
        for (std::string& argument : arguments) argv.push_back(argument.data());
        argv.push_back(nullptr);
        posix_spawn_file_actions_t files;
        posix_spawn_file_actions_init(&files);
        std::string log = m_dir.File("log");
        posix_spawn_file_actions_addopen(&files, 1, log.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                         0644);
        posix_spawn_file_actions_adddup2(&files, 1, 2);
        pid_t pid = -1;
        int started = ::posix_spawn(&pid, program.c_str(), &files, nullptr, argv.data(), environ);
        posix_spawn_file_actions_destroy(&files);
        return started == 0 ? pid : -1;
    }

    ScratchDir m_dir;
    static ScratchDir* s_inputs;
};

ScratchDir* PartialOutputTest::s_inputs = nullptr;

// Waits for a partial file to be created in `folder`, watched through inotify so that the
// moment it appears is not missed between two looks.
class PartialFileWatch {
  public:
    explicit PartialFileWatch(const std::string& folder)
        : m_fd(::inotify_init1(IN_CLOEXEC | IN_NONBLOCK)) {
        ::inotify_add_watch(m_fd, folder.c_str(), IN_CREATE);
    }
    ~PartialFileWatch() { ::close(m_fd); }

    bool Wait() {
        auto end = std::chrono::steady_clock::now() + std::chrono::seconds(120);
        alignas(inotify_event) char buffer[4096];
        while (std::chrono::steady_clock::now() < end) {
            pollfd ready{m_fd, POLLIN, 0};
            if (::poll(&ready, 1, 1000) <= 0) continue;
            ssize_t got = ::read(m_fd, buffer, sizeof buffer);
            for (ssize_t at = 0; at < got;) {
                auto* event = reinterpret_cast<inotify_event*>(buffer + at);
                std::string name = event->len > 0 ? event->name : "";
                if (name.find(".part-") != std::string::npos) return true;
                at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
            }
        }
        return false;
    }

  private:
    int m_fd;
};

TEST_F(PartialOutputTest, ASignalWhileWritingRemovesThePartialFile) {
    for (const ProgramRun& run : kPrograms) {
        for (int signal : {SIGTERM, SIGINT}) {
            SCOPED_TRACE(std::string(run.program) + " " + strsignal(signal));
            fs::remove_all(m_dir.File("out"));
            fs::create_directory(m_dir.File("out"));
            PartialFileWatch watch(m_dir.File("out"));
            pid_t pid = Start(run);
            ASSERT_GT(pid, 0);
            ASSERT_TRUE(watch.Wait()) << ReadWholeFile(m_dir.File("log"));
            ::kill(pid, signal);
            int status = 0;
            ASSERT_EQ(::waitpid(pid, &status, 0), pid);
            ASSERT_TRUE(WIFEXITED(status)) << "ended by signal " << WTERMSIG(status);
            EXPECT_EQ(WEXITSTATUS(status), 128 + signal);
            EXPECT_EQ(FileNamesIn(m_dir.File("out")), std::vector<std::string>{});
        }
    }
}

TEST_F(PartialOutputTest, AFileSizeLimitIsAWriteFailureThatLeavesNothing) {
    fs::create_directory(m_dir.File("out"));
    for (const ProgramRun& run : kPrograms) {
        SCOPED_TRACE(run.program);
        std::string command = "ulimit -f 200 && exec " + BuildDir() + "/bin/" + run.program;
        for (const std::string& argument : run.arguments(Input(run), m_dir.File("out/out.pdf")))
            command += " " + ShellQuote(argument);
        CommandResult limited = testing_support::Run(command + " 2>&1");
        EXPECT_NE(limited.exitCode, 0) << limited.output;
        EXPECT_NE(limited.exitCode, 128 + SIGXFSZ) << limited.output;
        EXPECT_FALSE(HoldsPartialFile(m_dir.File("out"))) << limited.output;
        EXPECT_FALSE(fs::exists(m_dir.File("out/out.pdf")));
    }
}

}  // namespace
