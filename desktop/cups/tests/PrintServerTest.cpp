// The booklet printer in a real print server: a private cupsd (its own configuration, spool and
// socket) with a PDF-writing queue behind the booklet printer. Jobs go in with lp, as from any
// program's print dialog, and the booklet is checked where the PDF queue wrote it.
#include <gtest/gtest.h>

#include <cups/cups.h>
#include <grp.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <regex>

#include "desktop/core/tests/PipelineFixture.h"
#include "testing/RealFiles.h"
#include "testing/ScopedEnvironment.h"
#include "testing/Tools.h"
#include "testing/Waiting.h"

extern char** environ;

namespace desktop_test {
namespace {

using namespace testing_support;
using namespace std::chrono_literals;
namespace fs = std::filesystem;

constexpr char kPdfBackend[] = "/usr/lib/cups/backend/cups-pdf";
constexpr char kPdfPpd[] = "/usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd";

// Why the print server cannot run here; empty when it can.
std::string WhyNoServer() {
    if (::geteuid() != 0) return "cupsd runs its backends as lp only when started as root";
    for (const char* needed : {"/usr/sbin/cupsd", kPdfBackend, kPdfPpd}) {
        if (!fs::exists(needed)) return std::string(needed) + " is not installed";
    }
    if (::access("/etc/cups", W_OK) != 0) return "the PDF queue's configuration needs /etc/cups";
    return {};
}

class PrintServerTest : public ::testing::Test {
  protected:
    void SetUp() override {
        std::string why = WhyNoServer();
        if (!why.empty()) GTEST_SKIP() << "no private print server: " << why;
        // The backends run as lp: they must reach the folders they read and write.
        fs::permissions(m_dir.Path(), fs::perms::all);
        for (const char* folder :
             {"root/ppd", "bin/backend", "spool", "cache", "state", "log", "pdf"}) {
            fs::create_directories(m_dir.File(folder));
        }
        fs::permissions(m_dir.File("pdf"), fs::perms::all);
        // The server's temporary folder, as the server keeps its own: lp writes in it.
        fs::create_directories(m_dir.File("tmp"));
        ASSERT_EQ(::chown(m_dir.File("tmp").c_str(), 0, LpGroup()), 0);
        fs::permissions(m_dir.File("tmp"),
                        fs::perms::owner_all | fs::perms::group_all | fs::perms::sticky_bit);
        for (const char* part : {"filter", "driver", "cgi-bin", "daemon", "monitor", "notifier"}) {
            fs::create_directory_symlink(std::string("/usr/lib/cups/") + part,
                                         m_dir.File("bin/") + part);
        }
        fs::create_symlink(kPdfBackend, m_dir.File("bin/backend/cups-pdf"));
        WriteWholeFile(m_dir.File("cupsd.conf"),
                       "Listen " + Socket() +
                           "\nLogLevel debug\nWebInterface No\nBrowsing Off\n"
                           "<Location />\n  Order allow,deny\n  Allow all\n</Location>\n");
        std::string files;
        for (auto [key, folder] : {std::pair{"ServerRoot", "root"},
                                   {"ServerBin", "bin"},
                                   {"RequestRoot", "spool"},
                                   {"TempDir", "tmp"},
                                   {"CacheDir", "cache"},
                                   {"StateDir", "state"}}) {
            files += std::string(key) + " " + m_dir.File(folder) + "\n";
        }
        files += "DataDir /usr/share/cups\nErrorLog " + m_dir.File("log/error_log") +
                 "\nAccessLog " + m_dir.File("log/access_log") + "\nPageLog " +
                 m_dir.File("log/page_log") + "\nSandboxing Relaxed\n";
        WriteWholeFile(m_dir.File("cups-files.conf"), files);
        m_pdfConfig = "/etc/cups/cups-pdf-" + m_pdfQueue + ".conf";
        WriteWholeFile(m_pdfConfig, "Out " + m_dir.File("pdf") + "\nAnonDirName " +
                                        m_dir.File("pdf") + "\nGrp lp\nLog " + m_dir.File("log") +
                                        "\n");
        std::string conf = m_dir.File("cupsd.conf"), filesConf = m_dir.File("cups-files.conf");
        const char* argv[] = {"/usr/sbin/cupsd", "-f",   "-c", conf.c_str(), "-s",
                              filesConf.c_str(), nullptr};
        ASSERT_EQ(
            ::posix_spawn(&m_cupsd, argv[0], nullptr, nullptr, const_cast<char**>(argv), environ),
            0);
        m_server.emplace("CUPS_SERVER", Socket());
        // libcups keeps the server it first used: this test's is a new one.
        cupsSetServer(Socket().c_str());
        ASSERT_TRUE(WaitUntil(
            [&] {
                return testing_support::Run("lpstat -r").output.find("is running") !=
                       std::string::npos;
            },
            30s))
            << ReadWholeFile(m_dir.File("log/error_log"));
        MustRun("lpadmin -p " + m_pdfQueue + " -E -v cups-pdf:/" + m_pdfQueue + " -P " + kPdfPpd);
        Program("--install", {"CUPS_SERVERBIN=" + ShellQuote(m_dir.File("bin"))});
    }
    void TearDown() override {
        if (m_cupsd > 0) {
            ::kill(m_cupsd, SIGTERM);
            ::waitpid(m_cupsd, nullptr, 0);
        }
        if (!m_pdfConfig.empty()) fs::remove(m_pdfConfig);
        cupsSetServer(nullptr);
    }

