// The converter programs on inputs made by real producers (LibreOffice, ImageMagick, plain
// text): each written PDF passes qpdf --check, has the pages expected and shows the input's
// words or picture; failures end non-zero with a reason and leave no output file.
//
// LibreOffice starts slowly, so the office inputs are all made in one session, and each test
// converts only what it needs.
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <set>

#include "platform/RunAndWait.h"
#include "testing/RealFiles.h"
#include "testing/Scratch.h"
#include "testing/Tools.h"
#include "tools/tests/ConverterTesting.h"

using namespace testing_support;
using namespace converter_testing;

namespace {

class ConverterProgramTest : public testing::Test {
  protected:
    void SetUp() override { inputs = &Inputs(); }

    // Runs the Python program `program` beside the converters' modules, which it imports.
    static CommandResult RunWithModules(const char* program) {
        return testing_support::Run("cd " + ShellQuote(BuildDir() + "/bin") +
                                    " && /usr/bin/python3 -c " + ShellQuote(program));
    }

    const ConverterInputs* inputs = nullptr;
    ScratchDir dir;
};

TEST_F(ConverterProgramTest, TwoOfficeConversionsAtOnceKeepPagesAndWords) {
    // Two LibreOffice conversions running side by side, one on a name that a shell would
    // take apart, the other on names with bytes that are not UTF-8: each has a profile of its
    // own, so neither disturbs the other.
    std::string odd = dir.File("my \"odd\" $(touch pwned) 'name'.docx");
    std::filesystem::copy_file(inputs->File("three-pages.docx"), odd);
    std::string latin1 = dir.File("sh\xE9\xE9t.xlsx");
    std::filesystem::copy_file(inputs->File("sheet.xlsx"), latin1);
    std::string docxPdf = dir.File("docx \"out\" $(x).pdf");
    std::string xlsxPdf = dir.File("xlsx out \xFC.pdf");
    CommandResult both =
        testing_support::Run(ConverterCommand("quillet", {"-i" + odd, "-o" + docxPdf}) + " & " +
                             ConverterCommand("brannock", {latin1, xlsxPdf}) + "; wait");
    ASSERT_TRUE(std::filesystem::exists(docxPdf)) << both.output;
    ASSERT_TRUE(std::filesystem::exists(xlsxPdf)) << both.output;
    ExpectGoodPdf(docxPdf, 3);
    ExpectGoodPdf(xlsxPdf, 1);
    for (int page = 1; page <= 3; ++page) {
        EXPECT_EQ(PageText(docxPdf, page), "Velmora docx page " + std::to_string(page) + " zebra");
    }
    std::string text = PageText(xlsxPdf, 1);
    EXPECT_NE(text.find("rhubarb"), std::string::npos) << text;
    EXPECT_NE(text.find("5555"), std::string::npos) << text;
    EXPECT_FALSE(std::filesystem::exists(dir.File("pwned")));
    EXPECT_FALSE(std::filesystem::exists("pwned"));
    ExpectNoConverterLeftovers();
}

TEST_F(ConverterProgramTest, PicturesGoThroughTheImageCore) {
    for (const char* name : {"photo.jpg", "transparent.png", "drawing.gif", "bitmap.bmp"}) {
        SCOPED_TRACE(name);
        std::string pdf = dir.File(std::string(name) + ".pdf");
        CommandResult result = RunConverter("pictavo", {"-i" + inputs->File(name), "-o" + pdf});
        ASSERT_EQ(result.exitCode, 0) << result.output;
        ExpectGoodPdf(pdf, 1);
        // 100 dpi, except the GIF, which states no resolution: 72 dpi.
        double scale = std::string(name) == "drawing.gif" ? 1.0 : 0.72;
        ExpectPageSize(pdf, 1, 200 * scale, 100 * scale);
        EXPECT_LT(PageDifferenceFromImage(pdf, 1, 100, inputs->File(name), 0), kSamePicture);
    }
    std::string fitted = dir.File("fitted.pdf");
    CommandResult result = RunConverter("pictavo", {"-i" + inputs->File("photo.jpg"), "-o" + fitted,
                                                    "-w595", "-h842", "-a1", "-f1"});
    ASSERT_EQ(result.exitCode, 0) << result.output;
    ExpectPageSize(fitted, 1, 842, 595);  // turned for a wide picture
}

TEST_F(ConverterProgramTest, MetafileFittedOnAPageTurnedToLandscape) {
    // The picture: a black square filling the left half of a framed 2:1 box (its natural
    // size is checked through the desktop program).
    std::string fitted = dir.File("emf.pdf");
    CommandResult result = RunConverter("pictavo", {"-i" + inputs->File("drawing.emf"),
                                                    "-o" + fitted, "-w595", "-h842", "-a1", "-f1"});
    // Fitted on A4, turned to landscape for the wide picture: centred, proportions kept.
    ASSERT_EQ(result.exitCode, 0) << result.output;
    ExpectGoodPdf(fitted, 1);
    ExpectPageSize(fitted, 1, 842, 595);
    Image page = RenderPage(fitted, 1, 72);
    Image expected(page.Width(), page.Height());
    int boxHeight = page.Width() / 2;
    Image box = HalfBlackBox(page.Width(), boxHeight);
    int top = (page.Height() - boxHeight) / 2;
    for (int y = 0; y < boxHeight; ++y) {
        for (int x = 0; x < page.Width(); ++x) expected.At(x, top + y) = box.At(x, y);
    }
    EXPECT_LT(page.MeanDifference(expected), kSamePicture);
}

// The rows of a render that are mostly dark across `width` pixels: the height of a black
// block that is `width` wide.
int BlockRows(const Image& image, int width) {
    int rows = 0;
    for (int y = 0; y < image.Height(); ++y) {
        int dark = 0;
        for (int x = 0; x < image.Width(); ++x) dark += image.At(x, y) < 128 ? 1 : 0;
        rows += dark >= width * 9 / 10 ? 1 : 0;
    }
    return rows;
}

TEST_F(ConverterProgramTest, WebPagesShowTheirPicturesAndTakeThePageOptions) {
    const std::string page = inputs->File("page.html");
    auto convert = [&](const std::string& name, std::vector<std::string> options) {
        std::string pdf = dir.File(name);
        options.push_back(page);
        options.push_back(pdf);
        CommandResult result = RunConverter("wkhtmltopdf", options);
        EXPECT_EQ(result.exitCode, 0) << result.output;
        ExpectGoodPdf(pdf, 1);
        return pdf;
    };
    // Default A4 page; the picture beside the page is loaded: a black block twice as wide as
    // high under the text.
    std::string plain = convert("plain.pdf", {});
    EXPECT_EQ(PageText(plain, 1), "Velmora web page");
    Image render = RenderPage(plain, 1, 72);
    DarkBounds normal = FindDarkBounds(render);
    int blockWidth = normal.right - normal.left + 1;
    EXPECT_NEAR(BlockRows(render, blockWidth), blockWidth / 2, 2);

    // A zoom of 2 makes the content twice as large.
    DarkBounds large =
        FindDarkBounds(RenderPage(convert("zoomed.pdf", {"--zoom", "2.000000"}), 1, 72));
    EXPECT_NEAR(static_cast<double>(large.right - large.left + 1) / blockWidth, 2.0, 0.05);

    // Page size and margins as asked: the content moves in by the margins.
    std::string sized =
        convert("sized.pdf", {"--page-width", "100.000000", "--page-height", "150.000000"});
    std::string margins =
        convert("margins.pdf", {"--margin-bottom", "20.000000", "--margin-top", "20.000000",
                                "--margin-left", "20.000000", "--margin-right", "20.000000",
                                "--page-width", "100.000000", "--page-height", "150.000000"});
    for (const std::string& pdf : {sized, margins}) ExpectPageSize(pdf, 1, 283.46, 425.2);
    DarkBounds unmoved = FindDarkBounds(RenderPage(sized, 1, 72));
    DarkBounds moved = FindDarkBounds(RenderPage(margins, 1, 72));
    EXPECT_NEAR(moved.left - unmoved.left, 20 / 25.4 * 72, 2);
    EXPECT_NEAR(moved.top - unmoved.top, 20 / 25.4 * 72, 2);
}

TEST_F(ConverterProgramTest, MacrosNeverRun) {
    std::string pdf = dir.File("macro.pdf");
    CommandResult result = RunConverter("quillet", {"-i" + inputs->File("macro.odt"), "-o" + pdf});
    ASSERT_EQ(result.exitCode, 0) << result.output;
    ExpectGoodPdf(pdf, 1);
    EXPECT_FALSE(std::filesystem::exists(inputs->File("macro-ran")));
}

TEST_F(ConverterProgramTest, EndingAConverterEndsItsLibreOfficeAndLeavesNothing) {
    // The converter in a process group of its own, ended as the desktop program ends a
    // cancelled or timed-out one: SIGTERM to the group, SIGKILL to what is left. It is ended
    // once its LibreOffice runs (a fast machine converts the document in about a second).
    std::string pdf = dir.File("ended.pdf");
    std::string converter =
        ConverterCommand("quillet", {"-i" + inputs->File("three-pages.docx"), "-o" + pdf});
    std::string temporary = std::getenv("TMPDIR");
    std::string officeRuns =
        "pgrep -f " + ShellQuote("[U]serInstallation=file://" + temporary + "/velmora-");
    CommandResult ended = testing_support::Run(
        "setsid " + converter + " & pid=$!; " + "for i in $(seq 6000); do " + officeRuns +
        " >/dev/null && break; " + "kill -0 $pid 2>/dev/null || break; sleep 0.02; done; " +
        officeRuns +
        " >/dev/null && echo office-started; /bin/kill -TERM -- -$pid; "
        "for i in $(seq 300); do kill -0 $pid 2>/dev/null || break; sleep 0.1; done; "
        "/bin/kill -KILL -- -$pid 2>/dev/null; wait $pid; echo status=$?");
    ASSERT_NE(ended.output.find("office-started"), std::string::npos) << ended.output;
    EXPECT_EQ(ended.output.find("status=0"), std::string::npos) << ended.output;
    EXPECT_FALSE(std::filesystem::exists(pdf));
    // (The bracket keeps the pattern from matching the shell that runs pgrep.)
    CommandResult office =
        testing_support::Run("pgrep -f " + ShellQuote(temporary + "/[v]elmora-"));
    EXPECT_NE(office.exitCode, 0) << "still running: " << office.output;
    ExpectNoConverterLeftovers();
}

TEST_F(ConverterProgramTest, AFirstConversionWaitsForLibreOfficeToStartAgainOnItsNewProfile) {
    // No template yet: the office program, started directly, sets the fresh profile up and
    // ends asking to be started again; the converter starts it again and converts.
    std::string cache = dir.File("fresh-cache");
    std::string pdf = dir.File("fresh.pdf");
    CommandResult result = testing_support::Run(
        "XDG_CACHE_HOME=" + ShellQuote(cache) + " " +
        ConverterCommand("quillet", {"-i" + inputs->File("three-pages.docx"), "-o" + pdf}));
    ASSERT_EQ(result.exitCode, 0) << result.output;
    ExpectGoodPdf(pdf, 3);
    EXPECT_FALSE(std::filesystem::is_empty(cache + "/velmora/office-profiles"));
    ExpectNoConverterLeftovers();
}

TEST_F(ConverterProgramTest, AStartedProfileIsKeptAsATemplateThatDecidesNoSetting) {
    // LibreOffice through a front that lists the profile it is started with and its settings,
    // and fails at once on a profile holding a file named "marker"; the user's cache folder in
    // the test's folder.
    std::string cache = dir.File("cache");
    std::string listing = dir.File("profiles");
    std::string front = dir.File("soffice");
    WriteProgram(front,
                 "#!/bin/sh\nfor a in \"$@\"; do case \"$a\" in "
                 "-env:UserInstallation=file://*) u=\"${a#*file://}/user\"; ls -a \"$u\"; "
                 "cat \"$u\"/registrymodifications.xcu; [ -e \"$u/marker\" ] && exit 1;; "
                 "esac; done >> " +
                     ShellQuote(listing) + "\nexec soffice \"$@\"\n");
    auto convert = [&](const std::string& input, const std::string& pdf) {
        return testing_support::Run("XDG_CACHE_HOME=" + ShellQuote(cache) +
                                    " VELMORA_SOFFICE=" + ShellQuote(front) + " " +
                                    ConverterCommand("quillet", {"-i" + input, "-o" + pdf}));
    };
    CommandResult first = convert(inputs->File("three-pages.docx"), dir.File("first.pdf"));
    ASSERT_EQ(first.exitCode, 0) << first.output;
    ExpectGoodPdf(dir.File("first.pdf"), 3);

    // One private template, without the running office's lock or the settings.
    std::string templates = cache + "/velmora/office-profiles";
    EXPECT_EQ(std::filesystem::status(templates).permissions() & std::filesystem::perms::all,
              std::filesystem::perms::owner_all);
    std::vector<std::filesystem::path> kept;
    for (const auto& entry : std::filesystem::directory_iterator(templates)) kept.push_back(entry);
    ASSERT_EQ(kept.size(), 1u);
    std::filesystem::path user = kept[0] / "user";
    EXPECT_TRUE(std::filesystem::is_directory(user / "extensions"));
    EXPECT_FALSE(std::filesystem::exists(kept[0] / ".lock"));
    EXPECT_FALSE(std::filesystem::exists(user / "registrymodifications.xcu"));

    // A template that says macros may run, holds a pipe that would stall a plain copy and a
    // link out of the profile, and makes LibreOffice fail: the next start takes its plain
    // files and nothing else, then starts again on a fresh profile, kept as the template.
    WriteWholeFile((user / "registrymodifications.xcu").string(),
                   "<?xml version=\"1.0\"?><oor:items xmlns:oor=\"http://openoffice.org/2001/"
                   "registry\"><item oor:path=\"/org.openoffice.Office.Common/Security/Scripting\">"
                   "<prop oor:name=\"MacroSecurityLevel\" oor:op=\"fuse\"><value>0</value></prop>"
                   "</item></oor:items>\n");
    WriteWholeFile((user / "marker").string(), "");
    ASSERT_EQ(mkfifo((user / "pipe").c_str(), 0600), 0);
    std::filesystem::create_directory(dir.File("outside"));
    std::filesystem::create_directory_symlink(dir.File("outside"), user / "gallery-link");
    CommandResult second = convert(inputs->File("macro.odt"), dir.File("second.pdf"));
    ASSERT_EQ(second.exitCode, 0) << second.output;
    ExpectGoodPdf(dir.File("second.pdf"), 1);
    EXPECT_FALSE(std::filesystem::exists(inputs->File("macro-ran")));
    EXPECT_TRUE(std::filesystem::is_empty(dir.File("outside")));
    std::string profiles = ReadWholeFile(listing);
    EXPECT_NE(profiles.find("marker"), std::string::npos) << "no copy:\n" << profiles;
    EXPECT_EQ(profiles.find("<value>0</value>"), std::string::npos) << profiles;
    EXPECT_NE(profiles.rfind("DisableMacrosExecution"), profiles.find("DisableMacrosExecution"));
    EXPECT_EQ(profiles.find("pipe"), std::string::npos) << profiles;
    EXPECT_EQ(profiles.find("gallery-link"), std::string::npos) << profiles;
    EXPECT_TRUE(std::filesystem::is_directory(user / "extensions"));
    EXPECT_FALSE(std::filesystem::exists(user / "marker"));
    ExpectNoConverterLeftovers();
}

// LibreOffice's sockets of our converters in /tmp.
std::set<std::string> OfficeSockets() {
    std::set<std::string> sockets;
    for (const auto& entry : std::filesystem::directory_iterator("/tmp")) {
        std::string name = entry.path().filename().string();
        if (name.starts_with("OSL_PIPE_") && name.find("velmora-office-") != std::string::npos) {
            sockets.insert(entry.path().string());
        }
    }
    return sockets;
}

// True when a process accepts connections on the socket at `path`: an office of another
// conversion still running, not one left behind.
bool SomeoneListens(const std::string& path) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (path.size() >= sizeof(address.sun_path)) return false;
    path.copy(address.sun_path, path.size());
    int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return false;
    bool connected = connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address)) == 0;
    close(fd);
    return connected;
}

