// The office server: one LibreOffice for all office conversions of a desktop session. Through
// `velmorade -h` batches (one LibreOffice for every row, a failing row alone, nothing left
// after the batch or after SIGTERM) and through ConvertToPdf with a server in use (a
// LibreOffice that crashes or hangs fails its own document only).
//
// Each test runs with a temporary folder of its own, so that what is left there shows, and
// with VELMORA_SOFFICE naming a front that counts the LibreOffice starts.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <sys/types.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <thread>

#include "desktop/core/Conversion.h"
#include "desktop/core/DebugLog.h"
#include "desktop/core/OfficeServer.h"
#include "desktop/core/OutsidePrograms.h"
#include "desktop/core/QuietUiPort.h"
#include "platform/ChildProcess.h"
#include "testing/RealFiles.h"
#include "testing/ScopedEnvironment.h"
#include "testing/Scratch.h"
#include "testing/Tools.h"
#include "testing/Waiting.h"
#include "tools/tests/ConverterTesting.h"

using namespace testing_support;
using namespace converter_testing;

namespace {

// The processes (other than this one) whose command line mentions `text`.
std::vector<pid_t> ProcessesMentioning(const std::string& text) {
    std::vector<pid_t> found;
    for (const auto& entry : std::filesystem::directory_iterator("/proc")) {
        std::string name = entry.path().filename().string();
        if (name.find_first_not_of("0123456789") != std::string::npos) continue;
        pid_t pid = static_cast<pid_t>(std::stol(name));
        if (pid == ::getpid()) continue;
        std::string line;
        try {
            line = ReadWholeFile(entry.path() / "cmdline");
        } catch (const std::exception&) {
            continue;  // ended while looked at
        }
        if (line.find(text) != std::string::npos) found.push_back(pid);
    }
    return found;
}

std::string Listing(const std::string& folder) {
    std::string names;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder)) {
        names += entry.path().string() + "\n";
    }
    return names;
}

class OfficeServerTest : public testing::Test {
  protected:
    void SetUp() override {
        WriteWholeFile(work.File("Default.plf"), "PROCESSINGTYPE;2up\r\nDONTCLEANFILE;1\r\n");
        WriteWholeFile(work.File("conversion.ini"), "");
        // LibreOffice as usual, each start counted.
        WriteProgram(
            front, "#!/bin/sh\necho started >> " + ShellQuote(starts) + "\nexec soffice \"$@\"\n");
    }

    int OfficeStarts() const {
        std::istringstream lines(std::filesystem::exists(starts) ? ReadWholeFile(starts) : "");
        int count = 0;
        for (std::string line; std::getline(lines, line);) ++count;
        return count;
    }

    // The environment of a velmorade run: the test's temporary folder and LibreOffice front.
    std::string Environment() const {
        return "TMPDIR=" + ShellQuote(temporary.Path()) + " VELMORA_SOFFICE=" + ShellQuote(front) +
               " ";
    }
    std::string Velmorade() const { return ShellQuote(BuildDir() + "/bin/velmorade"); }

    std::string Copy(const std::string& input, const std::string& name) {
        std::filesystem::copy_file(inputs->File(input), work.File(name));
        return work.File(name);
    }

    // A batch of six copies of a .docx, ended by `signal` once its first row is done, while
    // LibreOffice serves the next; gives what the shell said ("status=N").
    std::string EndBatchMidway(const std::string& signal) {
        std::string list;
        for (char name = 'a'; name <= 'f'; ++name) {
            Copy("three-pages.docx", std::string(1, name) + ".docx");
            list += std::string(1, name) + ".docx||\r\n";
        }
        WriteWholeFile(work.File("jobs.lst"), list);
        // The sockets LibreOffice makes in /tmp are noted while it runs.
        std::string folder = ShellQuote(work.Path());
        CommandResult result = testing_support::Run(
            "cd " + folder + " && " + Environment() + Velmorade() +
            " -h -j 1 -f out jobs.lst -p -q >velmorade.log 2>&1 & pid=$!; cd " + folder +
            "; for i in $(seq 2400); do [ -e out/a.docx.pdf ] && break; "
            "kill -0 $pid 2>/dev/null || break; sleep 0.05; done; cat " +
            ShellQuote(temporary.Path()) + "/velmora-office-*/office-sockets > sockets; kill -" +
            signal + " $pid; wait $pid; echo status=$?");
        ExpectGoodPdf(work.File("out/a.docx.pdf"), 2);
        EXPECT_FALSE(std::filesystem::exists(work.File("out/f.docx.pdf")));
        EXPECT_EQ(OfficeStarts(), 1);
        return result.output + ReadWholeFile(work.File("velmorade.log"));
    }

