#include "tools/tests/ConverterTesting.h"

#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>

#include "testing/RealFiles.h"
#include "testing/Waiting.h"

using namespace testing_support;

namespace converter_testing {

namespace {

void MakePictures(const ScratchDir& dir) {
    const std::string drawing =
        "-size 200x100 xc:white -fill black -draw 'rectangle 10,10 90,90' "
        "-fill '#3060c0' -draw 'circle 150,50 150,90' ";
    const std::string density = "-units PixelsPerInch -density 100 ";
    MustRun("convert " + drawing + density + "-quality 95 " + ShellQuote(dir.File("photo.jpg")));
    MustRun("convert " + drawing + density + "-type TrueColor " +
            ShellQuote(dir.File("bitmap.bmp")));
    MustRun("convert " + drawing + ShellQuote(dir.File("drawing.gif")));
    // Transparent all round, a half-transparent band across the middle.
    MustRun(
        "convert -size 200x100 xc:none -fill black -draw 'rectangle 10,10 90,90' "
        "-fill '#ff000080' -draw 'rectangle 0,40 199,60' " +
        density + ShellQuote("png32:" + dir.File("transparent.png")));
}

void MakeTexts(const ScratchDir& dir) {
    WriteWholeFile(dir.File("greeting.txt"), std::string(kGreeting) + "\n");
    MustRun("convert -size 200x100 xc:black " + ShellQuote(dir.File("web picture.png")));
    WriteWholeFile(dir.File("page.html"),
                   "<html><head><meta charset='utf-8'><title>Velmora</title></head><body>"
                   "<p style='font-size:20px'>Velmora web page</p>"
                   "<img src='web%20picture.png' width='200' height='100'></body></html>\n");
    WriteWholeFile(dir.File("fruit.csv"),
                   "Fruit,Colour,Price\nKumquat,orange,1.25\n\"Crème brûlée\",gold,4.50\n");
}

void MakeOfficeInputs(const ScratchDir& dir) {
    MustRun("/usr/bin/python3 " + ShellQuote(SourceDir() + "/tools/tests/make_office_inputs.py") +
            " " + ShellQuote(BuildDir() + "/bin") + " " + ShellQuote(dir.Path()));
}

}  // namespace

LocalWebServer::LocalWebServer(const std::string& folder) {
    std::string portFile = m_dir.File("port");
    CommandResult started = testing_support::Run(
        "/usr/bin/python3 " + ShellQuote(SourceDir() + "/tools/tests/counting_server.py") + " " +
        ShellQuote(folder) + " " + ShellQuote(portFile) + " " + ShellQuote(m_dir.File("log")) +
        " >/dev/null 2>&1 & echo $!");
    m_pid = std::atoi(started.output.c_str());
    EXPECT_TRUE(WaitUntil([&] { return std::filesystem::exists(portFile); }))
        << "the test web server did not start";
    if (std::filesystem::exists(portFile)) m_port = std::atoi(ReadWholeFile(portFile).c_str());
}

LocalWebServer::~LocalWebServer() {
    if (m_pid > 0) ::kill(m_pid, SIGTERM);
    if (m_pid > 0) WaitUntilGone(m_pid);
}

std::string LocalWebServer::Url(const std::string& path) const {
    return "http://127.0.0.1:" + std::to_string(m_port) + "/" + path;
}

std::string LocalWebServer::Requests() const {
    return ReadWholeFile(m_dir.File("log"));
}

ConverterInputs::ConverterInputs() {
    const char* old = std::getenv("TMPDIR");
    m_oldTemporary = old ? old : "";
    ::setenv("TMPDIR", m_temporary.Path().c_str(), 1);
    MakePictures(m_inputs);
    MakeTexts(m_inputs);
    MakeOfficeInputs(m_inputs);
}

ConverterInputs::~ConverterInputs() {
    if (m_oldTemporary.empty()) {
        ::unsetenv("TMPDIR");
    } else {
        ::setenv("TMPDIR", m_oldTemporary.c_str(), 1);
    }
}

const ConverterInputs& Inputs() {
    static ConverterInputs inputs;
    return inputs;
}

std::string ConverterCommand(const std::string& program,
                             const std::vector<std::string>& arguments) {
    std::string command = ShellQuote(BuildDir() + "/bin/" + program);
    for (const std::string& argument : arguments) command += " " + ShellQuote(argument);
    return command;
}

CommandResult RunConverter(const std::string& program, const std::vector<std::string>& arguments) {
    return Run(ConverterCommand(program, arguments));
}

void ExpectGoodPdf(const std::string& pdf, int pages) {
    std::string report;
    EXPECT_TRUE(QpdfCheck(pdf, &report)) << pdf << "\n" << report;
    EXPECT_EQ(PageCount(pdf), pages) << pdf;
}

void ExpectPageSize(const std::string& pdf, int page, double width, double height) {
    PageSize size = PdfPageSize(pdf, page);
    EXPECT_NEAR(size.width, width, 1.0) << pdf << " page " << page;
    EXPECT_NEAR(size.height, height, 1.0) << pdf << " page " << page;
}

void ExpectNoConverterLeftovers() {
    const char* temporary = std::getenv("TMPDIR");
    ASSERT_NE(temporary, nullptr);
    for (const auto& entry : std::filesystem::directory_iterator(temporary)) {
        EXPECT_NE(entry.path().filename().string().rfind("velmora-", 0), 0u) << entry.path();
    }
}

DarkBounds FindDarkBounds(const Image& image) {
    DarkBounds bounds{image.Width(), image.Height(), -1, -1};
    for (int y = 0; y < image.Height(); ++y) {
        for (int x = 0; x < image.Width(); ++x) {
            if (image.At(x, y) >= 128) continue;
            bounds.left = std::min(bounds.left, x);
            bounds.top = std::min(bounds.top, y);
            bounds.right = std::max(bounds.right, x);
            bounds.bottom = std::max(bounds.bottom, y);
        }
    }
    return bounds;
}

Image HalfBlackBox(int width, int height) {
    Image box(width, height);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width / 2; ++x) box.At(x, y) = 0;
    }
    return box;
}

}  // namespace converter_testing