// The number of dark pixels (darker than 128) of page 1 rendered at 36 dpi.
int DarkPixels(const std::string& pdf) {
    Image page = RenderPage(pdf, 1, 36);
    int dark = 0;
    for (int y = 0; y < page.Height(); ++y) {
        for (int x = 0; x < page.Width(); ++x) dark += page.At(x, y) < 128 ? 1 : 0;
    }
    return dark;
}

TEST_F(ConverterProgramTest, AWebPageReadsOnlyItsOwnFolderReachesNoHostAndRunsNoScript) {
    // The page's folder holds its own picture; a secret lies beside that folder; a picture
    // waits on a web server; a script would write a word into the page.
    ScratchDir web;
    MustRun("convert -size 200x200 xc:black " + ShellQuote(web.File("remote.png")));
    LocalWebServer server(web.Path());
    std::string page = dir.File("page/-page.html");
    std::filesystem::create_directories(dir.File("page"));
    std::filesystem::copy_file(inputs->File("web picture.png"), dir.File("page/own.png"));
    WriteWholeFile(dir.File("secret.txt"), "VELMORASECRET\n");
    WriteWholeFile(page,
                   "<html><body><p>Velmora web page</p>"
                   "<img src='own.png' width='200' height='100'>"
                   "<img src='" +
                       server.Url("remote.png") +
                       "' width='200' height='200'>"
                       "<iframe src='file://" +
                       dir.File("secret.txt") +
                       "'></iframe>"
                       "<iframe src='../secret.txt'></iframe>"
                       "<script>document.write('SCRIPTRAN');</script></body></html>\n");
    std::string pdf = dir.File("page.pdf");
    CommandResult result = RunConverter("wkhtmltopdf", {"--", page, pdf});
    ASSERT_EQ(result.exitCode, 0) << result.output;
    ExpectGoodPdf(pdf, 1);
    std::string text = PageText(pdf, 1);
    EXPECT_NE(text.find("Velmora web page"), std::string::npos) << text;
    EXPECT_EQ(text.find("VELMORASECRET"), std::string::npos) << text;
    EXPECT_EQ(text.find("SCRIPTRAN"), std::string::npos) << text;
    EXPECT_EQ(server.Requests(), "");
    // The page's own picture is there (the text alone darkens a few dozen pixels).
    EXPECT_GT(DarkPixels(pdf), 500);

    // The setting that lets page scripts run: still no host is reached, not even by a
    // WebSocket, which takes no proxy.
    std::string scripted = dir.File("page/scripted.html");
    WriteWholeFile(scripted, "<p>Velmora scripted page</p><script>new WebSocket('ws://" +
                                 server.Url("websocket").substr(7) +
                                 "');document.write('SCRIPTRAN');</script>");
    result = RunConverter("wkhtmltopdf", {"--enable-javascript", "--", scripted, pdf});
    ASSERT_EQ(result.exitCode, 0) << result.output;
    EXPECT_NE(PageText(pdf, 1).find("SCRIPTRAN"), std::string::npos);
    EXPECT_EQ(server.Requests(), "");
    // Where no network namespace can be made (here: no unshare on PATH), scripts are refused.
    ScratchDir bare;
    std::filesystem::create_symlink("/usr/bin/wkhtmltopdf", bare.File("wkhtmltopdf"));
    result = testing_support::Run(
        "PATH=" + ShellQuote(bare.Path()) + " " +
        ConverterCommand("wkhtmltopdf", {"--enable-javascript", "--", scripted, pdf}));
    ASSERT_EQ(result.exitCode, 0) << result.output;
    EXPECT_NE(result.output.find("page scripts are not run: unshare"), std::string::npos)
        << result.output;
    EXPECT_EQ(PageText(pdf, 1).find("SCRIPTRAN"), std::string::npos);
    EXPECT_EQ(server.Requests(), "");

    // A web address as the input is fetched once, before the page is converted from the copy
    // (which then reads no local file).
    WriteWholeFile(web.File("hello.html"), "<p>Velmora from the web</p><iframe src='file://" +
                                               dir.File("secret.txt") + "'></iframe>");
    result = RunConverter("wkhtmltopdf", {"--", server.Url("hello.html"), pdf});
    ASSERT_EQ(result.exitCode, 0) << result.output;
    text = PageText(pdf, 1);
    EXPECT_NE(text.find("Velmora from the web"), std::string::npos) << text;
    EXPECT_EQ(text.find("VELMORASECRET"), std::string::npos) << text;
    EXPECT_EQ(server.Requests(), "GET /hello.html\n");
    ExpectNoConverterLeftovers();
}

