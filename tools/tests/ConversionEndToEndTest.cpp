// Inputs that are not PDF, imposed by `velmorade -h` from end to end: the desktop program
// picks the converter, which writes the PDF that the engines impose. Every output passes
// qpdf --check, has the sheets expected and carries the input's words or picture.
#include <gtest/gtest.h>

#include <filesystem>

#include "testing/RealFiles.h"
#include "testing/Scratch.h"
#include "testing/Tools.h"
#include "tools/tests/ConverterTesting.h"

using namespace testing_support;
using namespace converter_testing;

namespace {

class ConversionEndToEndTest : public testing::Test {
  protected:
    // The working folder holds the job's setup and conversion.ini, so the program takes its
    // configuration from there. The job is the default 2-up layout; the cleaning round trip
    // through PostScript is left out unless a test asks for it.
    void SetUp() override {
        WriteWholeFile(work.File("Default.plf"), "PROCESSINGTYPE;2up\r\nDONTCLEANFILE;1\r\n");
        WriteConversionIni("");
    }

    void WriteConversionIni(const std::string& lines) {
        WriteWholeFile(work.File("conversion.ini"), lines);
    }

    // Imposes `input` into `output` (the job's own output file) and gives what it printed.
    CommandResult Impose(const std::string& input, const std::string& output,
                         const std::string& environment = "") {
        return testing_support::Run("cd " + ShellQuote(work.Path()) + " && " + environment +
                                    ShellQuote(BuildDir() + "/bin/velmorade") + " -h -o " +
                                    ShellQuote(output) + " " + ShellQuote(input) + " -p -q");
    }

    // Imposes `name` of the shared inputs and checks the sheets; gives the output's name.
    std::string ImposeInput(const std::string& name, int sheets) {
        std::string output = dir.File(name + ".imposed.pdf");
        CommandResult result = Impose(Inputs().File(name), output);
        EXPECT_EQ(result.exitCode, 0) << name << "\n" << result.output;
        ExpectGoodPdf(output, sheets);
        return output;
    }

    // The left cell of a 2-up sheet, where the first page goes.
    static Image LeftCell(const std::string& pdf, int dpi) {
        Image sheet = RenderPage(pdf, 1, dpi);
        return sheet.Crop(0, 0, sheet.Width() / 2, sheet.Height());
    }

    static std::string AllText(const std::string& pdf) {
        std::string text;
        for (int page = 1; page <= PageCount(pdf); ++page) text += PageText(pdf, page) + "\n";
        return text;
    }