    // Every process started for the test has ended, and the temporary folder is empty.
    void ExpectNothingLeft() {
        EXPECT_TRUE(WaitUntil([&] { return ProcessesMentioning(temporary.Path()).empty(); }))
            << "still running under " << temporary.Path();
        EXPECT_TRUE(std::filesystem::is_empty(temporary.Path())) << Listing(temporary.Path());
    }

    // Starts an office server of the test's own in a private folder, with `more` added to its
    // environment; gives the server's socket once it listens.
    std::string StartServer(platform::ChildProcess& server, std::vector<std::string> more = {}) {
        std::string folder = temporary.File("server");
        std::filesystem::create_directory(folder);
        std::filesystem::permissions(folder, std::filesystem::perms::owner_all);
        more.push_back("TMPDIR=" + temporary.Path());
        platform::SpawnSettings settings;
        settings.environment = platform::EnvironmentWith(more);
        std::string error;
        EXPECT_TRUE(server.Start(BuildDir() + "/bin/office-server", {folder}, settings, &error))
            << error;
        std::string socket = folder + "/requests";
        EXPECT_TRUE(WaitUntil([&] { return std::filesystem::exists(socket); }));
        return socket;
    }

    // A request to convert `input` into `output` with quillet.
    static std::string Request(const std::string& input, const std::string& output) {
        return "{\"program\": \"quillet\", \"input\": \"" + input + "\", \"output\": \"" + output +
               "\"}\n";
    }

    // First: making the inputs points TMPDIR at a folder of their own.
    const ConverterInputs* inputs = &Inputs();
    ScratchDir work;
    ScratchDir temporary;
    ScratchDir counting;
    std::string front = counting.File("soffice");
    std::string starts = counting.File("starts");
};

TEST_F(OfficeServerTest, ABatchConvertsEveryOfficeRowInOneLibreOfficeAndAFailingRowFailsAlone) {
    // Every kind that goes through LibreOffice, one row damaged, one name that a shell would
    // take apart and that is not UTF-8.
    const std::string sheet = "sh\xE9\xE9t $(touch pwned).xlsx";
    Copy("three-pages.docx", "three-pages.docx");
    std::string whole = ReadWholeFile(inputs->File("three-pages.docx"));
    WriteWholeFile(work.File("damaged.docx"), whole.substr(0, whole.size() / 3));
    Copy("sheet.xlsx", sheet);
    Copy("two-pages.odt", "two-pages.odt");
    Copy("greeting.txt", "greeting.txt");
    Copy("drawing.wmf", "drawing.wmf");
    WriteWholeFile(work.File("jobs.lst"), "three-pages.docx||\r\ndamaged.docx||\r\n" + sheet +
                                              "||\r\ntwo-pages.odt||\r\ngreeting.txt||\r\n"
                                              "drawing.wmf||\r\n");
    CommandResult result =
        testing_support::Run("cd " + ShellQuote(work.Path()) + " && " + Environment() +
                             Velmorade() + " -h -j 1 -f out jobs.lst -p -q");
    EXPECT_EQ(result.exitCode, 4) << result.output;
    EXPECT_NE(result.output.find("damaged.docx: Failed to convert file to pdf!"), std::string::npos)
        << result.output;
    EXPECT_NE(result.output.find("1 of 6 files failed."), std::string::npos) << result.output;
    ExpectGoodPdf(work.File("out/three-pages.docx.pdf"), 2);
    ExpectGoodPdf(work.File("out/" + sheet + ".pdf"), 1);
    ExpectGoodPdf(work.File("out/two-pages.odt.pdf"), 1);
    ExpectGoodPdf(work.File("out/greeting.txt.pdf"), 1);
    ExpectGoodPdf(work.File("out/drawing.wmf.pdf"), 1);
    EXPECT_NE(PageText(work.File("out/" + sheet + ".pdf"), 1).find("rhubarb"), std::string::npos);
    EXPECT_NE(PageText(work.File("out/greeting.txt.pdf"), 1).find(kGreeting), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(work.File("out/damaged.docx.pdf")));
    EXPECT_FALSE(std::filesystem::exists(work.File("pwned")));
    EXPECT_EQ(OfficeStarts(), 1);
    ExpectNothingLeft();
}