TEST_F(ConverterProgramTest, AnOfficeDocumentFetchesNoLinkedPicture) {
    // Pictures linked (not embedded) to a web address and to a file outside the document's
    // folder: neither may be read.
    ScratchDir web;
    MustRun("convert -size 200x200 xc:black " + ShellQuote(web.File("remote.png")));
    LocalWebServer server(web.Path());
    std::filesystem::create_directories(dir.File("doc"));
    MustRun("convert -size 200x200 xc:black " + ShellQuote(dir.File("secret.png")));
    std::string odt = dir.File("doc/linked.odt");
    MustRun("/usr/bin/python3 " + ShellQuote(SourceDir() + "/tools/tests/make_linked_document.py") +
            " " + ShellQuote(odt) + " " + ShellQuote(server.Url("remote.png")) + " " +
            ShellQuote("file://" + dir.File("secret.png")));
    // The same words without pictures, for comparison.
    std::string plain = dir.File("doc/plain.odt");
    MustRun("/usr/bin/python3 " + ShellQuote(SourceDir() + "/tools/tests/make_linked_document.py") +
            " " + ShellQuote(plain));
    std::string pdf = dir.File("linked.pdf");
    std::string plainPdf = dir.File("plain.pdf");
    CommandResult result = RunConverter("quillet", {"-i" + odt, "-o" + pdf});
    ASSERT_EQ(result.exitCode, 0) << result.output;
    ASSERT_EQ(RunConverter("quillet", {"-i" + plain, "-o" + plainPdf}).exitCode, 0);
    ExpectGoodPdf(pdf, 1);
    EXPECT_NE(PageText(pdf, 1).find("Velmora linked document"), std::string::npos);
    // An 8 cm black picture would darken some 12,000 pixels at 36 dpi.
    EXPECT_NEAR(DarkPixels(pdf), DarkPixels(plainPdf), 100) << "a linked picture was drawn";
    EXPECT_EQ(server.Requests(), "");
    ExpectNoConverterLeftovers();
}

