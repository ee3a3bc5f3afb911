// The sheet settings end to end: a setup file written by hand drives the real program, which
// puts them on the real engine.
#include <gtest/gtest.h>

#include <filesystem>

#include "desktop/core/KeyValueLines.h"
#include "desktop/core/SetupFile.h"
#include "desktop/core/tests/PipelineFixture.h"
#include "testing/RealFiles.h"
#include "testing/Tools.h"

namespace desktop_test {
namespace {

using namespace testing_support;

class SheetJobTest : public ::testing::Test {
  protected:
    SheetJobTest() {
        std::filesystem::create_directories(m_dir.File("tmp"));
        PdfFromPostScript(NumberedPagesPostScript(8, 300, 400), m_dir.File("in.pdf"));
    }
    // A booklet's setup file as the program writes it, with `extra` lines after it.
    std::string SetupFile(const std::string& extra) {
        desktop::JobSetup setup;
        setup.typeAB = desktop::kNotChosen;
        setup.duplex2Up = desktop::kChosen;
        setup.ChooseOrder(desktop::DuplexOrder::Order8127);
        setup.dontCleanFile = 1;
        std::string path = m_dir.File("job.plf");
        WriteWholeFile(path, desktop::WithCrLf(desktop::SetupFileText(setup, false) + extra));
        return path;
    }
    CommandResult Run(const std::string& setupFile) {
        return Velmorade(m_dir, "-h -c " + ShellQuote(setupFile) + " -o out.pdf in.pdf -p -q");
    }
    ScratchDir m_dir;
};

TEST_F(SheetJobTest, ASetupFilesSheetSettingsReachTheEngine) {
    CommandResult result =
        Run(SetupFile("SHEET;A4\nSIGNATURE;1\nCREEP;0.2\nCROPMARKS;1\nFOLDMARKS;1\n"));
    ASSERT_EQ(result.exitCode, 0) << result.output;
    std::string output = m_dir.File("out.pdf");
    std::string report;
    EXPECT_TRUE(QpdfCheckClean(output, &report)) << report;
    // A4, turned to suit the 2-up grid.
    PageSize size = PdfPageSize(output, 1);
    EXPECT_NEAR(size.width, 841.89, 0.5);
    EXPECT_NEAR(size.height, 595.28, 0.5);
    // Sections of one sheet: each four pages folded on their own.
    EXPECT_EQ(PrintedNumbers(output),
              (std::vector<std::vector<int>>{{4, 1}, {2, 3}, {8, 5}, {6, 7}}));
}

// --calibration writes the job's test sheet where it stands in the command line: two sides the
// size of the booklet's first sheet. A layout without back sides has none to write.
TEST_F(SheetJobTest, TheTestSheetHasTheSizeOfTheJobsFirstSheet) {
    std::string job = ShellQuote(SetupFile("SHEET;A4\nFLIP;short\n"));
    CommandResult result =
        Velmorade(m_dir, "-h -c " + job + " in.pdf --calibration 'test sheet.pdf'");
    ASSERT_EQ(result.exitCode, 0) << result.output;
    EXPECT_NE(result.output.find("Calibration sheet written: test sheet.pdf. Print it"),
              std::string::npos)
        << result.output;
    std::string sheet = m_dir.File("test sheet.pdf");
    std::string report;
    EXPECT_TRUE(QpdfCheckClean(sheet, &report)) << report;
    ASSERT_EQ(PageCount(sheet), 2);
    for (int page : {1, 2}) {
        PageSize size = PdfPageSize(sheet, page);
        EXPECT_NEAR(size.width, 841.89, 0.5);
        EXPECT_NEAR(size.height, 595.28, 0.5);
    }

    desktop::JobSetup twoUp;
    WriteWholeFile(m_dir.File("2up.plf"), desktop::SetupFileText(twoUp, false));
    result = Velmorade(m_dir, "-h -c 2up.plf in.pdf --calibration none.pdf");
    EXPECT_EQ(result.exitCode, 6);
    EXPECT_NE(result.output.find("The layout prints no back sides"), std::string::npos)
        << result.output;
    EXPECT_FALSE(std::filesystem::exists(m_dir.File("none.pdf")));
}

// A value beyond its limits is refused with a message naming it; the job runs without it.
TEST_F(SheetJobTest, AValueOutOfItsLimitsIsRefusedAndTheJobRunsWithout) {
    CommandResult result = Run(SetupFile("SIGNATURE;-3\nSHEET;A4\n"));
    EXPECT_EQ(result.exitCode, 0) << result.output;
    EXPECT_NE(result.output.find("SIGNATURE \"-3\" is not a number of sheets"), std::string::npos)
        << result.output;
    EXPECT_EQ(PrintedNumbers(m_dir.File("out.pdf")),
              (std::vector<std::vector<int>>{{8, 1}, {2, 7}, {6, 3}, {4, 5}}));
}

// The keys of cards and free grids give what the engine's command gives with its options.
TEST_F(SheetJobTest, CardKeysGiveWhatTheEnginesCommandGivesWithItsOptions) {
    struct Case {
        const char* keys;
        const char* options;
    };
    for (Case c : {Case{"REPEAT;1\nSHEET;A4\nBLEED;4\nCROPMARKS;1\nDUPLEXBACKS;1\nFLIP;short\n"
                        "BACKSHIFT;1,-2\nFRAME;0.5\n",
                        "--repeat --sheet=A4 --bleed=4 --cropmarks --duplex_backs --flip=short "
                        "--back_shift=1,-2 --frame=0.5"},
                   Case{"GRID;3x2\nFILLORDER;columns\nFROMBOTTOM;1\nSHEET;A3\n",
                        "--grid=3x2 --order=columns --from=bottom --sheet=A3"}}) {
        SCOPED_TRACE(c.keys);
        desktop::JobSetup setup;
        setup.dontCleanFile = 1;
        std::string path = m_dir.File("cards.plf");
        WriteWholeFile(path, desktop::WithCrLf(desktop::SetupFileText(setup, false) + c.keys));
        CommandResult result = Run(path);
        ASSERT_EQ(result.exitCode, 0) << result.output;
        CommandResult engine = testing_support::Run(BuildDir() + "/bin/gridane " + c.options +
                                                    " -- " + ShellQuote(m_dir.File("in.pdf")) +
                                                    " " + ShellQuote(m_dir.File("engine.pdf")));
        ASSERT_EQ(engine.exitCode, 0) << engine.output;
        EXPECT_EQ(ReadWholeFile(m_dir.File("out.pdf")), ReadWholeFile(m_dir.File("engine.pdf")));
    }
}

}  // namespace
}  // namespace desktop_test