TEST_F(OfficeServerTest, TheJobsOfOneSessionShareItsLibreOffice) {
    // Two single jobs and a batch, one after the other, as in one window's life.
    Copy("three-pages.docx", "letter.docx");
    Copy("sheet.xlsx", "sheet.xlsx");
    CommandResult result = testing_support::Run(
        "cd " + ShellQuote(work.Path()) + " && " + Environment() + Velmorade() +
        " -h -o one.pdf letter.docx -p -o two.pdf sheet.xlsx -p -f out 'letter.*' -p -q");
    EXPECT_EQ(result.exitCode, 0) << result.output;
    ExpectGoodPdf(work.File("one.pdf"), 2);
    ExpectGoodPdf(work.File("two.pdf"), 1);
    ExpectGoodPdf(work.File("out/letter.docx.pdf"), 2);
    EXPECT_EQ(OfficeStarts(), 1);
    ExpectNothingLeft();
}

void ExpectSocketsGone(const std::string& listing) {
    std::string sockets = ReadWholeFile(listing);
    EXPECT_NE(sockets, "");
    std::istringstream lines(sockets);
    for (std::string socket; std::getline(lines, socket);) {
        EXPECT_FALSE(std::filesystem::exists(socket)) << "left behind: " << socket;
    }
}

TEST_F(OfficeServerTest, SigtermInTheMiddleOfABatchEndsLibreOfficeAndLeavesNothing) {
    std::string said = EndBatchMidway("TERM");
    EXPECT_NE(said.find("status=143"), std::string::npos) << said;
    ExpectNothingLeft();
    ExpectSocketsGone(work.File("sockets"));
}

TEST_F(OfficeServerTest, TheOfficeServerEndsItselfWhenTheProgramIsKilled) {
    std::string said = EndBatchMidway("KILL");
    EXPECT_NE(said.find("status=137"), std::string::npos) << said;
    // The killed program leaves its own working folders; the server and its LibreOffice
    // remove theirs.
    EXPECT_TRUE(WaitUntil(
        [&] { return ProcessesMentioning(temporary.Path() + "/velmora-office-").empty(); }));
    for (const auto& entry : std::filesystem::directory_iterator(temporary.Path())) {
        EXPECT_FALSE(entry.path().filename().string().starts_with("velmora-office-"))
            << entry.path();
    }
    ExpectSocketsGone(work.File("sockets"));
}

// ConvertToPdf with a server of the test's own.
class OfficeServerConversionTest : public OfficeServerTest {
  protected:
    void TearDown() override {
        office.Stop();
        ExpectNothingLeft();
    }

    desktop::ConversionOutcome Convert(const std::string& input, std::chrono::seconds timeout) {
        std::string folder = work.File("converted " + std::to_string(++conversions) + "/");
        std::filesystem::create_directories(folder);
        return desktop::ConvertToPdf(input, settings, folder, ui, log, &office, timeout,
                                     kMemoryLimit);
    }

    // A document that unpacks to 200 MB: LibreOffice runs out of memory on it.
    std::string Bomb() {
        std::string bomb = work.File("bomb.docx");
        MustRun("/usr/bin/python3 " + ShellQuote(SourceDir() + "/tools/tests/make_bomb_docx.py") +
                " " + ShellQuote(bomb) + " 200");
        return bomb;
    }

    // The LibreOffice processes of the test's server.
    std::vector<pid_t> OfficeProcesses() const {
        return ProcessesMentioning("UserInstallation=file://" + temporary.Path());
    }

    static constexpr uint64_t kMemoryLimit = uint64_t{1} << 30;
    ScopedEnvironment temporaryFolder{"TMPDIR", temporary.Path()};
    ScopedEnvironment officeFront{"VELMORA_SOFFICE", front};
    ScopedEnvironment path{"PATH", BuildDir() + "/bin:" + std::getenv("PATH")};
    desktop::OfficeServer office{kMemoryLimit};
    desktop::ConversionSettings settings;
    desktop::QuietUiPort ui;
    desktop::DebugLog log{desktop::ConfigFolder(work.Path(), work.Path())};
    int conversions = 0;
};

