// The conversion options dialog with its paper lists, the example picture's plan and the
// support mail.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QTest>
#include <filesystem>

#include "UiTestSupport.h"
#include "desktop/core/QuietUiPort.h"
#include "desktop/core/WebCommands.h"
#include "desktop/ui/ConversionOptionsDialog.h"
#include "desktop/ui/ExamplePicture.h"

namespace desktop::ui {
namespace {

using test::ConfigPlace;

TEST(ConversionOptionsDialogTest, ListsShowTheStoredPairsAndNamesFillThem) {
    ConfigPlace place;
    QuietUiPort ui;
    ConversionSettings settings;
    settings.imageWidth = 612;
    settings.imageHeight = 792;
    settings.tiffWidth = 600;
    settings.tiffHeight = 800;
    settings.htmlWidth = 210;
    settings.htmlHeight = 297;
    ConversionOptionsDialog dialog(settings, place.Folder(), ui);
    EXPECT_EQ(dialog.windowTitle(), "Conversion Options");
    EXPECT_EQ(dialog.Pair(PairName::Image).paper->currentText(), "US Letter");
    EXPECT_EQ(dialog.Pair(PairName::Tiff).paper->currentText(), "Custom");
    EXPECT_EQ(dialog.Pair(PairName::Html).paper->currentText(), "A4");
    EXPECT_EQ(dialog.Pair(PairName::Text).paper->currentText(), "Custom");
    EXPECT_EQ(dialog.Pair(PairName::Image).paper->count(), 57);
    EXPECT_TRUE(dialog.Pair(PairName::Tiff).width->isEnabled());
    EXPECT_EQ(dialog.ConvertFlag(0)->text(),
              "Convert all webpages, .htm && .html files to pdf before imposing");
    EXPECT_EQ(dialog.SaveButton()->text(), "Save && Exit");
    EXPECT_EQ(dialog.CloseButton()->text(), "Close");

    dialog.ChoosePaper(PairName::Text, "A8");
    EXPECT_EQ(dialog.Pair(PairName::Text).width->text(), "210");
    EXPECT_EQ(dialog.Pair(PairName::Text).height->text(), "147");
    EXPECT_FALSE(dialog.Pair(PairName::Text).width->isEnabled());
    dialog.ChoosePaper(PairName::Html, "A4");
    EXPECT_EQ(dialog.Pair(PairName::Html).width->text(), "210");
    EXPECT_EQ(dialog.Pair(PairName::Html).height->text(), "297");
    dialog.ChoosePaper(PairName::Text, "Custom");
    EXPECT_TRUE(dialog.Pair(PairName::Text).width->isEnabled());
    EXPECT_EQ(dialog.Pair(PairName::Text).width->text(), "210");

    // Close leaves the settings and the file alone.
    std::string before = testing_support::ReadWholeFile(place.Folder().PathOf("conversion.ini"));
    dialog.CloseButton()->click();
    EXPECT_EQ(settings.txtWidth, 0);
    EXPECT_EQ(testing_support::ReadWholeFile(place.Folder().PathOf("conversion.ini")), before);
}

TEST(ConversionOptionsDialogTest, SaveAndExitWritesConversionIni) {
    ConfigPlace place;
    QuietUiPort ui;
    ConversionSettings settings;
    ConversionOptionsDialog dialog(settings, place.Folder(), ui);
    dialog.Zoom()->setText("50");
    dialog.Fit(false)->setChecked(true);
    dialog.ConvertFlag(5)->setChecked(false);
    dialog.ChoosePaper(PairName::Doc, "A4");
    EXPECT_FALSE(dialog.PageScripts()->isChecked());
    dialog.PageScripts()->setChecked(true);
    dialog.SaveButton()->click();
    EXPECT_EQ(settings.htmlJavaScript, 1);
    EXPECT_EQ(settings.htmlZoom, 50);
    EXPECT_EQ(settings.imageFitToPage, 1);
    EXPECT_EQ(settings.excel, 0);
    EXPECT_EQ(settings.docWidth, 595);
    std::string text = testing_support::ReadWholeFile(place.Folder().PathOf("conversion.ini"));
    EXPECT_NE(text.find("HTMLZOOM;50\r\n"), std::string::npos);
    EXPECT_NE(text.find("DOCHEIGHT;842\r\n"), std::string::npos);
    EXPECT_NE(text.find("HTMLJAVASCRIPT;1\r\n"), std::string::npos);
    EXPECT_TRUE(ui.Messages().empty());
}

TEST(ExamplePlanTest, TwoUpShowsOneSheetInReadingOrder) {
    JobSetup setup;
    ExamplePlan plan = BuildExamplePlan(setup);
    ASSERT_EQ(plan.sides.size(), 1u);
    ASSERT_EQ(plan.sides[0].cells.size(), 2u);
    EXPECT_EQ(plan.sides[0].cells[0].page, 1);
    EXPECT_EQ(plan.sides[0].cells[1].page, 2);
    EXPECT_LT(plan.sides[0].cells[0].x, plan.sides[0].cells[1].x);
    EXPECT_GT(plan.sides[0].width, plan.sides[0].height);
}

TEST(ExamplePlanTest, RotationTurnsTheChosenPages) {
    JobSetup setup;
    setup.rotateNone = kNotChosen;
    setup.rotateOdd = kChosen;
    setup.processingType = "4up";
    ExamplePlan plan = BuildExamplePlan(setup);
    ASSERT_EQ(plan.sides.size(), 1u);
    ASSERT_EQ(plan.sides[0].cells.size(), 4u);
    for (const PictureCell& cell : plan.sides[0].cells) {
        EXPECT_EQ(cell.turns, cell.page % 2 == 1 ? 2 : 0) << "page " << cell.page;
    }
}

TEST(ExamplePlanTest, GridsAndDownOrders) {
    JobSetup setup;
    setup.processingType = "6up 3x2";
    setup.typeAcross = kNotChosen;
    setup.typeDown = kChosen;
    ExamplePlan plan = BuildExamplePlan(setup);
    ASSERT_EQ(plan.sides.size(), 1u);
    std::vector<int> pages;
    for (const PictureCell& cell : plan.sides[0].cells) pages.push_back(cell.page);
    EXPECT_EQ(pages, (std::vector<int>{1, 3, 5, 2, 4, 6}));
}

TEST(ExamplePlanTest, SplitHalvesShowBothHalvesOfTheFirstPage) {
    JobSetup setup;
    setup.processingType = "1up Split on Vertical";
    ExamplePlan plan = BuildExamplePlan(setup);
    ASSERT_EQ(plan.sides.size(), 2u);
    EXPECT_EQ(plan.sides[0].cells[0].page, 1);
    EXPECT_EQ(plan.sides[1].cells[0].page, 1);
    EXPECT_NE(plan.sides[0].caption.find("left half of page 1"), std::string::npos);
    EXPECT_NE(plan.sides[1].caption.find("right half of page 1"), std::string::npos);
}

TEST(ExamplePlanTest, EveryLayoutDrawsAtLeastOneSide) {
    for (std::string_view name : LayoutNames()) {
        JobSetup setup;
        setup.processingType = std::string(name);
        ExamplePlan plan = BuildExamplePlan(setup);
        EXPECT_FALSE(plan.sides.empty()) << name;
        QImage image(300, 200, QImage::Format_ARGB32);
        QPainter painter(&image);
        PaintExample(painter, QRectF(0, 0, 300, 200), plan, QPalette());
    }
}

}  // namespace
}  // namespace desktop::ui