TEST_F(ConverterProgramTest, EmbeddedPicturesKeepTheirResolution) {
    // Two pictures far above 300 dpi, shown 8 cm wide: a 2400-pixel photo keeps its own
    // bytes, a 3000-pixel drawing (stored without loss, which is smaller) every pixel.
    std::string photo = dir.File("photo.jpg");
    std::string drawing = dir.File("drawing.png");
    MustRun("convert -size 2400x2400 plasma:fractal -quality 85 " + ShellQuote(photo));
    MustRun(
        "convert -size 3000x3000 xc:white -fill black -draw 'rectangle 100,100 1500,400' "
        "-draw 'line 0,2999 2999,0' PNG24:" +
        ShellQuote(drawing));
    std::string odt = dir.File("pictures.odt");
    MustRun("/usr/bin/python3 " + ShellQuote(SourceDir() + "/tools/tests/make_linked_document.py") +
            " " + ShellQuote(odt) + " " + ShellQuote("embed:" + photo) + " " +
            ShellQuote("embed:" + drawing));
    std::string pdf = dir.File("pictures.pdf");
    CommandResult result = RunConverter("quillet", {"-i" + odt, "-o" + pdf});
    ASSERT_EQ(result.exitCode, 0) << result.output;
    ExpectGoodPdf(pdf, 1);
    std::filesystem::create_directories(dir.File("out"));
    MustRun("pdfimages -all " + ShellQuote(pdf) + " " + ShellQuote(dir.File("out/picture")));
    EXPECT_TRUE(ReadWholeFile(dir.File("out/picture-000.jpg")) == ReadWholeFile(photo))
        << "the photo was encoded anew";
    ASSERT_TRUE(std::filesystem::exists(dir.File("out/picture-001.png")));
    CommandResult differing =
        testing_support::Run("compare -metric AE " + ShellQuote(dir.File("out/picture-001.png")) +
                             " " + ShellQuote(drawing) + " null:");
    EXPECT_EQ(differing.output, "0") << "pixels that differ";
}

