// The scanvey program on images made by real tools: printed lines, exit codes, page sizes,
// one page per image, and renders that match the images.
#include <gtest/gtest.h>

#include <filesystem>

#include "testing/RealFiles.h"
#include "testing/Scratch.h"
#include "testing/Tools.h"

using testing_support::MustRun;
using testing_support::ScratchDir;
using testing_support::ShellQuote;

namespace {

constexpr const char* kBanner = "Scanvey v1.01 -= Corvell Software =-\r\n";
constexpr double kSamePicture = 10.0;

// Exit codes as the shell sees them (the program's -2 ... -4 modulo 256).
int ExitCode(int code) {
    return code & 0xFF;
}

class ScanveyProgramTest : public testing::Test {
  protected:
    testing_support::CommandResult Scanvey(const std::string& arguments) {
        return testing_support::Run(ShellQuote(Program()) + " " + arguments);
    }
    std::string Program() const { return testing_support::BuildDir() + "/bin/scanvey"; }

    // A 2550 x 3300 page-like picture (a dark block top left, a bar at the bottom).
    std::string LetterScan(const std::string& name, const std::string& extra) {
        std::string path = dir.File(name);
        MustRun(
            "convert -size 2550x3300 xc:white -fill black -draw 'rectangle 200,200 1200,1000' "
            "-draw 'rectangle 200,3000 2300,3100' " +
            extra + " " + ShellQuote(path));
        return path;
    }

    void ExpectPageSize(const std::string& pdf, int page, double width, double height) {
        testing_support::PageSize size = testing_support::PdfPageSize(pdf, page);
        EXPECT_NEAR(size.width, width, 0.01) << pdf << " page " << page;
        EXPECT_NEAR(size.height, height, 0.01) << pdf << " page " << page;
    }

    ScratchDir dir;
};

}  // namespace

TEST_F(ScanveyProgramTest, NoArgumentsPrintsTheBannerAndDoesNothing) {
    testing_support::CommandResult result = Scanvey("");
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(result.output, kBanner);
    result = Scanvey("-i" + ShellQuote(dir.File("a.tif")));
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(result.output, kBanner);
}

TEST_F(ScanveyProgramTest, PageSizeFollowsTheImagesResolution) {
    std::string stated = LetterScan("stated.tif",
                                    "-monochrome -compress Group4 -units "
                                    "PixelsPerInch -density 300");
    std::string unstated = LetterScan("unstated.tif",
                                      "-monochrome -compress Group4 -units "
                                      "Undefined");
    std::string out = dir.File("out.pdf");
    testing_support::CommandResult result =
        Scanvey("-i" + ShellQuote(stated) + " -o" + ShellQuote(out));
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.output, std::string(kBanner) + "Ok\n");
    ExpectPageSize(out, 1, 612, 792);
    std::string report;
    EXPECT_TRUE(testing_support::QpdfCheck(out, &report)) << report;
    EXPECT_LT(testing_support::PageDifferenceFromImage(out, 1, 20, stated, 0), kSamePicture);

    ASSERT_EQ(Scanvey("-i" + ShellQuote(unstated) + " -o" + ShellQuote(out) + " -d300").exitCode,
              1);
    ExpectPageSize(out, 1, 612, 792);
    ASSERT_EQ(Scanvey("-i" + ShellQuote(unstated) + " -o" + ShellQuote(out)).exitCode, 1);
    ExpectPageSize(out, 1, 2550, 3300);
}

TEST_F(ScanveyProgramTest, FixedPageSizeTurnsFitsOrLeavesEmpty) {
    std::string wide = dir.File("wide.png");
    MustRun(
        "convert -size 3300x2550 xc:white -fill black -draw 'rectangle 0,0 3299,2549' "
        "-units PixelsPerInch -density 300 " +
        ShellQuote(wide));
    std::string out = dir.File("out.pdf");
    std::string fixed = " -w595 -h842 -a1 -i" + ShellQuote(wide) + " -o" + ShellQuote(out);

    ASSERT_EQ(Scanvey(fixed).exitCode, 1);  // stretched over the whole turned page
    ExpectPageSize(out, 1, 842, 595);
    EXPECT_GT(testing_support::RenderPage(out, 1, 10).DarkFraction(), 0.98);

    ASSERT_EQ(Scanvey(fixed + " -f1").exitCode, 1);  // fitted: white bands left and right
    ExpectPageSize(out, 1, 842, 595);
    testing_support::Image page = testing_support::RenderPage(out, 1, 36);  // 421 x 298
    double imageWidth = 298.0 * 3300 / 2550;
    int margin = static_cast<int>((421 - imageWidth) / 2);
    EXPECT_DOUBLE_EQ(page.Crop(0, 0, margin - 2, 298).DarkFraction(), 0.0);
    EXPECT_DOUBLE_EQ(page.Crop(421 - margin + 2, 0, margin - 2, 298).DarkFraction(), 0.0);
    EXPECT_GT(page.Crop(margin + 2, 2, 421 - 2 * margin - 4, 294).DarkFraction(), 0.98);

    ASSERT_EQ(Scanvey(fixed + " -f2").exitCode, 1);
    ExpectPageSize(out, 1, 842, 595);
    EXPECT_DOUBLE_EQ(testing_support::RenderPage(out, 1, 10).DarkFraction(), 0.0);

    // Without -a1 the page stays portrait.
    ASSERT_EQ(Scanvey(" -w595 -h842 -i" + ShellQuote(wide) + " -o" + ShellQuote(out)).exitCode, 1);
    ExpectPageSize(out, 1, 595, 842);
}

