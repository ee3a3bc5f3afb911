#include "desktop/core/Startup.h"

#include <gtest/gtest.h>

#include "desktop/core/FileDialogs.h"
#include "desktop/core/QuietUiPort.h"
#include "testing/Scratch.h"

namespace desktop {
namespace {

using testing_support::ScratchDir;
using testing_support::WriteWholeFile;

TEST(StartupTest, MissingFilesGiveDefaultsAndOneMessage) {
    ScratchDir scratch;
    SetupFiles files(ConfigFolder(scratch.Path(), scratch.File("user")));
    QuietUiPort ui;
    JobSetup setup;
    setup.inFile = "kept-unless-overridden.pdf";
    ConversionSettings conversion;
    conversion.htmlZoom = 5;
    LoadStartupSettings(files, setup, conversion, ui);
    EXPECT_EQ(ui.Messages(), (std::vector<std::string>{"Can't open conversion.ini file."}));
    EXPECT_EQ(conversion, ConversionSettings{});
    EXPECT_EQ(setup.inFile, "kept-unless-overridden.pdf");
    EXPECT_EQ(files.CurrentName(), "Default.plf");
}

TEST(StartupTest, WorkingFolderFilesAreReadWithOverride) {
    ScratchDir scratch;
    WriteWholeFile(scratch.File("Default.plf"), "INFILE;from-file.pdf\r\nPROCESSINGTYPE;\r\n");
    WriteWholeFile(scratch.File("conversion.ini"), "HTMLZOOM;80\r\n");
    SetupFiles files(ConfigFolder(scratch.Path(), scratch.File("user")));
    QuietUiPort ui;
    JobSetup setup;
    setup.inFile = "old.pdf";
    ConversionSettings conversion;
    LoadStartupSettings(files, setup, conversion, ui);
    EXPECT_TRUE(ui.Calls().empty());
    EXPECT_EQ(conversion.htmlZoom, 80);
    EXPECT_EQ(setup.inFile, "from-file.pdf");
    EXPECT_EQ(setup.processingType, "2up");
}

TEST(FileDialogsTest, SetupDialogsAskForPlfFiles) {
    FileDialog load = LoadSetupDialog();
    EXPECT_EQ(load.title, "Open Velmora Setup File");
    EXPECT_TRUE(load.mustExist);
    EXPECT_EQ(load.defaultExtension, "PLF");
    EXPECT_EQ(load.filters.front().second, "*.plf");
    EXPECT_EQ(load.filters.back().second, "*.*");
    EXPECT_EQ(SaveSetupDialog().title, "Save Velmora Setup File");
    EXPECT_FALSE(SaveSetupDialog().mustExist);
    FileDialog input = InputFileDialog("/in/a.pdf");
    EXPECT_EQ(input.title, "Select pdf file");
    EXPECT_EQ(input.initialName, "/in/a.pdf");
    EXPECT_TRUE(input.filters.front().second.ends_with(";*.asp;*.aspx;*.php"));
    EXPECT_EQ(OutputFileDialog("").mode, FileDialog::Mode::Save);
}

}  // namespace
}  // namespace desktop
