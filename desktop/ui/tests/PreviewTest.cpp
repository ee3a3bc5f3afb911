// The preview: the job that imposes the input with the window's settings, and the pane that
// lists every sheet, rendering only those in view and following only the newest settings.
#include <gtest/gtest.h>

#include <QScrollBar>
#include <atomic>

#include "UiTestSupport.h"
#include "desktop/core/Tasks.h"
#include "desktop/ui/ExamplePicture.h"
#include "desktop/ui/PreviewPane.h"
#include "desktop/ui/QtText.h"
#include "desktop/ui/SheetList.h"
#include "testing/Tools.h"

namespace desktop::ui {
namespace {

using test::ConfigPlace;

std::string Sample() {
    return testing_support::SourceDir() + "/samples/sample.pdf";
}

class PreviewJobTest : public ::testing::Test {
  protected:
    PreviewRequest Request(const std::string& input) {
        setup.inFile = input;
        PreviewRequest request = PreviewRequestFor(setup, 1, place.working.Path());
        request.programs.gridane = testing_support::BuildDir() + "/bin/gridane";
        request.programs.turnelle = testing_support::BuildDir() + "/bin/turnelle";
        return request;
    }
    ConfigPlace place;
    JobSetup setup;
    std::atomic<int> latest{1};
};

TEST_F(PreviewJobTest, ImposesEverySheetAndLabelsIt) {
    PreviewResult result = RunPreviewJob(Request(Sample()), latest);
    ASSERT_TRUE(result.sheets.document) << result.note.toStdString();
    EXPECT_EQ(result.sheets.captions, (QStringList{"Sheet 1", "Sheet 2", "Sheet 3", "Sheet 4"}));
    ASSERT_EQ(result.sheets.sizes.size(), 4);
    EXPECT_GT(result.sheets.sizes[0].width(), result.sheets.sizes[0].height());  // 2-up

    // Pages outside the range are kept, and named as such.
    setup.startPage = 3;
    setup.endPage = 6;
    result = RunPreviewJob(Request(Sample()), latest);
    EXPECT_EQ(result.sheets.captions,
              (QStringList{"Page 1 as it is", "Page 2 as it is", "Sheet 1", "Sheet 2",
                           "Page 7 as it is", "Page 8 as it is"}))
        << result.note.toStdString();
}

TEST_F(PreviewJobTest, BookletSidesAreFrontsAndBacksAndRotationRuns) {
    setup.duplex2Up = kChosen;
    setup.ChooseOrder(DuplexOrder::Order8127);
    setup.rotateNone = kNotChosen;
    setup.rotateAll = kChosen;
    PreviewResult result = RunPreviewJob(Request(Sample()), latest);
    EXPECT_EQ(result.sheets.captions,
              (QStringList{"Sheet 1 front", "Sheet 1 back", "Sheet 2 front", "Sheet 2 back"}))
        << result.note.toStdString();
}

TEST_F(PreviewJobTest, ASplitAndTheDoublingPassRun) {
    setup.processingType = std::string(kLayoutSplitVertical);
    PreviewResult split = RunPreviewJob(Request(Sample()), latest);
    EXPECT_EQ(split.sheets.captions.size(), 16) << split.note.toStdString();

    setup = JobSetup();
    setup.duplicate = 1;
    setup.dupRotateRight = 1;
    setup.sheet = "A3";
    PreviewResult doubled = RunPreviewJob(Request(Sample()), latest);
    ASSERT_FALSE(doubled.sheets.captions.isEmpty()) << doubled.note.toStdString();
    // The job's engine keeps the sheet settings from the doubling pass to the imposition;
    // the preview's fresh engine gets them again.
    EXPECT_NEAR(doubled.sheets.sizes[0].width(), 1190.55, 1);
}

TEST_F(PreviewJobTest, SaysWhyThereIsNoSheet) {
    EXPECT_NE(RunPreviewJob(Request(""), latest).note.toStdString().find("Name an input"),
              std::string::npos);
    EXPECT_NE(
        RunPreviewJob(Request("/no/such.pdf"), latest).note.toStdString().find("can not be read"),
        std::string::npos);
    std::string doc = place.working.File("letter.docx");
    testing_support::WriteWholeFile(doc, "not really");
    EXPECT_NE(RunPreviewJob(Request(doc), latest).note.toStdString().find("converted to PDF"),
              std::string::npos);
    std::string broken = place.working.File("broken.pdf");
    testing_support::WriteWholeFile(broken, "this is no PDF at all");
    PreviewResult result = RunPreviewJob(Request(broken), latest);
    EXPECT_FALSE(result.sheets.document);
    EXPECT_NE(result.note.toStdString().find("can not be imposed"), std::string::npos)
        << result.note.toStdString();
}

// A PDF with an owner password alone shows its sheets; one that needs a password to open says so.
TEST_F(PreviewJobTest, ProtectedInputsShowOrSayTheyNeedAPassword) {
    for (const char* user : {"", "sesame"}) {
        std::string locked = place.working.File(std::string("locked-") + user + ".pdf");
        ASSERT_EQ(testing_support::Run("qpdf --encrypt '" + std::string(user) + "' boss 256 -- " +
                                       testing_support::ShellQuote(Sample()) + " " +
                                       testing_support::ShellQuote(locked))
                      .exitCode,
                  0);
        PreviewResult result = RunPreviewJob(Request(locked), latest);
        if (*user == '\0') {
            ASSERT_TRUE(result.sheets.document) << result.note.toStdString();
            EXPECT_EQ(result.sheets.sizes.size(), 4);
        } else {
            EXPECT_FALSE(result.sheets.document);
            EXPECT_EQ(result.note.toStdString(), "The input needs a password: Impose asks for it.");
        }
    }
}

TEST_F(PreviewJobTest, AStaleJobStopsWithoutSheets) {
    latest = 2;
    PreviewResult result = RunPreviewJob(Request(Sample()), latest);
    EXPECT_FALSE(result.sheets.document);
    EXPECT_TRUE(result.sheets.captions.isEmpty());
}

class PreviewPaneTest : public ::testing::Test {
  protected:
    PreviewPaneTest() {
        pane.resize(420, 360);
        pane.show();
        QObject::connect(&pane, &PreviewPane::Shown, [this](double) { ++shown; });
    }
    void Show(const std::string& input, const std::string& layout = "2up") {
        JobSetup setup;
        setup.inFile = input;
        setup.processingType = layout;
        pane.ShowJob(setup);
    }
    PreviewPane pane;
    int shown = 0;
};

TEST_F(PreviewPaneTest, OnlyTheNewestSettingsAreShown) {
    Show("/no/such/first.pdf");
    Show(Sample(), "4up");
    pane.RefreshNow();
    Show(Sample(), "2up");  // while the 4-up job runs
    ASSERT_TRUE(test::WaitFor([&] { return shown > 0 && !pane.Busy(); }));
    EXPECT_EQ(shown, 1);
    EXPECT_EQ(pane.Sheets()->Count(), 4) << pane.Note().toStdString();  // 2-up: 4 sheets
    EXPECT_TRUE(pane.HasPicture());
}

// A long document: only the sheets in view are rendered, the last one when it is scrolled to,
// and zooming out puts several sheets in a row.
TEST_F(PreviewPaneTest, RendersOnlyTheSheetsInViewOfALongDocument) {
    testing_support::ScratchDir scratch;
    std::string input = scratch.File("long.pdf");
    testing_support::PdfFromPostScript(testing_support::NumberedPagesPostScript(400), input);
    Show(input);
    ASSERT_TRUE(test::WaitFor([&] { return shown > 0 && !pane.Busy(); }, 60000));
    SheetList* list = pane.Sheets();
    ASSERT_EQ(list->Count(), 200) << pane.Note().toStdString();
    auto [first, inView] = list->VisibleSheets();
    EXPECT_EQ(first, 0);
    ASSERT_TRUE(test::WaitFor([&] { return list->IsRendered(first + inView - 1); }));
    EXPECT_LE(list->RenderCount(), inView);
    EXPECT_LT(inView, 10);
    EXPECT_FALSE(list->IsRendered(199));

    list->ScrollToSheet(199);
    EXPECT_EQ(list->VisibleSheets().first + list->VisibleSheets().second, 200);
    ASSERT_TRUE(test::WaitFor([&] { return list->IsRendered(199); }));
    EXPECT_EQ(list->Caption(199), "Sheet 200");
    EXPECT_LT(list->RenderCount(), 2 * inView + 2);

    double zoom = list->Zoom();
    for (int k = 0; k < 3; ++k) list->ZoomOut();
    EXPECT_LT(list->Zoom(), zoom);
    EXPECT_GT(list->VisibleSheets().second, inView);
    // The sheet that was in view stays in view.
    auto [zoomedFirst, zoomedCount] = list->VisibleSheets();
    EXPECT_LE(zoomedFirst, 199);
    EXPECT_GT(zoomedFirst + zoomedCount, 199);

    // New settings while the end is in view: the new sheets show from the first, and the
    // end of the new document is not drawn on the way.
    shown = 0;
    Show(input, "4up");
    ASSERT_TRUE(test::WaitFor([&] { return shown > 0 && !pane.Busy(); }, 60000));
    ASSERT_EQ(list->Count(), 100);
    EXPECT_EQ(list->VisibleSheets().first, 0);
    EXPECT_TRUE(list->IsRendered(0));
    EXPECT_FALSE(list->IsRendered(99));
}

TEST(SheetCaptionTest, EveryLabelFitsItsCellAtEveryWidth) {
    QFontMetricsF metrics(QApplication::font());
    const QString caption = QStringLiteral("Sheet 12 front");
    EXPECT_EQ(FitCaption(caption, metrics, 1000), caption);
    EXPECT_EQ(FitCaption(caption, metrics, metrics.horizontalAdvance("12 front") + 1),
              QStringLiteral("12 front"));
    for (double width : {100.0, 60.0, 40.0, 20.0, 8.0}) {
        for (const QString& label :
             {caption, QStringLiteral("Page 3 as it is"), QStringLiteral("Sheet 1")}) {
            QString shown = FitCaption(label, metrics, width);
            EXPECT_LE(metrics.horizontalAdvance(shown), width) << S(shown) << " in " << width;
        }
    }
}

TEST(ExampleScaleTest, TheExampleScalesTheInputsOwnPagesAsTheRunWill) {
    ConfigPlace place;
    std::string a5 = place.working.File("a5.pdf");
    testing_support::PdfFromPostScript(testing_support::NumberedPagesPostScript(4, 420, 595), a5);
    // An A5 booklet on A4 with crop marks.
    JobSetup setup = ApplyTask(JobSetup{}, Task::Booklet).setup;
    setup.sheet = "A4";
    setup.cropMarks = 1;
    setup.inFile = a5;
    ExamplePicture picture;
    picture.ShowJob(setup);
    ASSERT_FALSE(picture.Plan().sides.empty());
    EXPECT_EQ(picture.Plan().sides[0].caption, "Sheet 1 front, pages at 91%");
    // Without a readable input the made-up pages stand in.
    setup.inFile = place.working.File("absent.pdf");
    picture.ShowJob(setup);
    EXPECT_EQ(picture.Plan().sides[0].caption, BuildExamplePlan(setup).sides[0].caption);
}

TEST(ExampleScaleTest, CardsWithBacksShowTheBackBehindTheFront) {
    JobSetup setup = ApplyTask(JobSetup{}, Task::Cards).setup;
    setup.duplexBacks = 1;
    ExamplePlan plan = BuildExamplePlan(setup);
    ASSERT_EQ(plan.sides.size(), 2u);
    EXPECT_EQ(plan.sides[0].caption, "Sheet 1 front");
    EXPECT_EQ(plan.sides[1].caption, "Sheet 1 back");
    EXPECT_EQ(plan.sides[0].cells.front().page, 1);
    EXPECT_EQ(plan.sides[1].cells.front().page, 2);
}

// A poster's tiles are put together, each showing its piece of the page; the press sheet shows
// its targets, colour bar and slug with the fields filled in.
TEST(ExampleScaleTest, PosterTilesAndThePressSheetShowAsTheRunMakesThem) {
    JobSetup setup = ApplyTask(JobSetup{}, Task::Poster).setup;
    ExamplePlan poster = BuildExamplePlan(setup);
    ASSERT_GT(poster.columns, 1);
    EXPECT_EQ(poster.sides.size() % size_t(poster.columns), 0u);
    EXPECT_TRUE(poster.title.starts_with("Poster: " + std::to_string(poster.columns) + " x "));
    for (const PictureSide& side : poster.sides) {
        const PictureCell& piece = side.cells.front();
        EXPECT_LE(piece.clipWidth, side.width);  // a piece of a page larger than the tile
        EXPECT_GT(piece.width, side.width);
    }

    setup = JobSetup{};
    setup.sheet = "A4";
    setup.inFile = "/jobs/report.pdf";
    setup.slug = "{file} sheet {sheet} of {sheets}";
    setup.regMarks = setup.colorBar = 1;
    ExamplePlan pressed = BuildExamplePlan(setup);
    const PicturePress& press = pressed.sides.front().press;
    EXPECT_EQ(press.targets.size(), 4u);
    EXPECT_GT(press.patches, 0);
    EXPECT_EQ(press.text, "report.pdf sheet 1 of 2");  // eight made-up pages, two sides a sheet
}

}  // namespace
}  // namespace desktop::ui