TEST_F(OfficeServerConversionTest, ALibreOfficeThatCrashesFailsItsOwnDocumentOnly) {
    std::string docx = inputs->File("three-pages.docx");
    ASSERT_TRUE(Convert(docx, std::chrono::minutes(10)).succeeded);
    // Its office process ended alone, the next document asked at once, while the launcher
    // still runs: it gets a fresh LibreOffice, not the bridge that went.
    for (pid_t pid : OfficeProcesses()) {
        if (ReadWholeFile("/proc/" + std::to_string(pid) + "/comm") == "soffice.bin\n") {
            ::kill(pid, SIGKILL);
        }
    }
    ASSERT_TRUE(Convert(docx, std::chrono::minutes(10)).succeeded);
    // Ended between two documents: the next one gets a fresh LibreOffice.
    std::vector<pid_t> killed = OfficeProcesses();
    ASSERT_FALSE(killed.empty());
    for (pid_t pid : killed) ::kill(pid, SIGKILL);
    for (pid_t pid : killed) EXPECT_TRUE(WaitUntilGone(pid)) << pid;
    ASSERT_TRUE(Convert(docx, std::chrono::minutes(10)).succeeded);
    // Ended by a document that needs more memory than it may use.
    desktop::ConversionOutcome bomb = Convert(Bomb(), std::chrono::minutes(10));
    EXPECT_FALSE(bomb.succeeded);
    EXPECT_NE(bomb.stopText.find("1024 MiB of memory"), std::string::npos) << bomb.stopText;
    desktop::ConversionOutcome next = Convert(docx, std::chrono::minutes(10));
    ASSERT_TRUE(next.succeeded);
    ExpectGoodPdf(next.pdfName, 3);
    EXPECT_EQ(PageText(next.pdfName, 3), "Velmora docx page 3 zebra");
    EXPECT_EQ(office.Starts(), 1);  // the server lived on ...
    EXPECT_EQ(OfficeStarts(), 4);   // ... and started a fresh LibreOffice after each end
}

TEST_F(OfficeServerConversionTest, AHungLibreOfficeIsEndedAtTheTimeLimitAndTheNextOneConverts) {
    // Two rows at once: the server starts a LibreOffice for each.
    office.SetInstances(2);
    std::string docx = inputs->File("three-pages.docx");
    ASSERT_TRUE(Convert(docx, std::chrono::minutes(10)).succeeded);
    ASSERT_TRUE(testing_support::WaitUntil([&] { return OfficeStarts() == 2; }));
    // Both LibreOffices no longer answer: stopped. The conversion on the first one runs into
    // its time limit, which ends that LibreOffice alone.
    std::vector<pid_t> stopped = OfficeProcesses();
    ASSERT_FALSE(stopped.empty());
    for (pid_t pid : stopped) ::kill(pid, SIGSTOP);
    desktop::ConversionOutcome hung = Convert(docx, std::chrono::seconds(3));
    EXPECT_FALSE(hung.succeeded);
    EXPECT_EQ(hung.stopText, "The converter was stopped after 3 seconds.");
    EXPECT_TRUE(
        testing_support::WaitUntil([&] { return OfficeProcesses().size() < stopped.size(); }));
    std::vector<pid_t> left = OfficeProcesses();
    EXPECT_FALSE(left.empty());
    for (pid_t pid : left) ::kill(pid, SIGCONT);

    // The first seat gets a fresh LibreOffice; the second one's goes on where it stopped.
    desktop::ConversionOutcome next = Convert(docx, std::chrono::minutes(10));
    ASSERT_TRUE(next.succeeded);
    ExpectGoodPdf(next.pdfName, 3);
    {
        std::optional<desktop::OfficeServer::Lease> held = office.Take();
        ASSERT_TRUE(held);
        desktop::ConversionOutcome beside = Convert(docx, std::chrono::minutes(10));
        ASSERT_TRUE(beside.succeeded);
        ExpectGoodPdf(beside.pdfName, 3);
    }
    EXPECT_EQ(office.Starts(), 1);  // the server lived on ...
    EXPECT_EQ(OfficeStarts(), 3);   // ... and started one fresh LibreOffice
}

