// The conversion options dialog with its paper lists, the example picture's plan and the
// support mail.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QTest>
#include <algorithm>
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

// The sheet settings show as the engine's plan makes them: pages scaled onto the paper (the
// scale in the caption), the marks, and creep moving the outer sheet's pages to the fold.
TEST(ExamplePlanTest, ShowsTheScaleTheMarksAndTheCreep) {
    JobSetup setup;
    setup.typeAB = kNotChosen;
    setup.duplex2Up = kChosen;
    setup.ChooseOrder(DuplexOrder::Order8127);
    setup.sheet = "A4";
    ExamplePlan plain = BuildExamplePlan(setup);
    ASSERT_EQ(plain.sides.size(), 2u);
    EXPECT_EQ(plain.sides[0].caption, "Sheet 1 front, pages at 71%");
    EXPECT_TRUE(plain.sides[0].marks.empty());

    setup.cropMarks = 1;
    setup.foldMarks = 1;
    ExamplePlan marked = BuildExamplePlan(setup);
    ASSERT_FALSE(marked.sides[0].marks.empty());
    auto dashed = [](const PictureSide& side) {
        return std::count_if(side.marks.begin(), side.marks.end(),
                             [](const PictureMark& mark) { return mark.dashed; });
    };
    EXPECT_GT(dashed(marked.sides[0]), 0);  // the fold
    EXPECT_LT(dashed(marked.sides[0]), static_cast<long>(marked.sides[0].marks.size()));

    setup.cropMarks = setup.foldMarks = 0;
    setup.creep = "0.5";
    ExamplePlan crept = BuildExamplePlan(setup);
    // The innermost of four sheets shows too: its pages move towards the fold, the outer
    // sheet's stay.
    ASSERT_EQ(crept.sides.size(), 3u);
    EXPECT_EQ(crept.sides[2].caption, "Sheet 4 front, innermost, pages at 71%");
    const auto& outer = crept.sides[0].cells;
    const auto& inner = crept.sides[2].cells;
    ASSERT_EQ(inner.size(), 2u);
    EXPECT_NEAR(outer[0].x, plain.sides[0].cells[0].x, 0.01);
    double shift = 3 * 0.5 * 72 / 25.4;  // three sheets outside it
    EXPECT_NEAR(inner[0].x - outer[0].x, shift, 0.01);
    EXPECT_NEAR(outer[1].x - inner[1].x, shift, 0.01);
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