    static gid_t LpGroup() {
        struct group* lp = ::getgrnam("lp");
        return lp != nullptr ? lp->gr_gid : 0;
    }
    std::string Socket() const { return m_dir.File("cups.sock"); }
    void Program(const std::string& arguments, const std::vector<std::string>& environment = {}) {
        std::string command = "env";
        for (const std::string& entry : environment) command += " " + entry;
        MustRun(command + " " + ShellQuote(BuildDir() + "/bin/velmora-cups") + " " + arguments);
    }
    // Prints `file` with lp; the job's number.
    int Print(const std::string& printer, const std::string& file) {
        CommandResult lp =
            testing_support::Run("lp -d " + printer + " " + ShellQuote(file) + " 2>&1");
        std::smatch number;
        std::regex_search(lp.output, number, std::regex("request id is [^ ]+-([0-9]+)"));
        EXPECT_FALSE(number.empty()) << lp.output;
        return number.empty() ? 0 : std::stoi(number[1]);
    }
    // The job's state and the message its backend left.
    std::pair<int, std::string> JobState(int id) {
        ipp_t* request = ippNewRequest(IPP_OP_GET_JOB_ATTRIBUTES);
        std::string uri = "ipp://localhost/jobs/" + std::to_string(id);
        ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "job-uri", nullptr, uri.c_str());
        ipp_t* response = cupsDoRequest(CUPS_HTTP_DEFAULT, request, "/");
        std::pair<int, std::string> state{0, ""};
        if (ipp_attribute_t* found = ippFindAttribute(response, "job-state", IPP_TAG_ENUM)) {
            state.first = ippGetInteger(found, 0);
        }
        if (ipp_attribute_t* found =
                ippFindAttribute(response, "job-printer-state-message", IPP_TAG_TEXT)) {
            state.second = ippGetString(found, 0, nullptr);
        }
        ippDelete(response);
        return state;
    }
    // The PDF files the PDF queue wrote, once `count` of them are there and whole.
    std::vector<std::string> WrittenPdfs(size_t count) {
        std::vector<std::string> pdfs;
        bool whole = WaitUntil(
            [&] {
                pdfs.clear();
                for (const auto& entry : fs::recursive_directory_iterator(m_dir.File("pdf"))) {
                    if (entry.path().extension() == ".pdf") pdfs.push_back(entry.path());
                }
                std::sort(pdfs.begin(), pdfs.end());
                return pdfs.size() >= count &&
                       std::all_of(pdfs.begin(), pdfs.end(), [](auto& p) { return QpdfCheck(p); });
            },
            180s);
        EXPECT_TRUE(whole) << ReadWholeFile(m_dir.File("log/error_log")).substr(0, 20000);
        return pdfs;
    }

