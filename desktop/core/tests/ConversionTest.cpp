#include "desktop/core/Conversion.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>

#include "desktop/core/OutsidePrograms.h"
#include "testing/Scratch.h"

namespace desktop {
namespace {

using testing_support::ReadWholeFile;
using testing_support::ScratchDir;
using testing_support::WriteWholeFile;

ConversionSettings Settings(const std::function<void(ConversionSettings&)>& change = {}) {
    ConversionSettings settings;
    if (change) change(settings);
    return settings;
}

ConversionSettings EverySettingChanged() {
    return Settings([](ConversionSettings& s) {
        s.htm = 0, s.jpeg = 0, s.tiff = 0, s.txt = 0, s.word = 0, s.excel = 0;
        s.pdfDir = "/home/u/pdf copies";
        s.htmlWidth = 215.9, s.htmlHeight = 279.4, s.htmlMargins = 12.5, s.htmlZoom = 50;
        s.imageWidth = 595, s.imageHeight = 842, s.imageStretchToPage = 1;
        s.imageFitToPage = 1, s.imageAutoRotate = 1;
        s.tiffWidth = 612, s.tiffHeight = 792, s.tiffStretchToPage = 1, s.tiffFitToPage = 1;
        s.tiffAutoRotate = 1;
        s.txtWidth = 420, s.txtHeight = 595, s.docWidth = 842, s.docHeight = 1190;
        s.htmlJavaScript = 1;
    });
}

TEST(ConversionIniTest, DefaultsWriteOneLinePerKeyInOrder) {
    EXPECT_EQ(ConversionIniText(ConversionSettings{}),
              "HTM;1\nJPEG;1\nTIFF;1\nTXT;1\nWORD;1\nEXCEL;1\nPDFDIR;\nHTMLWIDTH;0\n"
              "HTMLHEIGHT;0\nHTMLMARGINS;0\nHTMLZOOM;100\nIMAGEWIDTH;0\nIMAGEHEIGHT;0\n"
              "IMAGESTRETCHTOPAGE;0\nIMAGEFITTOPAGE;0\nIMAGEAUTOROTATE;0\nTIFFWIDTH;0\n"
              "TIFFHEIGHT;0\nTIFFSTRETCHTOPAGE;0\nTIFFFITTOPAGE;0\nTIFFAUTOROTATE;0\n"
              "TXTWIDTH;0\nTXTHEIGHT;0\nDOCWIDTH;0\nDOCHEIGHT;0\nHTMLJAVASCRIPT;0\n");
}

TEST(ConversionIniTest, PageScriptsAreOffUnlessTheFileTurnsThemOn) {
    // A file written before the key existed loads as it did, with page scripts off.
    ConversionSettings settings;
    ParseConversionIni("HTM;1\nHTMLZOOM;50\nDOCHEIGHT;842\n", settings);
    EXPECT_EQ(settings.htmlJavaScript, 0);
    EXPECT_EQ(settings.docHeight, 842);
    ParseConversionIni("HTMLJAVASCRIPT;1\n", settings);
    EXPECT_EQ(settings.htmlJavaScript, 1);
}

TEST(ConversionIniTest, EverySettingSurvivesAWriteAndARead) {
    ScratchDir scratch;
    std::string path = scratch.File("conversion.ini");
    ASSERT_TRUE(WriteConversionIni(path, EverySettingChanged()));
    std::string bytes = ReadWholeFile(path);
    EXPECT_NE(bytes.find("\r\nHTMLWIDTH;215.9\r\nHTMLHEIGHT;279.4\r\nHTMLMARGINS;12.5\r\n"
                         "HTMLZOOM;50\r\n"),
              std::string::npos);
    ConversionSettings read;
    ASSERT_TRUE(ReadConversionIni(path, read));
    EXPECT_EQ(read, EverySettingChanged());
}

TEST(ConversionIniTest, ReadingStartsFromTheDefaults) {
    ConversionSettings settings = EverySettingChanged();
    ParseConversionIni("HTMLZOOM;75.5\nhtmlwidth;3\nTXTWIDTH; 12x\nDOCWIDTH\n", settings);
    EXPECT_EQ(settings,
              Settings([](ConversionSettings& s) { s.htmlZoom = 75.5, s.txtWidth = 12; }));

    ParseConversionIni("HTMLWIDTH;1e2\nHTMLHEIGHT;abc\nHTMLMARGINS;nan\nHTMLZOOM;inf\n", settings);
    EXPECT_EQ(settings.htmlWidth, 100);
    EXPECT_EQ(settings.htmlHeight, 0);
    EXPECT_EQ(settings.htmlMargins, 0);
    EXPECT_EQ(settings.htmlZoom, 0);

    // A folder name too long to keep is refused whole; the lines after it still count.
    std::vector<std::string> refused =
        ParseConversionIni("PDFDIR;/" + std::string(260, 'd') + "\r\nHTMLZOOM;50\r\n", settings);
    EXPECT_EQ(settings.pdfDir, "");
    EXPECT_EQ(settings.htmlZoom, 50);
    EXPECT_EQ(refused, (std::vector<std::string>{"conversion.ini, line 1: the value of PDFDIR is "
                                                 "longer than 254 characters and was not taken"}));

    ScratchDir scratch;
    settings = EverySettingChanged();
    EXPECT_FALSE(ReadConversionIni(scratch.File("missing.ini"), settings));
    EXPECT_EQ(settings, ConversionSettings{});
}

TEST(ConversionIniTest, AFileThatCannotBeWrittenIsReported) {
    ScratchDir scratch;
    EXPECT_FALSE(WriteConversionIni(scratch.File("none/conversion.ini"), ConversionSettings{}));
    EXPECT_FALSE(WriteConversionIni(scratch.Path(), ConversionSettings{}));
}

TEST(ConversionIniTest, RealsUseTheShortStreamForm) {
    std::string text = ConversionIniText(Settings([](ConversionSettings& s) {
        s.htmlWidth = 0.5, s.htmlHeight = 1234567, s.htmlZoom = 33.333333333;
    }));
    EXPECT_NE(text.find("HTMLWIDTH;0.5\nHTMLHEIGHT;1.23457e+06\n"), std::string::npos);
    EXPECT_NE(text.find("HTMLZOOM;33.3333\n"), std::string::npos);
}

struct NameCase {
    const char* name;
    bool converts;
};

TEST(NeedsConversionTest, NamesOfEveryKind) {
    const NameCase cases[] = {
        {"report.HTM", true},
        {"page.html", true},
        {"page.xhtml", true},
        {"photo.JPEG", true},
        {"photo.jpg", true},
        {"a.bmp", true},
        {"a.PNG", true},
        {"a.gif", true},
        {"a.wmf", true},
        {"a.emf", true},
        {"scan.tif", true},
        {"scan.TIFF", true},
        {"notes.txt", true},
        {"notes.text", true},
        {"a.doc", true},
        {"a.docx", true},
        {"a.docm", true},
        {"a.rtf", true},
        {"a.odt", true},
        {"b.csv", true},
        {"b.xls", true},
        {"b.xlsx", true},
        {"b.xlsm", true},
        {"b.ods", true},
        {"a.pdf", false},
        {"a.odp", false},
        {"a.asp", false},
        {"", false},
        {"txt", false},
        {"/dir.htm/file", false},
        {"ftp://x.org/a.html", true},
    };
    for (const NameCase& c : cases) {
        EXPECT_EQ(NeedsConversion(ConversionExtension(c.name), c.name, ConversionKind::Any),
                  c.converts)
            << c.name;
    }
}

TEST(NeedsConversionTest, WebAddressesFollowTheUrlRule) {
    const NameCase cases[] = {
        {"http://example.com/", true},
        {"https://example.com", true},
        {"HTTPS://Example.COM/Index.HTML", true},
        {"http://x.org/a.asp", true},
        {"http://x.org/a.aspx", true},
        {"http://x.org/a.php", true},
        {"http://x.org/news", true},
        {"http://x.org/report.pdf", false},
        {"HTTP://X.ORG/REPORT.PDF", false},
        {"http://x.org/a.pdfx", false},
        {"http://x.org/a.docx", false},
        {"http://x.org/a.jpeg", false},
        {"http://x.org/a.psd", false},
        {"http://x.org/a.tar.gz", false},
        {"http://x.org/a.7z", false},
        {"http://x.org/a.rar", false},
        {"http://x.org/link.url", false},
        {"http://x.org/a.txt", false},
        // With a query, the part before the last "?" decides.
        {"http://x.org/page.php?id=3", true},
        {"http://x.org/search?q=1", true},
        {"http://x.org/file.pdf?dl=1", false},
        {"http://x.org/a.doc?x=1?y=2", true},
        {"http://x.org/b?x=a.doc?y", false},
        // An ending wins over the query.
        {"http://x.org/get?f=a.zip", false},
        {"http://x.org/get?f=a.htm", true},
        // A "?" before position 6 is no query.
        {"http:?a", true},
        {"https:", true},
    };
    for (const NameCase& c : cases) {
        EXPECT_EQ(NeedsConversion(ConversionExtension(c.name), c.name, ConversionKind::Any),
                  c.converts)
            << c.name;
        EXPECT_EQ(NeedsConversion(ConversionExtension(c.name), c.name, ConversionKind::WebPage),
                  c.converts)
            << c.name;
    }
}

TEST(NeedsConversionTest, AParticularKindTestsOnlyItsList) {
    EXPECT_TRUE(NeedsConversion(".jpg", "a.jpg", ConversionKind::Image));
    EXPECT_FALSE(NeedsConversion(".jpg", "a.jpg", ConversionKind::Tiff));
    EXPECT_FALSE(NeedsConversion(".htm", "a.htm", ConversionKind::Text));
    EXPECT_TRUE(NeedsConversion("xlsx", "a.xlsx", ConversionKind::Spreadsheet));
    // A web address is a web page or nothing.
    EXPECT_FALSE(NeedsConversion(".jpg", "http://x.org/a.jpg", ConversionKind::Image));
    EXPECT_FALSE(NeedsConversion(".htm", "http://x.org/a.htm", ConversionKind::Image));
    EXPECT_TRUE(NeedsConversion(".htm", "http://x.org/a.htm", ConversionKind::WebPage));
}

struct PlanCase {
    const char* name;
    std::string input;
    ConversionSettings settings;
    std::string program;
    std::string parameters;
    std::vector<std::string> arguments;
    friend void PrintTo(const PlanCase& c, std::ostream* out) { *out << c.name; }
};

class PlanConversionTest : public ::testing::TestWithParam<PlanCase> {};

TEST_P(PlanConversionTest, BuildsTheConverterCall) {
    const PlanCase& c = GetParam();
    std::optional<ConversionPlan> plan = PlanConversion(c.input, c.settings, "/tmp/v/");
    ASSERT_TRUE(plan);
    EXPECT_EQ(plan->call.program, c.program);
    EXPECT_EQ(plan->call.parameters, c.parameters);
    EXPECT_EQ(plan->call.arguments, c.arguments);
    // The output is the temporary folder, the input's title and ".pdf".
    EXPECT_TRUE(plan->outputName.starts_with("/tmp/v/") && plan->outputName.ends_with(".pdf"));
    EXPECT_NE(c.parameters.find("\"" + plan->outputName + "\""), std::string::npos);
}

const std::string kHtmIn = "/in/report.HTM";
const std::string kHtmOut = "/tmp/v/report.HTM.pdf";
const std::string kHtmNames = "\"/in/report.HTM\"  \"/tmp/v/report.HTM.pdf\"";

INSTANTIATE_TEST_SUITE_P(
    WebPages, PlanConversionTest,
    ::testing::Values(
        PlanCase{"Plain", kHtmIn, Settings(), "wkhtmltopdf", kHtmNames, {"--", kHtmIn, kHtmOut}},
        PlanCase{"ZoomZeroIsNone",
                 kHtmIn,
                 Settings([](auto& s) { s.htmlZoom = 0; }),
                 "wkhtmltopdf",
                 kHtmNames,
                 {"--", kHtmIn, kHtmOut}},
        PlanCase{"ZoomFifty",
                 kHtmIn,
                 Settings([](auto& s) { s.htmlZoom = 50; }),
                 "wkhtmltopdf",
                 " --zoom 0.500000 " + kHtmNames,
                 {"--zoom", "0.500000", "--", kHtmIn, kHtmOut}},
        PlanCase{
            "PageSize",
            kHtmIn,
            Settings([](auto& s) { s.htmlWidth = 210, s.htmlHeight = 297; }),
            "wkhtmltopdf",
            " --page-width 210.000000 --page-height 297.000000 " + kHtmNames,
            {"--page-width", "210.000000", "--page-height", "297.000000", "--", kHtmIn, kHtmOut}},
        PlanCase{"WidthWithoutHeightIsNoSize",
                 kHtmIn,
                 Settings([](auto& s) { s.htmlWidth = 210; }),
                 "wkhtmltopdf",
                 kHtmNames,
                 {"--", kHtmIn, kHtmOut}},
        PlanCase{"Margins",
                 kHtmIn,
                 Settings([](auto& s) { s.htmlMargins = 10; }),
                 "wkhtmltopdf",
                 " --margin-bottom 10.000000 --margin-top 10.000000 --margin-left 10.000000"
                 " --margin-right 10.000000 " +
                     kHtmNames,
                 {"--margin-bottom", "10.000000", "--margin-top", "10.000000", "--margin-left",
                  "10.000000", "--margin-right", "10.000000", "--", kHtmIn, kHtmOut}},
        PlanCase{"AllThree",
                 kHtmIn,
                 Settings([](auto& s) {
                     s.htmlZoom = 75, s.htmlMargins = 5.5, s.htmlWidth = 215.9;
                     s.htmlHeight = 279.4;
                 }),
                 "wkhtmltopdf",
                 " --zoom 0.750000 --margin-bottom 5.500000 --margin-top 5.500000"
                 " --margin-left 5.500000 --margin-right 5.500000 --page-width 215.900000"
                 " --page-height 279.400000 " +
                     kHtmNames,
                 {"--zoom", "0.750000", "--margin-bottom", "5.500000", "--margin-top", "5.500000",
                  "--margin-left", "5.500000", "--margin-right", "5.500000", "--page-width",
                  "215.900000", "--page-height", "279.400000", "--", kHtmIn, kHtmOut}},
        PlanCase{"WebAddress",
                 "https://x.org/news?id=4",
                 Settings(),
                 "wkhtmltopdf",
                 "\"https://x.org/news?id=4\"  \"/tmp/v/news?id=4.pdf\"",
                 {"--", "https://x.org/news?id=4", "/tmp/v/news?id=4.pdf"}}),
    [](const ::testing::TestParamInfo<PlanCase>& row) { return row.param.name; });

INSTANTIATE_TEST_SUITE_P(
    Documents, PlanConversionTest,
    ::testing::Values(
        PlanCase{"ImageAllZero",
                 "/in/photo.jpg",
                 Settings(),
                 "pictavo",
                 "-i\"/in/photo.jpg\"  -o\"/tmp/v/photo.jpg.pdf\" -w0 -h0 -a0",
                 {"-i/in/photo.jpg", "-o/tmp/v/photo.jpg.pdf", "-w0", "-h0", "-a0"}},
        PlanCase{"ImageFit",
                 "/in/photo.png",
                 Settings([](auto& s) {
                     s.imageWidth = 595, s.imageHeight = 842, s.imageAutoRotate = 1;
                     s.imageFitToPage = 1, s.imageStretchToPage = 1;
                 }),
                 "pictavo",
                 "-i\"/in/photo.png\"  -o\"/tmp/v/photo.png.pdf\" -w595 -h842 -a1 -f1",
                 {"-i/in/photo.png", "-o/tmp/v/photo.png.pdf", "-w595", "-h842", "-a1", "-f1"}},
        PlanCase{"ImageStretch",
                 "/in/photo.gif",
                 Settings([](auto& s) { s.imageStretchToPage = 1, s.imageFitToPage = 2; }),
                 "pictavo",
                 "-i\"/in/photo.gif\"  -o\"/tmp/v/photo.gif.pdf\" -w0 -h0 -a0 -f0",
                 {"-i/in/photo.gif", "-o/tmp/v/photo.gif.pdf", "-w0", "-h0", "-a0", "-f0"}},
        PlanCase{"Tiff",
                 "/in/scan.TIF",
                 Settings([](auto& s) {
                     s.imageWidth = 1, s.tiffWidth = 612, s.tiffHeight = 792;
                     s.tiffAutoRotate = 1, s.tiffStretchToPage = 1;
                 }),
                 "scanvey",
                 "-i\"/in/scan.TIF\"  -o\"/tmp/v/scan.TIF.pdf\" -w612 -h792 -a1 -f0",
                 {"-i/in/scan.TIF", "-o/tmp/v/scan.TIF.pdf", "-w612", "-h792", "-a1", "-f0"}},
        PlanCase{"Text",
                 "/in/notes.txt",
                 Settings([](auto& s) { s.txtWidth = 420, s.txtHeight = 595, s.docWidth = 9; }),
                 "quillet",
                 "-i\"/in/notes.txt\"  -o\"/tmp/v/notes.txt.pdf\" -w420 -h595",
                 {"-i/in/notes.txt", "-o/tmp/v/notes.txt.pdf", "-w420", "-h595"}},
        PlanCase{"WordProcessor",
                 "/in/letter.docx",
                 Settings([](auto& s) { s.docWidth = 842, s.docHeight = -1; }),
                 "quillet",
                 "-i\"/in/letter.docx\"  -o\"/tmp/v/letter.docx.pdf\" -w842 -h-1",
                 {"-i/in/letter.docx", "-o/tmp/v/letter.docx.pdf", "-w842", "-h-1"}},
        PlanCase{"Spreadsheet",
                 "/in/sheet.xlsx",
                 Settings(),
                 "brannock",
                 "\"/in/sheet.xlsx\"  \"/tmp/v/sheet.xlsx.pdf\"",
                 {"--", "/in/sheet.xlsx", "/tmp/v/sheet.xlsx.pdf"}},
        PlanCase{"NameWithQuotesAndBlanksStaysOneArgument",
                 "/in/say \"hi\" $(x).rtf",
                 Settings(),
                 "quillet",
                 "-i\"/in/say \"hi\" $(x).rtf\"  -o\"/tmp/v/say \"hi\" $(x).rtf.pdf\" -w0 -h0",
                 {"-i/in/say \"hi\" $(x).rtf", "-o/tmp/v/say \"hi\" $(x).rtf.pdf", "-w0", "-h0"}}),
    [](const ::testing::TestParamInfo<PlanCase>& row) { return row.param.name; });

TEST(PlanConversionTest, PageScriptsRunOnlyWhenTheSettingsSaySo) {
    std::vector<std::string> off = PlanConversion(kHtmIn, Settings(), "/tmp/v/")->call.arguments;
    EXPECT_EQ(std::count(off.begin(), off.end(), "--enable-javascript"), 0);
    ConversionSettings on = Settings([](auto& s) { s.htmlJavaScript = 1; });
    EXPECT_EQ(PlanConversion(kHtmIn, on, "/tmp/v/")->call.arguments,
              (std::vector<std::string>{"--enable-javascript", "--", kHtmIn, kHtmOut}));
}

TEST(PlanConversionTest, EveryNameReachesTheConverterAsAnAbsolutePath) {
    // Relative names, in a relative temporary folder, that a program would read as options
    // or argument files if they came as they are.
    std::string here = std::filesystem::current_path().string() + "/";
    for (std::string name :
         {"-g.html", "@x.png", "--a.tif", "-sOutputFile=x.txt", "-dNOSAFER.docx", "%d.xlsx"}) {
        SCOPED_TRACE(name);
        std::optional<ConversionPlan> plan = PlanConversion(name, Settings(), "-s%tmp/");
        ASSERT_TRUE(plan);
        std::string input = here + name;
        std::string output = here + "-s%tmp/" + name + ".pdf";
        const std::vector<std::string>& args = plan->call.arguments;
        bool glued = args[0].starts_with("-i");
        if (glued) {
            EXPECT_EQ(args[0], "-i" + input);
            EXPECT_EQ(args[1], "-o" + output);
        } else {
            // The names follow the end-of-options marker.
            ASSERT_GE(args.size(), 3u);
            EXPECT_EQ(std::vector<std::string>(args.end() - 3, args.end()),
                      (std::vector<std::string>{"--", input, output}));
        }
        EXPECT_NE(plan->call.parameters.find("\"" + input + "\""), std::string::npos);
        if (plan->officeRequest) {
            EXPECT_EQ(plan->officeRequest->input, input);
            EXPECT_EQ(plan->officeRequest->output, output);
        }
    }
}

TEST(PlanConversionTest, PdfAndUnknownNamesNeedNoPlan) {
    EXPECT_FALSE(PlanConversion("/in/a.pdf", Settings(), "/tmp/v/"));
    EXPECT_FALSE(PlanConversion("/in/a.odp", Settings(), "/tmp/v/"));
    EXPECT_FALSE(PlanConversion("http://x.org/a.pdf", Settings(), "/tmp/v/"));
}

TEST(PlanConversionTest, OpenDocumentFilesGoToTheOfficeConverters) {
    EXPECT_EQ(PlanConversion("/in/a.odt", Settings(), "/tmp/v/")->call.program, "quillet");
    EXPECT_EQ(PlanConversion("/in/b.ods", Settings(), "/tmp/v/")->call.program, "brannock");
}

TEST(ConversionSwitchTest, EachFlagSwitchesItsOwnKindOnly) {
    struct Flag {
        int ConversionSettings::*member;
        const char* input;
        ConversionKind kind;
    };
    const Flag flags[] = {
        {&ConversionSettings::htm, "page.html", ConversionKind::WebPage},
        {&ConversionSettings::jpeg, "photo.wmf", ConversionKind::Image},
        {&ConversionSettings::tiff, "scan.tif", ConversionKind::Tiff},
        {&ConversionSettings::txt, "notes.txt", ConversionKind::Text},
        {&ConversionSettings::word, "letter.docx", ConversionKind::WordProcessor},
        {&ConversionSettings::excel, "sheet.csv", ConversionKind::Spreadsheet},
    };
    for (const Flag& off : flags) {
        SCOPED_TRACE(off.input);
        EXPECT_EQ(MatchingConversionKind(off.input), off.kind);
        ConversionSettings settings = Settings();
        settings.*off.member = 0;
        for (const Flag& each : flags) {
            EXPECT_EQ(ConversionSwitchedOn(each.kind, settings), each.member != off.member);
        }
    }
    EXPECT_EQ(MatchingConversionKind("http://x.org/"), ConversionKind::WebPage);
    EXPECT_EQ(MatchingConversionKind("a.pdf"), std::nullopt);
}

TEST(ConverterStopTest, TheMessageSaysWhetherTimeOrMemoryStoppedIt) {
    using platform::RunOutcome;
    using namespace std::chrono_literals;
    auto text = [](RunOutcome outcome, int code, std::chrono::milliseconds timeout) {
        platform::RunResult result;
        result.outcome = outcome;
        result.exitCode = code;
        return ConverterStopText(result, timeout, uint64_t{4} << 30);
    };
    EXPECT_EQ(text(RunOutcome::TimedOut, -1, 10min), "The converter was stopped after 10 minutes.");
    EXPECT_EQ(text(RunOutcome::TimedOut, -1, 1s), "The converter was stopped after 1 second.");
    EXPECT_EQ(text(RunOutcome::Exited, kConverterOutOfMemoryStatus, 10min),
              "The converter was stopped: the file needs more than the 4096 MiB of memory a "
              "conversion may use.");
    EXPECT_EQ(text(RunOutcome::KilledBySignal, 128 + 9, 10min),
              "The converter was ended by signal 9 (it may use 4096 MiB of memory).");
    EXPECT_EQ(text(RunOutcome::Exited, 1, 10min), "");
    EXPECT_EQ(text(RunOutcome::Cancelled, -1, 10min), "");
}

TEST(FileTitleTest, TextAfterTheLastSlash) {
    EXPECT_EQ(FileTitle("C:\\in\\a.pdf"), "a.pdf");
    EXPECT_EQ(FileTitle("/in/b.pdf"), "b.pdf");
    EXPECT_EQ(FileTitle("c.pdf"), "c.pdf");
}

}  // namespace
}  // namespace desktop