TEST_F(ConverterProgramTest, NoDocumentIncludesALocalFileWhateverItsName) {
    // A black picture beside the documents and one in a folder of their own; the documents
    // name them by file: address, absolute path and relative path.
    std::filesystem::create_directories(dir.File("elsewhere"));
    MustRun("convert -size 300x300 xc:black " + ShellQuote(dir.File("secret.png")));
    std::filesystem::copy_file(dir.File("secret.png"), dir.File("elsewhere/secret.png"));
    const std::string rtf =
        "{\\rtf1\\ansi{\\fonttbl{\\f0 Helvetica;}}\\pard Velmora include test\\par\n"
        "{\\field{\\*\\fldinst INCLUDEPICTURE \"file://" +
        dir.File("elsewhere/secret.png") +
        "\" \\\\d}{\\fldrslt }}\\par\n"
        "{\\field{\\*\\fldinst INCLUDEPICTURE \"" +
        dir.File("elsewhere/secret.png") +
        "\"}{\\fldrslt }}\\par\n"
        "{\\field{\\*\\fldinst \\'49NCLUDEPICTURE \"secret.png\"}{\\fldrslt }}\\par\n"
        "{\\field{\\*\\fldinst {\\b INCLUDEPICTURE} \"secret.png\"}{\\fldrslt }}\\par\n"
        "Page {\\field{\\*\\fldinst PAGE}{\\fldrslt 1}}\\par}\n";
    MustRun("/usr/bin/python3 " + ShellQuote(SourceDir() + "/tools/tests/make_linked_document.py") +
            " " + ShellQuote(dir.File("linked.ods")) + " " +
            ShellQuote("file://" + dir.File("elsewhere/secret.png")) + " ../secret.png");
    // The same RTF under every name a word processor file may have.
    for (const char* name : {"include.rtf", "include.docx", "include.doc", "include.odt"}) {
        SCOPED_TRACE(name);
        WriteWholeFile(dir.File(name), rtf);
        std::string pdf = dir.File(std::string(name) + ".pdf");
        CommandResult result = RunConverter("quillet", {"-i" + dir.File(name), "-o" + pdf});
        ASSERT_EQ(result.exitCode, 0) << result.output;
        ExpectGoodPdf(pdf, 1);
        std::string text = PageText(pdf, 1);
        EXPECT_NE(text.find("Velmora include test"), std::string::npos) << text;
        EXPECT_NE(text.find("Page 1"), std::string::npos) << text;  // a safe field stays
        // One 300-pixel black picture would darken some 12,000 pixels at 36 dpi.
        EXPECT_LT(DarkPixels(pdf), 1000) << "a local picture was drawn";
    }
    std::string sheetPdf = dir.File("linked.ods.pdf");
    CommandResult result = RunConverter("brannock", {dir.File("linked.ods"), sheetPdf});
    ASSERT_EQ(result.exitCode, 0) << result.output;
    EXPECT_NE(PageText(sheetPdf, 1).find("Velmora linked document"), std::string::npos);
    EXPECT_LT(DarkPixels(sheetPdf), 1000) << "a local picture was drawn";
    // A drawing that points at a local picture, named as a metafile, is no metafile.
    std::string svg = dir.File("drawing.emf");
    WriteWholeFile(svg,
                   "<svg xmlns='http://www.w3.org/2000/svg' width='400' height='400'>"
                   "<image width='400' height='400' href='file://" +
                       dir.File("secret.png") + "'/></svg>\n");
    std::string svgPdf = dir.File("drawing.pdf");
    result = RunConverter("pictavo", {"-i" + svg, "-o" + svgPdf});
    EXPECT_NE(result.exitCode, 0);
    EXPECT_NE(result.output.find("is not a Windows metafile"), std::string::npos) << result.output;
    EXPECT_FALSE(std::filesystem::exists(svgPdf));
    ExpectNoConverterLeftovers();
}