TEST_F(OfficeServerConversionTest, AServerWhoseSocketWentIsReplaced) {
    // As a cleaner of old temporary files may do to a window left open for days.
    std::string docx = inputs->File("three-pages.docx");
    ASSERT_TRUE(Convert(docx, std::chrono::minutes(10)).succeeded);
    size_t removed = 0;
    for (const auto& entry : std::filesystem::directory_iterator(temporary.Path())) {
        removed += std::filesystem::remove(entry.path() / "requests") ? 1 : 0;
    }
    ASSERT_EQ(removed, 1u);
    ASSERT_TRUE(Convert(docx, std::chrono::minutes(10)).succeeded);
    EXPECT_EQ(office.Starts(), 2);
}

TEST_F(OfficeServerConversionTest, RowsAtOnceConvertOnLibreOfficesOfTheirOwnThatEndWithTheBatch) {
    // The office programs of the test's LibreOffices that run now.
    auto running = [&] {
        int count = 0;
        for (pid_t pid : OfficeProcesses()) {
            count += ReadWholeFile("/proc/" + std::to_string(pid) + "/comm") == "soffice.bin\n";
        }
        return count;
    };
    office.SetInstances(2);
    std::string docx = inputs->File("three-pages.docx");
    ASSERT_TRUE(Convert(docx, std::chrono::minutes(10)).succeeded);
    // One server, which started both LibreOffices at once.
    EXPECT_EQ(office.Starts(), 1);
    EXPECT_TRUE(testing_support::WaitUntil([&] { return OfficeStarts() == 2; }));
    // The private profiles record the installed version, so LibreOffice skipped the graphics
    // self-tests it runs (for seconds) at each start of a profile that records none; and the
    // Word filter's flags are the installed ones less the signature support, whose checks
    // would start the signing machinery for every document; Writer collects no words to
    // complete as it lays a document out.
    int profiles = 0;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(temporary.Path())) {
        EXPECT_NE(entry.path().filename(), "GraphicsRenderTests.log") << entry.path();
        if (entry.path().filename() != "registrymodifications.xcu") continue;
        ++profiles;
        std::string written = ReadWholeFile(entry.path());
        EXPECT_NE(written.find("\"ooSetupLastVersion\""), std::string::npos);
        EXPECT_NE(written.find("Filter['MS Word 2007 XML']\"><prop oor:name=\"Flags\""),
                  std::string::npos)
            << written;
        EXPECT_EQ(written.find("SUPPORTSSIGNING"), std::string::npos) << written;
        EXPECT_NE(written.find("<prop oor:name=\"CollectWords\" oor:op=\"fuse\"><value>false"),
                  std::string::npos)
            << written;
    }
    EXPECT_EQ(profiles, 2);
    {
        // The first seat held, as by a row converting at the same time: the other converts.
        std::optional<desktop::OfficeServer::Lease> held = office.Take();
        ASSERT_TRUE(held);
        std::string error;
        ASSERT_FALSE(held->Address(&error).empty()) << error;
        desktop::ConversionOutcome beside = Convert(docx, std::chrono::minutes(10));
        ASSERT_TRUE(beside.succeeded);
        ExpectGoodPdf(beside.pdfName, 3);
    }
    // Both free and running: reused.
    ASSERT_TRUE(Convert(docx, std::chrono::minutes(10)).succeeded);
    EXPECT_EQ(office.Starts(), 1);
    EXPECT_EQ(OfficeStarts(), 2);
    EXPECT_EQ(running(), 2);
    // The batch ends: the second LibreOffice goes; the first serves on.
    office.SetInstances(1);
    EXPECT_TRUE(testing_support::WaitUntil([&] { return running() == 1; }));
    ASSERT_TRUE(Convert(docx, std::chrono::minutes(10)).succeeded);
    // The next batch's second row starts a fresh one on the same server.
    office.SetInstances(2);
    {
        std::optional<desktop::OfficeServer::Lease> held = office.Take();
        ASSERT_TRUE(held);
        ASSERT_TRUE(Convert(docx, std::chrono::minutes(10)).succeeded);
    }
    EXPECT_EQ(office.Starts(), 1);
    EXPECT_EQ(OfficeStarts(), 3);
    office.Stop();
    EXPECT_TRUE(std::filesystem::is_empty(temporary.Path())) << Listing(temporary.Path());
    EXPECT_EQ(running(), 0);
}