    ScratchDir work;
    ScratchDir dir;
};

void ExpectContains(const std::string& text, const std::string& part) {
    EXPECT_NE(text.find(part), std::string::npos) << "\"" << part << "\" not in:\n" << text;
}

TEST_F(ConversionEndToEndTest, WordProcessorFilesAndSpreadsheets) {
    // The .docx goes through the whole job, cleaning included.
    WriteWholeFile(work.File("Default.plf"), "PROCESSINGTYPE;2up\r\nDONTCLEANFILE;0\r\n");
    std::string docx = ImposeInput("three-pages.docx", 2);
    std::string text = AllText(docx);
    for (int page = 1; page <= 3; ++page) {
        ExpectContains(text, "Velmora docx page " + std::to_string(page) + " zebra");
    }
    WriteWholeFile(work.File("Default.plf"), "PROCESSINGTYPE;2up\r\nDONTCLEANFILE;1\r\n");
    ExpectContains(AllText(ImposeInput("two-pages.odt", 1)), "Velmora odt page 2 walrus");

    std::string sheet = AllText(ImposeInput("sheet.xlsx", 1));
    ExpectContains(sheet, "Quarterly");
    ExpectContains(sheet, "rhubarb");
    std::string table = AllText(ImposeInput("fruit.csv", 1));
    ExpectContains(table, "Kumquat");
    ExpectContains(table, "Crème brûlée");
}

TEST_F(ConversionEndToEndTest, TextOnThePaperAskedForWithACopyOfTheConvertedPdf) {
    std::string copies = dir.File("converted copies");
    WriteConversionIni("TXTWIDTH;595\r\nTXTHEIGHT;842\r\nPDFDIR;" + copies + "\r\n");
    std::string imposed = ImposeInput("greeting.txt", 1);
    ExpectContains(AllText(imposed), kGreeting);
    ExpectPageSize(imposed, 1, 2 * 595, 842);  // two A4 cells side by side

    std::string copy = copies + "/greeting.txt.pdf";
    ExpectGoodPdf(copy, 1);
    ExpectPageSize(copy, 1, 595, 842);
    ExpectContains(PageText(copy, 1), kGreeting);
}

TEST_F(ConversionEndToEndTest, WebPageWithItsPicture) {
    WriteConversionIni("HTMLWIDTH;100\r\nHTMLHEIGHT;150\r\nHTMLMARGINS;10\r\nHTMLZOOM;50\r\n");
    std::string imposed = ImposeInput("page.html", 1);
    EXPECT_EQ(PageText(imposed, 1), "Velmora web page");
    ExpectPageSize(imposed, 1, 2 * 283.46, 425.2);
    // The content keeps out of the 10 mm margins, and the picture shows.
    Image cell = LeftCell(imposed, 72);
    DarkBounds content = FindDarkBounds(cell);
    EXPECT_GE(content.left, 10 / 25.4 * 72);
    EXPECT_GE(content.top, 10 / 25.4 * 72);
    EXPECT_GT(cell.DarkFraction(), 0.01);
}

TEST_F(ConversionEndToEndTest, AWebAddressIsFetchedAndConverted) {
    ScratchDir web;
    std::filesystem::copy_file(Inputs().File("page.html"), web.File("page.html"));
    std::filesystem::copy_file(Inputs().File("web picture.png"), web.File("web picture.png"));
    LocalWebServer server(web.Path());
    std::string output = dir.File("web.pdf");
    CommandResult result = Impose(server.Url("page.html"), output);
    ASSERT_EQ(result.exitCode, 0) << result.output;
    ExpectGoodPdf(output, 1);
    EXPECT_EQ(PageText(output, 1), "Velmora web page");
    // The page alone is fetched: it is converted from that copy with no network, so its
    // picture stays out.
    EXPECT_EQ(server.Requests(), "GET /page.html\n");
    EXPECT_LT(LeftCell(output, 72).DarkFraction(), 0.01);
}

TEST_F(ConversionEndToEndTest, NamesThatLookLikeOptionsOrArgumentFilesAreOnlyFiles) {
    // Cleaning on, so every input and output goes through Ghostscript; names relative to the
    // working folder, from the command line and from a list file; the converted copies go to
    // a folder whose name looks like an option too.
    WriteWholeFile(work.File("Default.plf"), "PROCESSINGTYPE;2up\r\nDONTCLEANFILE;0\r\n");
    WriteConversionIni("PDFDIR;-dPDF%dir\r\n");
    std::string marker = work.File("pwned");
    WriteWholeFile(work.File("@x.pdf"),
                   "-dNOSAFER -c (%pipe%touch " + marker + ") .runpdfbegin\n%PDF-1.4\n");
    const std::vector<std::string> pdfs = {"-sOutputFile=x out.pdf", "--y.pdf", "-dNOSAFER.pdf",
                                           "%d.pdf"};
    for (const std::string& name : pdfs) {
        std::filesystem::copy_file(SourceDir() + "/samples/sample.pdf", work.File(name));
    }
    std::filesystem::copy_file(Inputs().File("page.html"), work.File("-g%s.html"));
    std::string list;
    for (const std::string& name : pdfs) list += name + "||\r\n";
    list += "-g%s.html||\r\n@x.pdf||\r\n";
    WriteWholeFile(work.File("jobs.lst"), list);
    CommandResult result = testing_support::Run("cd " + ShellQuote(work.Path()) + " && " +
                                                ShellQuote(BuildDir() + "/bin/velmorade") +
                                                " -h -f @out jobs.lst -p -q");
    EXPECT_NE(result.exitCode, 0) << result.output;  // the "@x.pdf" row fails
    for (const std::string& name : pdfs) ExpectGoodPdf(work.File("@out/" + name), 4);
    ExpectGoodPdf(work.File("@out/-g%s.html.pdf"), 1);
    ExpectGoodPdf(work.File("-dPDF%dir/-g%s.html.pdf"), 1);
    EXPECT_FALSE(std::filesystem::exists(marker));
    EXPECT_FALSE(std::filesystem::exists(work.File("@out/@x.pdf")));
    // Nothing was written under another name (such as "x out.pdf").
    size_t entries = 0;
    for (auto& entry : std::filesystem::directory_iterator(work.Path())) ++entries, (void)entry;
    EXPECT_EQ(entries, pdfs.size() + 7u) << "Default.plf, conversion.ini, jobs.lst, @x.pdf, "
                                            "-g%s.html, @out, -dPDF%dir";
}

TEST_F(ConversionEndToEndTest, PicturesAndMetafiles) {
    for (const char* name : {"photo.jpg", "transparent.png", "drawing.gif", "bitmap.bmp"}) {
        SCOPED_TRACE(name);
        std::string imposed = ImposeInput(name, 1);
        Image cell = LeftCell(imposed, 100);
        Image reference = ImageMagickPicture(Inputs().File(name), 0, cell.Width(), cell.Height());
        EXPECT_LT(cell.MeanDifference(reference), kSamePicture);
    }
    for (const char* name : {"drawing.wmf", "drawing.emf"}) {
        SCOPED_TRACE(name);
        Image cell = LeftCell(ImposeInput(name, 1), 72);
        EXPECT_LT(cell.MeanDifference(HalfBlackBox(cell.Width(), cell.Height())), kSamePicture);
    }
}

TEST_F(ConversionEndToEndTest, MultiPageTiffThroughScanvey) {
    std::string tiff = dir.File("three pages.tif");
    MustRun(
        "convert -size 300x200 xc:white -fill black -draw 'rectangle 20,20 120,180' "
        "-size 300x200 xc:white -fill black -draw 'circle 150,100 150,180' "
        "-size 300x200 xc:black -compress lzw " +
        ShellQuote(tiff));
    std::string output = dir.File("tiff.pdf");
    CommandResult result = Impose(tiff, output);
    ASSERT_EQ(result.exitCode, 0) << result.output;
    ExpectGoodPdf(output, 2);
    Image cell = LeftCell(output, 72);
    EXPECT_LT(cell.MeanDifference(ImageMagickPicture(tiff, 0, cell.Width(), cell.Height())),
              kSamePicture);
}

TEST_F(ConversionEndToEndTest, SwitchedOffKindsAreNotConvertedAndTheEngineRefusesThem) {
    WriteConversionIni("JPEG;0\r\n");
    std::string output = dir.File("photo.pdf");
    CommandResult result = Impose(Inputs().File("photo.jpg"), output);
    EXPECT_EQ(result.exitCode, 7) << result.output;
    EXPECT_EQ(result.output.find("Failed to convert"), std::string::npos) << result.output;
    EXPECT_FALSE(std::filesystem::exists(output));
}

TEST_F(ConversionEndToEndTest, APdfUnderAnyNameIsImposedAsThePdfItIs) {
    // No office suite is at hand: a conversion would fail, so the file must go to the engine
    // as it is.
    std::string pdf = dir.File("numbers.pdf");
    PdfFromPostScript(NumberedPagesPostScript(4, 300, 400), pdf);
    for (const char* name : {"report.docx", "sheet.xls", "page.html"}) {
        std::filesystem::copy_file(pdf, dir.File(name));
        std::string output = dir.File(std::string(name) + ".pdf");
        CommandResult result =
            Impose(dir.File(name), output, "VELMORA_SOFFICE=/nonexistent/soffice ");
        EXPECT_EQ(result.exitCode, 0) << name << "\n" << result.output;
        ExpectGoodPdf(output, 2);
        std::string words = AllText(output);
        for (const char* page : {"1", "2", "3", "4"}) ExpectContains(words, page);
    }
}

TEST_F(ConversionEndToEndTest, FailedConversionsEndTheJobWithResult4) {
    auto expectFailed = [&](const std::string& input, const std::string& reason,
                            const std::string& environment = "") {
        std::string output = dir.File("failed.pdf");
        CommandResult result = Impose(input, output, environment);
        EXPECT_EQ(result.exitCode, 4) << input << "\n" << result.output;
        ExpectContains(result.output, "Failed to convert file to pdf!");
        ExpectContains(result.output, reason);
        EXPECT_FALSE(std::filesystem::exists(output));
    };
    // A damaged .docx (a zip archive cut short), under a name a shell would take apart.
    std::string damaged = dir.File("it's \"damaged\"; $(touch pwned) `touch pwned`.docx");
    std::string whole = ReadWholeFile(Inputs().File("three-pages.docx"));
    WriteWholeFile(damaged, whole.substr(0, whole.size() / 3));
    expectFailed(damaged, "docx is a damaged package");
    EXPECT_FALSE(std::filesystem::exists(work.File("pwned")));
    // An empty document is no document (LibreOffice would make a blank page of it).
    std::string empty = dir.File("empty.docx");
    WriteWholeFile(empty, "");
    expectFailed(empty, "empty.docx is empty: there is no document to convert");
    // LibreOffice missing: its converter fails, the program goes on.
    expectFailed(Inputs().File("sheet.xlsx"), "not installed",
                 "VELMORA_SOFFICE=/nonexistent/soffice ");
}

}  // namespace