TEST_F(ConverterProgramTest, ADocumentThatUnpacksWithoutEndIsStoppedByTheMemoryLimit) {
    // document.xml of 200 MB of paragraphs in a .docx of well under a megabyte.
    std::string bomb = dir.File("bomb.docx");
    MustRun("/usr/bin/python3 " + ShellQuote(SourceDir() + "/tools/tests/make_bomb_docx.py") + " " +
            ShellQuote(bomb) + " 200");
    ASSERT_LT(std::filesystem::file_size(bomb), 1u << 20);
    std::string pdf = dir.File("bomb.pdf");
    platform::RunOptions options;
    options.addressSpaceLimit = uint64_t{1} << 30;
    options.privateTemporaryFolder = true;
    options.timeout = std::chrono::minutes(10);
    std::string said = dir.File("stderr");
    std::set<std::string> socketsBefore = OfficeSockets();
    auto start = std::chrono::steady_clock::now();
    platform::RunResult run = platform::RunAndWait(
        "sh",
        std::vector<std::string>{"-c", "f=$1; shift; exec \"$@\" 2>\"$f\"", "sh", said,
                                 BuildDir() + "/bin/quillet", "-i" + bomb, "-o" + pdf},
        options);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::minutes(10));
    EXPECT_EQ(run.outcome, platform::RunOutcome::Exited);
    EXPECT_EQ(run.exitCode, 3);
    EXPECT_NE(ReadWholeFile(said).find(
                  "quillet: stopped: the conversion needs more memory than it may use (1024 MiB)"),
              std::string::npos)
        << ReadWholeFile(said);
    EXPECT_FALSE(std::filesystem::exists(pdf));
    // LibreOffice's sockets, which it makes in /tmp whatever TMPDIR says, are gone too.
    // Conversions of other tests may run meanwhile: only a new socket that nobody listens on
    // was left behind.
    for (const std::string& socket : OfficeSockets()) {
        EXPECT_TRUE(socketsBefore.count(socket) || SomeoneListens(socket))
            << "left behind: " << socket;
    }
    CommandResult office = testing_support::Run(
        "pgrep -f " + ShellQuote(std::string(std::getenv("TMPDIR")) + "/[v]elmora-run-"));
    EXPECT_NE(office.exitCode, 0) << "still running: " << office.output;
    ExpectNoConverterLeftovers();
}