TEST_F(OfficeServerConversionTest, ConversionsFromSeveralThreadsQueueForTheOneLibreOffice) {
    // As batch rows running side by side convert: each thread with a port and log of its own.
    const std::vector<std::string> names = {"three-pages.docx", "sheet.xlsx", "two-pages.odt"};
    std::vector<desktop::ConversionOutcome> outcomes(names.size());
    std::vector<std::thread> threads;
    for (size_t i = 0; i < names.size(); ++i) {
        std::string folder = work.File("thread " + std::to_string(i) + "/");
        std::filesystem::create_directories(folder);
        threads.emplace_back([&, i, folder] {
            desktop::QuietUiPort threadUi;
            desktop::DebugLog threadLog{desktop::ConfigFolder(work.Path(), work.Path())};
            outcomes[i] =
                desktop::ConvertToPdf(inputs->File(names[i]), settings, folder, threadUi, threadLog,
                                      &office, std::chrono::minutes(10), kMemoryLimit);
        });
    }
    for (std::thread& thread : threads) thread.join();
    for (size_t i = 0; i < names.size(); ++i) EXPECT_TRUE(outcomes[i].succeeded) << names[i];
    ExpectGoodPdf(outcomes[0].pdfName, 3);
    EXPECT_NE(PageText(outcomes[1].pdfName, 1).find("rhubarb"), std::string::npos);
    EXPECT_EQ(PageText(outcomes[2].pdfName, 2), "Velmora odt page 2 walrus");
    EXPECT_EQ(office.Starts(), 1);
    EXPECT_EQ(OfficeStarts(), 1);
}

// A connection to the socket at `path`, whose reads give up after a minute; -1 when none.
int ConnectTo(const std::string& path) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (path.size() >= sizeof(address.sun_path)) return -1;
    path.copy(address.sun_path, path.size());
    int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    timeval minute{60, 0};
    setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &minute, sizeof(minute));
    if (fd >= 0 && connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0) {
        close(fd);
        return -1;
    }
    return fd;
}

// Sends `request` on a fresh connection and gives the server's answer (empty when none came).
std::string Ask(const std::string& socket, const std::string& request) {
    int fd = ConnectTo(socket);
    if (fd < 0) return {};
    for (size_t sent = 0; sent < request.size();) {
        ssize_t n = send(fd, request.data() + sent, request.size() - sent, MSG_NOSIGNAL);
        if (n <= 0) break;  // a server that stopped reading still answers
        sent += static_cast<size_t>(n);
    }
    std::string answer;
    char buffer[4096];
    for (ssize_t n; (n = recv(fd, buffer, sizeof(buffer), 0)) > 0;) answer.append(buffer, n);
    close(fd);
    return answer;
}

TEST_F(OfficeServerTest, TheServerAnswersHostileRequestsWithAnErrorAndGoesOn) {
    platform::ChildProcess server;
    std::string socket = StartServer(server);
    // A converter that connects and says nothing holds the server only for its read timeout.
    int silent = ConnectTo(socket);
    ASSERT_GE(silent, 0);
    const std::string missing = work.File("missing.docx");
    const std::string valid = "{\"program\": \"quillet\", \"input\": \"" + missing +
                              "\", \"output\": \"" + work.File("out.pdf") + "\"";
    // The control socket, which ends a seat's LibreOffice, answers the same way.
    const std::string control = temporary.File("server/control");
    const struct {
        const char* name;
        const std::string& socket;
        std::string request;
        const char* answer;
    } hostile[] = {
        {"deep", socket, std::string(60000, '[') + "\n", "nested deeper"},
        {"infinite", socket, valid + ", \"width\": 1e999}\n", "not a number"},
        {"huge", socket, valid + ", \"width\": 99999999999999999999}\n", "whole number from 0"},
        {"long", socket, std::string(200000, ' ') + "\n", "longer than"},
        {"not JSON", socket, "quillet please\n", "not JSON"},
        {"not an object", socket, "[1, 2]\n", "not a JSON object"},
        {"no name", socket, "{\"input\": 7}\n", "input must be a text"},
        {"no such seat", control, "{\"end\": 16}\n", "whole number from 0 to 15"},
        {"more than an end", control, "{\"end\": 0, \"and\": 1}\n", "other than {\\\"end\\\""},
        {"long control line", control, std::string(200000, ' ') + "\n", "longer than"},
    };
    for (const auto& request : hostile) {
        SCOPED_TRACE(request.name);
        std::string answer = Ask(request.socket, request.request);
        EXPECT_NE(answer.find("\"status\": 2"), std::string::npos) << answer;
        EXPECT_NE(answer.find(request.answer), std::string::npos) << answer;
    }
    char said[256] = {};
    EXPECT_GT(recv(silent, said, sizeof(said) - 1, 0), 0);
    EXPECT_NE(std::string(said).find("no whole request within"), std::string::npos) << said;
    close(silent);
    // The server lives on, ends a seat's LibreOffice when told, and serves a real request
    // (the input is missing: it says so).
    EXPECT_NE(Ask(control, "{\"end\": 15}\n").find("\"status\": 0"), std::string::npos);
    std::string answer = Ask(socket, valid + "}\n");
    EXPECT_NE(answer.find("Cannot read " + missing), std::string::npos) << answer;
    EXPECT_TRUE(server.IsRunning());
    server.End(std::chrono::seconds(10));
    EXPECT_FALSE(std::filesystem::exists(temporary.File("server")));
}