    ScratchDir m_dir;
    std::string m_pdfQueue = "VelmoraPdf" + std::to_string(::getpid());
    std::string m_pdfConfig;
    pid_t m_cupsd = -1;
    std::optional<ScopedEnvironment> m_server;
};

TEST_F(PrintServerTest, APrintedDocumentArrivesAsABookletOnTheTargetsPaper) {
    Program("--add-printer Booklet --to " + m_pdfQueue);
    PdfFromPostScript(NumberedPagesPostScript(6, 595, 842), m_dir.File("doc.pdf"));
    // The printer offers the target's paper under the names dialogs know.
    std::string ppd = ReadWholeFile(m_dir.File("root/ppd/Booklet.ppd"));
    EXPECT_NE(ppd.find("*PageSize A4: \"<</PageSize[595 842]>>setpagedevice\""), std::string::npos);
    EXPECT_NE(ppd.find("*PageSize Letter: "), std::string::npos);
    int job = Print("Booklet", m_dir.File("doc.pdf"));
    std::vector<std::string> pdfs = WrittenPdfs(1);
    ASSERT_EQ(pdfs.size(), 1u);
    EXPECT_EQ(JobState(job).first, IPP_JSTATE_COMPLETED);
    EXPECT_EQ(PrintedNumbers(pdfs[0]), (std::vector<std::vector<int>>{{1}, {2}, {6, 3}, {4, 5}}));
    PageSize size = PdfPageSize(pdfs[0], 1);
    // The PDF queue's A4, the booklet's two pages side by side on it.
    EXPECT_NEAR(std::max(size.width, size.height), 842, 2);
    EXPECT_NEAR(std::min(size.width, size.height), 595, 2);

    // PostScript from a program is imposed too: 4 pages, one sheet.
    WriteWholeFile(m_dir.File("script.ps"), NumberedPagesPostScript(4, 595, 842));
    int second = Print("Booklet", m_dir.File("script.ps"));
    pdfs = WrittenPdfs(2);
    ASSERT_EQ(pdfs.size(), 2u);
    EXPECT_EQ(JobState(second).first, IPP_JSTATE_COMPLETED);
    auto script = std::find_if(pdfs.begin(), pdfs.end(), [](const std::string& name) {
        return name.find("script") != std::string::npos;
    });
    ASSERT_NE(script, pdfs.end());
    EXPECT_EQ(PrintedNumbers(*script), (std::vector<std::vector<int>>{{4, 1}, {2, 3}}));
}

TEST_F(PrintServerTest, ABrokenJobFailsWithItsReasonInTheJobsState) {
    Program("--add-printer Booklet --to " + m_pdfQueue);
    WriteWholeFile(m_dir.File("broken.pdf"), "%PDF-1.4\ntrailer <<>>\n");
    int job = Print("Booklet", m_dir.File("broken.pdf"));
    std::pair<int, std::string> state;
    ASSERT_TRUE(
        WaitUntil([&] { return (state = JobState(job)).first >= IPP_JSTATE_CANCELED; }, 120s));
    EXPECT_EQ(state.first, IPP_JSTATE_CANCELED);
    EXPECT_NE(state.second.find("could not be imposed"), std::string::npos) << state.second;
    // The printer goes on with the next job.
    EXPECT_EQ(testing_support::Run("lpstat -p Booklet").output.find("disabled"), std::string::npos);
}

}  // namespace
}  // namespace desktop_test