TEST_F(ConverterProgramTest, FailuresEndNonZeroWithAReasonAndNoOutput) {
    std::string pdf = dir.File("out.pdf");
    auto expectFailure = [&](const std::string& program, const std::vector<std::string>& args,
                             const std::string& reason, const std::string& environment = "") {
        WriteWholeFile(pdf, "an old output that must not pass for the result");
        CommandResult result = testing_support::Run(environment + ConverterCommand(program, args));
        EXPECT_NE(result.exitCode, 0) << program;
        EXPECT_NE(result.output.find(reason), std::string::npos) << result.output;
        EXPECT_FALSE(std::filesystem::exists(pdf)) << program;
    };
    // A damaged .docx is refused through the desktop program.
    expectFailure("quillet", {"-i" + dir.File("missing.docx"), "-o" + pdf}, "Cannot read");
    expectFailure("brannock", {inputs->File("sheet.xlsx"), pdf}, "not installed",
                  "VELMORA_SOFFICE=/nonexistent/soffice ");
    std::string damagedPng = dir.File("damaged.png");
    WriteWholeFile(damagedPng, ReadWholeFile(inputs->File("transparent.png")).substr(0, 100));
    expectFailure("pictavo", {"-i" + damagedPng, "-o" + pdf}, "pictavo: Cannot read image");
    expectFailure("wkhtmltopdf", {dir.File("missing.html"), pdf}, "Cannot read");
    expectFailure("wkhtmltopdf", {inputs->File("page.html"), pdf}, "not installed",
                  "PATH=/nonexistent ");
    ExpectNoConverterLeftovers();
}