TEST_F(OfficeServerTest, LibreOfficeStartsWithTheServerFindingGnuPGFailingAndHugePagesAsked) {
    // The front notes where LibreOffice would find gpgconf and paperconf, what gpgconf does and
    // the C library's settings it gets.
    std::string found = counting.File("found");
    WriteProgram(front,
                 "#!/bin/sh\n{ command -v gpgconf; command -v paperconf; gpgconf "
                 "--list-dirs >/dev/null 2>&1; echo $?; echo \"$GLIBC_TUNABLES\"; } > " +
                     ShellQuote(found) + "\necho started >> " + ShellQuote(starts) +
                     "\nexec soffice \"$@\"\n");
    platform::ChildProcess server;
    std::string socket = StartServer(
        server, {"VELMORA_SOFFICE=" + front, "GLIBC_TUNABLES=glibc.malloc.arena_max=4"});
    // No request has come: LibreOffice starts with the server.
    ASSERT_TRUE(WaitUntil([&] { return OfficeStarts() == 1; }));
    std::istringstream lines(ReadWholeFile(found));
    std::string gpgconf, paperconf, status, tunables;
    std::getline(lines, gpgconf);
    std::getline(lines, paperconf);
    std::getline(lines, status);
    std::getline(lines, tunables);
    EXPECT_TRUE(gpgconf.starts_with(temporary.File("server") + "/")) << gpgconf;
    EXPECT_NE(status, "0");
    EXPECT_EQ(tunables, "glibc.malloc.arena_max=4:glibc.malloc.hugetlb=1");
    EXPECT_EQ(paperconf + "\n", testing_support::Run("command -v paperconf").output);
    // The first request converts on it.
    std::string pdf = work.File("out.pdf");
    std::string answer = Ask(socket, Request(inputs->File("three-pages.docx"), pdf));
    EXPECT_NE(answer.find("\"status\": 0"), std::string::npos) << answer;
    ExpectGoodPdf(pdf, 3);
    EXPECT_EQ(OfficeStarts(), 1);
    server.End(std::chrono::seconds(10));
    ExpectNothingLeft();
}

TEST_F(OfficeServerTest, ALibreOfficeThatCannotStartFailsTheFirstRequestAndTheNextTriesAgain) {
    WriteProgram(front, "#!/bin/sh\necho started >> " + ShellQuote(starts) + "\nexit 3\n");
    platform::ChildProcess server;
    std::string socket = StartServer(server, {"VELMORA_SOFFICE=" + front});
    std::string docx = inputs->File("three-pages.docx");
    for (int request = 1; request <= 2; ++request) {
        std::string answer = Ask(socket, Request(docx, work.File("out.pdf")));
        EXPECT_NE(answer.find("ended before it could convert (status 3)"), std::string::npos)
            << answer;
        EXPECT_EQ(OfficeStarts(), request);
    }
    EXPECT_FALSE(std::filesystem::exists(work.File("out.pdf")));
    server.End(std::chrono::seconds(10));
    ExpectNothingLeft();
}

}  // namespace