TEST_F(ScanveyProgramTest, OnePagePerImageOfAMultiPageTiffInOrder) {
    // Three scans of different kinds in one file: Ghostscript's G4 pages, a gray and a colour
    // picture appended with tiffcp.
    std::string ghostscriptPages = dir.File("gs.tif");
    MustRun("gs -q -dSAFER -sDEVICE=tiffg4 -sPAPERSIZE=letter -r50 -o " +
            ShellQuote(ghostscriptPages) +
            " -c '/Helvetica findfont 200 scalefont setfont 100 400 moveto (1) show showpage'");
    std::string gray = LetterScan("gray.tif",
                                  "-resize 20% -colorspace Gray -compress LZW "
                                  "-units PixelsPerInch -density 60");
    std::string colour = dir.File("colour.tif");
    MustRun(
        "convert -size 510x660 gradient:white-black -fill red -draw 'rectangle 50,50 200,200' "
        "-type TrueColor -units PixelsPerInch -density 60 -compress Zip " +
        ShellQuote(colour));
    std::string scans = dir.File("scans.tif");
    MustRun("tiffcp " + ShellQuote(ghostscriptPages) + " " + ShellQuote(gray) + " " +
            ShellQuote(colour) + " " + ShellQuote(scans));
    std::string out = dir.File("scans.pdf");
    ASSERT_EQ(Scanvey("-i" + ShellQuote(scans) + " -o" + ShellQuote(out)).exitCode, 1);
    std::string report;
    EXPECT_TRUE(testing_support::QpdfCheck(out, &report)) << report;
    ASSERT_EQ(testing_support::PageCount(out), 3);
    ExpectPageSize(out, 1, 612, 792);  // Ghostscript's letter page at 50 dpi
    ExpectPageSize(out, 2, 612, 792);
    ExpectPageSize(out, 3, 612, 792);
    for (int page = 1; page <= 3; ++page) {
        EXPECT_LT(testing_support::PageDifferenceFromImage(out, page, 20, scans, page - 1),
                  kSamePicture)
            << page;
    }
    // Pages in the wrong order would not match.
    EXPECT_GT(testing_support::PageDifferenceFromImage(out, 1, 20, scans, 2), kSamePicture);
}

TEST_F(ScanveyProgramTest, QuotedNamesAreUsedWithoutTheQuotes) {
    std::string image = LetterScan("my scan.jpg", "-resize 10% -units PixelsPerInch -density 30");
    std::string out = dir.File("my out.pdf");
    ASSERT_EQ(
        Scanvey(ShellQuote("-i\"" + image + "\"") + " " + ShellQuote("-o\"" + out + "\"")).exitCode,
        1);
    ExpectPageSize(out, 1, 612, 792);
}

TEST_F(ScanveyProgramTest, UnreadableImagesAreReportedAndLeaveNoOutput) {
    std::string out = dir.File("out.pdf");
    std::string cut = dir.File("cut.png");
    std::string good = LetterScan("good.png", "-resize 10%");
    std::string bytes = testing_support::ReadWholeFile(good);
    testing_support::WriteWholeFile(cut, bytes.substr(0, bytes.size() / 2));
    std::string text = dir.File("notes.tif");
    testing_support::WriteWholeFile(text, "just some words");

    for (const std::string& input : {dir.File("missing.tif"), cut, text}) {
        testing_support::WriteWholeFile(out, "an old output");
        testing_support::CommandResult result =
            Scanvey("-i" + ShellQuote(input) + " -o" + ShellQuote(out));
        EXPECT_EQ(result.exitCode, ExitCode(-3)) << input;
        EXPECT_EQ(result.output,
                  std::string(kBanner) + "Cannot read image 1 of " + input + "\nReturn code: -3\n");
        // An old file of the output's name would pass for the result: it goes too.
        EXPECT_FALSE(std::filesystem::exists(out)) << input;
    }
}

TEST_F(ScanveyProgramTest, UnwritableOutputIsReportedAndTheInputIsNeverOverwritten) {
    std::string image = LetterScan("scan.png", "-resize 10%");
    testing_support::CommandResult result =
        Scanvey("-i" + ShellQuote(image) + " -o" + ShellQuote(dir.File("no such folder/out.pdf")));
    EXPECT_EQ(result.exitCode, ExitCode(-4));
    EXPECT_NE(result.output.find("Cannot write"), std::string::npos);
    EXPECT_NE(result.output.find("Return code: -4\n"), std::string::npos);

    std::string before = testing_support::ReadWholeFile(image);
    result = Scanvey("-i" + ShellQuote(image) + " -o" + ShellQuote(image));
    EXPECT_EQ(result.exitCode, ExitCode(-4));
    EXPECT_EQ(testing_support::ReadWholeFile(image), before);
}

TEST_F(ScanveyProgramTest, MissingPdfLibraryGivesMinusTwo) {
    std::string bin = dir.File("bin");
    std::filesystem::create_directories(bin);
    std::filesystem::copy_file(Program(), bin + "/scanvey");
    std::string image = LetterScan("scan.png", "-resize 10%");
    std::string out = dir.File("out.pdf");
    testing_support::CommandResult result = testing_support::Run(
        ShellQuote(bin + "/scanvey") + " -i" + ShellQuote(image) + " -o" + ShellQuote(out));
    EXPECT_EQ(result.exitCode, ExitCode(-2));
    EXPECT_EQ(result.output, std::string(kBanner) + "Return code: -2\n");
    EXPECT_FALSE(std::filesystem::exists(out));
}