TEST_F(ConverterProgramTest, ChildProcessesStartedFromAnEndedThreadAreFound) {
    // LibreOffice's launcher starts the office process from a thread of its own, which may
    // end before the office process does.
    const char* check =
        "import subprocess, sys, velmora_office\n"
        "launcher = subprocess.Popen([sys.executable, '-c', 'import subprocess, threading, time\\n"
        "t = threading.Thread(target=lambda: subprocess.Popen([\"sleep\", \"60\"]))\\n"
        "t.start(); t.join(); print(flush=True); time.sleep(60)'], stdout=subprocess.PIPE)\n"
        "launcher.stdout.readline()\n"
        "found = velmora_office.child_pids(launcher.pid)\n"
        "print(len(found), found == velmora_office.scanned_child_pids(launcher.pid))\n"
        "for pid in found + [launcher.pid]: velmora_office.os.kill(pid, 9)\n"
        "launcher.wait()\n"
        "print(velmora_office.child_pids(launcher.pid))\n";
    CommandResult result = RunWithModules(check);
    EXPECT_EQ(result.output, "1 True\n[]\n");
}

// The settings read from a LibreOffice installation's registry: its version, and the Word and
// Excel filters' own flags less the signature support, for each registry as it may be found.
TEST_F(ConverterProgramTest, InstallationSettingsComeFromTheRegistryAsFound) {
    const char* check =
        "import os, sys, tempfile, office_profile\n"
        "os.environ['PATH'] = ''  # no soffice on PATH to fall back on\n"
        "main = b'<prop oor:name=\"ooSetupVersion\">\\n <value>7.4</value></prop>'\n"
        "def node(name, flags):\n"
        "    return (b'<node oor:name=\"%s\" oor:op=\"replace\"><prop oor:name=\"Flags\">\\n'\n"
        "            b'  <value>%s</value></prop></node>' % (name, flags))\n"
        "word, excel = b'MS Word 2007 XML', b'Calc MS Excel 2007 XML'\n"
        "cases = [\n"
        "    ('signing', main, node(word, b'IMPORT ALIEN SUPPORTSSIGNING'),\n"
        "     node(excel, b'SUPPORTSSIGNING IMPORT')),\n"
        "    ('unsigned', main, node(word, b'IMPORT ALIEN'), b''),\n"
        "    ('flags of the next filter', main,\n"
        "     b'<node oor:name=\"MS Word 2007 XML\" oor:op=\"replace\"></node>'\n"
        "     + node(b'Other', b'IMPORT SUPPORTSSIGNING'), None),\n"
        "    ('no version', b'<oor:data/>', node(word, b'IMPORT SUPPORTSSIGNING'), None),\n"
        "]\n"
        "def settings(root, version, writer, calc):\n"
        "    os.makedirs(root + '/program'); os.makedirs(root + '/share/registry')\n"
        "    open(root + '/program/soffice', 'w').close()\n"
        "    for file, text in (('main', version), ('writer', writer), ('calc', calc)):\n"
        "        if text is not None:\n"
        "            open('%s/share/registry/%s.xcd' % (root, file), 'wb').write(text)\n"
        "    return office_profile.installation_settings(root + '/program/soffice')\n"
        "for name, *registry in cases:\n"
        "    with tempfile.TemporaryDirectory() as root:\n"
        "        found = settings(root, *registry)\n"
        "    print(name + ':', ' | '.join(value for _, _, _, value in found))\n";
    CommandResult result = RunWithModules(check);
    EXPECT_EQ(result.output,
              "signing: 7.4 | IMPORT ALIEN | IMPORT\n"
              "unsigned: 7.4\n"
              "flags of the next filter: 7.4\n"
              "no version: \n");
}

// File URLs made without the bridge are the bridge's own, for plain and awkward names alike
// (the profile's URL names LibreOffice's socket, so it must match to the character).
TEST_F(ConverterProgramTest, FileUrlsAreTheOnesLibreOfficeMakes) {
    const char* check =
        "import sys, uno, velmora_office\n"
        "names = ['/tmp/velmora-office-aB3_x.~/profile', '/tmp/a b/c%d', '/tmp/\\u00e4,;=@',\n"
        "         '/tmp/-rf', '/tmp/x\\ny', 'relative/name']\n"
        "for name in names:\n"
        "    mine, bridge = velmora_office.file_url(name), uno.systemPathToFileUrl("
        "velmora_office.os.path.abspath(name))\n"
        "    print('same' if mine == bridge else 'differs: %r %r' % (mine, bridge))\n";
    CommandResult result = RunWithModules(check);
    EXPECT_EQ(result.output, "same\nsame\nsame\nsame\nsame\nsame\n");
}

}  // namespace
