// The main window on the offscreen platform: its texts, the copying between controls and the
// job record, the interlocks and the two small dialogs, the commands, the keys and the drops.
#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFile>
#include <QFileDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>
#include <QTabWidget>
#include <QTest>
#include <algorithm>
#include <filesystem>

#include "UiTestSupport.h"
#include "desktop/core/DesktopSession.h"
#include "desktop/core/SetupFile.h"
#include "desktop/core/UiTexts.h"
#include "desktop/ui/DesktopServices.h"
#include "desktop/ui/ExamplePicture.h"
#include "desktop/ui/MainWindow.h"
#include "desktop/ui/PreviewPane.h"
#include "desktop/ui/SheetSizeEdit.h"
#include "desktop/ui/SmallDialogs.h"
#include "desktop/ui/WatchFolderDialog.h"
#include "testing/RealFiles.h"
#include "testing/Scratch.h"
#include "testing/Tools.h"

namespace desktop::ui {
namespace {

using test::ConfigPlace;
using test::MessageRecorder;
using test::ModalWatch;

class MainWindowTest : public ::testing::Test {
  protected:
    void SetUp() override {
        window = test::ShownMainWindow(place);
        window->SetOpener([this](const std::string& name) {
            opened.push_back(name);
            return true;
        });
    }
    void TearDown() override { window.reset(); }
    const MainControls& c() { return window->Controls(); }

    ConfigPlace place;
    std::unique_ptr<MainWindow> window;
    std::vector<std::string> opened;
};

TEST_F(MainWindowTest, TitleTipsAndMenusAreAsQuoted) {
    EXPECT_EQ(window->windowTitle().toStdString(),
              "Velmora Desktop Edition v2.02 - Corvell Software ");
    EXPECT_EQ(c().input->toolTip().toStdString(), kInputTip);
    EXPECT_EQ(c().mediaBox->toolTip().toStdString(),
              "Set output page size: bottom, left, top, right e.g. 0,0,612,1584");
    EXPECT_EQ(c().cropBox->toolTip().toStdString(),
              "Set output page size crop margins: bottom, left, top, right e.g. 5,5,612,1584");
    for (QWidget* tipped : {static_cast<QWidget*>(c().input), static_cast<QWidget*>(c().mediaBox),
                            static_cast<QWidget*>(c().cropBox)}) {
        EXPECT_EQ(tipped->toolTipDuration(), 20000);
    }
    QStringList menus;
    for (QAction* action : window->menuBar()->actions()) menus << action->text();
    EXPECT_EQ(menus, (QStringList{"&File", "&Presets", "Con&version to PDF", "&Batch", "&Help"}));
    auto a = window->Actions();
    EXPECT_EQ(a.loadSettings->text(), "Load Settings");
    EXPECT_EQ(a.saveSettings->text(), "Save Settings");
    EXPECT_EQ(a.saveSettingsAs->text(), "Save Settings As");
    EXPECT_EQ(a.conversionSetup->text(), "Setup");
    EXPECT_EQ(a.prepareList->text(), "Prepare a List");
    EXPECT_EQ(a.processList->text(), "Process List");
    EXPECT_EQ(a.htmlHelp->text(), "HTML Help");
    EXPECT_EQ(a.homepage->text(), "Website Homepage");
    EXPECT_EQ(a.videos->text(), "Online How-To Videos");
    EXPECT_EQ(a.forum->text(), "Community Forum");
    EXPECT_EQ(a.subscribeProduct->text(), "Subscribe to Velmora DE Email List");
    EXPECT_EQ(a.subscribeNewsletter->text(), "Subscribe to Corvell Software Email Newsletter");
    EXPECT_EQ(a.supportMail->text(), "Email Bug/Suggestion/Comments");
    EXPECT_EQ(a.startDebug->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_D));
    EXPECT_EQ(c().impose->text(), "&Impose");
    EXPECT_EQ(c().close->text(), "&Close");
    EXPECT_EQ(c().progress->minimum(), kBarUnitsPerStep);
    EXPECT_EQ(c().progress->maximum(), kLastProgressPosition * kBarUnitsPerStep);
    EXPECT_EQ(c().layout->count(), 15);
    EXPECT_EQ(c().layout->itemText(0), "1up Split on Vertical");
    EXPECT_EQ(c().layout->itemText(14), "12up 4x3");
}

TEST_F(MainWindowTest, TheWordsSayWhatHappens) {
    EXPECT_EQ(c().duplicate->toolTip().toStdString(), kDuplicateTip);
    EXPECT_EQ(c().across->toolTip().toStdString(), kProcessingTypeTip);
    auto* type = qobject_cast<QGroupBox*>(c().ab->parentWidget());
    ASSERT_NE(type, nullptr);
    EXPECT_EQ(type->toolTip().toStdString(), kTypeOfProcessingTip);
    // No creep shows 0, as no signature does.
    EXPECT_EQ(c().creep->text(), "");
    EXPECT_EQ(c().creep->placeholderText(), "0");
    EXPECT_EQ(c().signature->text(), "0");
    QComboBox* papers = c().sheet->Paper();
    EXPECT_GE(papers->findText("US Government"), 0);
    EXPECT_LT(papers->findText("US Goverment"), 0);

    MessageRecorder messages;
    window->Actions().about->trigger();
    ASSERT_EQ(messages.Messages().size(), 1u);
    EXPECT_EQ(messages.Messages()[0].title, "About Velmora DE");
    EXPECT_NE(messages.Messages()[0].text.find("Velmora Desktop Edition " VELMORA_VERSION),
              std::string::npos);
}

TEST_F(MainWindowTest, ShowsTheDefaultsAndCopiesEveryControlBack) {
    EXPECT_EQ(c().startPage->text(), "1");
    EXPECT_EQ(c().endPage->text(), "99999");
    EXPECT_EQ(c().layout->currentText(), "2up");
    EXPECT_TRUE(c().across->isChecked());
    EXPECT_FALSE(c().down->isChecked());
    EXPECT_TRUE(c().ab->isChecked());
    EXPECT_TRUE(c().rotateNone->isChecked());

    c().input->setText("in.pdf");
    c().output->setText("out.pdf");
    c().startPage->setText("3");
    c().endPage->setText(" 12x");
    c().blankPages->setText("2");
    c().rightMargin->setText("10");
    c().bottomMargin->setText("-4");
    c().mediaBox->setText("0,0,612,1584");
    c().cropBox->setText("5,5,612,1584");
    c().mediaBox2->setText("1,1,2,2");
    c().cropBox2->setText("3,3,4,4");
    c().duplicate->setChecked(true);
    c().prepress->setChecked(true);
    c().dontClean->setChecked(true);
    c().layout->setCurrentText("6up 2x3");
    window->CopyControlsIn();
    const JobSetup& s = window->Setup();
    EXPECT_EQ(s.inFile, "in.pdf");
    EXPECT_EQ(s.outFile, "out.pdf");
    EXPECT_EQ(s.startPage, 3);
    EXPECT_EQ(s.endPage, 12);
    EXPECT_EQ(s.noPagesBlank, 2);
    EXPECT_EQ(s.rightMargin, 10);
    EXPECT_EQ(s.bottomMargin, -4);
    EXPECT_EQ(s.mediaBox, "0,0,612,1584");
    EXPECT_EQ(s.cropBox, "5,5,612,1584");
    EXPECT_EQ(s.mediaBox2, "1,1,2,2");
    EXPECT_EQ(s.cropBox2, "3,3,4,4");
    EXPECT_EQ(s.duplicate, 1);
    EXPECT_EQ(s.prepress, 1);
    EXPECT_EQ(s.dontCleanFile, 1);
    EXPECT_EQ(s.processingType, "6up 2x3");
}

// The sheet settings: shown from the record and copied back through their controls, each
// with a tip, and enabled only where the chosen layout takes them.
TEST_F(MainWindowTest, SheetSettingsCopyBothWaysAndFollowTheLayout) {
    SheetSizeEdit* sheet = c().sheet;
    std::vector<QWidget*> controls{
        sheet->Paper(), sheet->Width(),  sheet->Height(), sheet->Orientation(),
        c().fitToSheet, c().outerMargin, c().gutter,      c().cropMarks,
        c().signature,  c().creep,       c().foldMarks,   c().rightToLeft};
    for (QWidget* control : controls) EXPECT_FALSE(control->toolTip().isEmpty());

    // Defaults: 2-up A/B is no booklet, but its sheets fold.
    EXPECT_EQ(sheet->Paper()->currentText(), "None");
    EXPECT_FALSE(sheet->Width()->isEnabled());
    EXPECT_FALSE(sheet->Orientation()->isEnabled());
    EXPECT_FALSE(c().signature->isEnabled());
    EXPECT_FALSE(c().creep->isEnabled());
    EXPECT_TRUE(c().foldMarks->isEnabled());
    EXPECT_TRUE(c().rightToLeft->isEnabled());
    EXPECT_TRUE(c().cropMarks->isEnabled());

    // A paper chosen shows its size and reaches the record; the orientation follows.
    int a4 = sheet->Paper()->findText("A4");
    sheet->Paper()->setCurrentIndex(a4);
    Q_EMIT sheet->Paper()->activated(a4);
    EXPECT_EQ(sheet->Width()->text(), "595.28");
    EXPECT_EQ(window->Setup().sheet, "A4");
    sheet->Orientation()->setCurrentIndex(2);
    Q_EMIT sheet->Orientation()->activated(2);
    EXPECT_EQ(window->Setup().sheet, "A4:landscape");
    int custom = sheet->Paper()->findText("Custom");
    sheet->Paper()->setCurrentIndex(custom);
    Q_EMIT sheet->Paper()->activated(custom);
    EXPECT_TRUE(sheet->Width()->isEnabled());
    sheet->Width()->setText("595.5");
    c().fitToSheet->setChecked(true);
    c().outerMargin->setText("18");
    c().gutter->setText("6");
    c().cropMarks->setChecked(true);
    c().rightToLeft->setChecked(true);
    window->CopyControlsIn();
    const JobSetup& s = window->Setup();
    EXPECT_EQ(s.sheet, "595.5,841.89:landscape");
    EXPECT_EQ(s.fitToSheet, 1);
    EXPECT_EQ(s.outerMargin, 18);
    EXPECT_EQ(s.gutter, 6);
    EXPECT_EQ(s.cropMarks, 1);
    EXPECT_EQ(s.rightToLeft, 1);

    // The booklet takes the signature, creep and fold marks.
    window->dialogRunner = [](QDialog& dialog) {
        auto& duplex = dynamic_cast<DuplexModeWindow&>(dialog);
        QTest::mouseClick(duplex.OrderButton(DuplexOrder::Order8127), Qt::LeftButton);
        return DialogButton::SaveExit;
    };
    QTest::mouseClick(c().ab2Duplex, Qt::LeftButton);
    EXPECT_TRUE(c().signature->isEnabled());
    EXPECT_TRUE(c().creep->isEnabled());
    EXPECT_TRUE(c().foldMarks->isEnabled());
    c().signature->setText("3");
    c().creep->setText("0.1");
    c().foldMarks->setChecked(true);
    window->CopyControlsIn();
    EXPECT_EQ(s.signature, 3);
    EXPECT_EQ(s.creep, "0.1");
    EXPECT_EQ(s.foldMarks, 1);
    // Edits take no value beyond the limits a setup file is held to.
    c().signature->setText("");
    QTest::keyClicks(c().signature, "9999");
    EXPECT_EQ(c().signature->text(), "999");
    EXPECT_FALSE(c().signature->hasAcceptableInput());
    window->CopyControlsIn();
    EXPECT_EQ(s.signature, 3);  // a value beyond the limit never reaches the record

    // A 6-up grid is no booklet and not folded; the record keeps what was set.
    window->ApplyLayoutChoice(QStringLiteral("6up 2x3"));
    EXPECT_FALSE(c().signature->isEnabled());
    EXPECT_FALSE(c().foldMarks->isEnabled());
    EXPECT_EQ(window->Setup().signature, 3);

    // The record shown again: every control shows it.
    JobSetup shown;
    shown.sheet = "Folio, F4:portrait";
    shown.gutter = 9;
    window->Setup() = shown;
    window->ShowValues();
    EXPECT_EQ(sheet->Paper()->currentText(), "Folio, F4");
    EXPECT_EQ(sheet->Orientation()->currentText(), "Portrait");
    EXPECT_EQ(sheet->Height()->text(), "935.43");
    EXPECT_EQ(c().gutter->text(), "9");
    EXPECT_FALSE(c().rightToLeft->isChecked());
    window->CopyControlsIn();
    EXPECT_EQ(window->Setup(), shown);
}

// Cards, grids and back sides: every control has a tip, reaches the record and shows it, the
// settings that need Cards, a grid or back sides follow them, and "Cards" shows the copies per
// sheet the preview's run chose for a real card.
TEST_F(MainWindowTest, CardSettingsCopyBothWaysFollowWhatTheyNeedAndShowTheCopiesPerSheet) {
    for (QWidget* control : std::initializer_list<QWidget*>{c().repeat, c().bleed, c().duplexBacks,
                                                            c().grid, c().fillOrder, c().fromBottom,
                                                            c().frame, c().flip, c().backShift}) {
        EXPECT_FALSE(control->toolTip().isEmpty()) << control->objectName().toStdString();
    }
    // Off by default, and what needs them is disabled.
    EXPECT_FALSE(c().repeat->isChecked());
    EXPECT_EQ(c().grid->text(), "");
    EXPECT_EQ(c().flip->currentText(), "Long edge");
    for (QWidget* control : std::initializer_list<QWidget*>{
             c().bleed, c().duplexBacks, c().fillOrder, c().fromBottom, c().flip, c().backShift})
        EXPECT_FALSE(control->isEnabled()) << control->objectName().toStdString();

    QTest::mouseClick(c().repeat, Qt::LeftButton);
    EXPECT_EQ(window->Setup().repeat, 1);
    EXPECT_TRUE(c().bleed->isEnabled());
    EXPECT_FALSE(c().flip->isEnabled());
    QTest::mouseClick(c().duplexBacks, Qt::LeftButton);
    EXPECT_TRUE(c().flip->isEnabled());
    EXPECT_TRUE(c().backShift->isEnabled());
    c().grid->setText("3x2");
    Q_EMIT c().grid->editingFinished();
    EXPECT_TRUE(c().fillOrder->isEnabled());
    c().fillOrder->setCurrentIndex(1);
    Q_EMIT c().fillOrder->activated(1);
    c().flip->setCurrentIndex(1);
    Q_EMIT c().flip->activated(1);
    c().bleed->setText("3");
    c().frame->setText("0.5");
    c().backShift->setText("1.5,-2");
    c().fromBottom->setChecked(true);
    window->CopyControlsIn();
    const JobSetup& s = window->Setup();
    EXPECT_EQ(s.grid, "3x2");
    EXPECT_EQ(s.fillOrder, "columns");
    EXPECT_EQ(s.flip, "short");
    EXPECT_EQ(s.bleed, "3");
    EXPECT_EQ(s.frame, "0.5");
    EXPECT_EQ(s.backShift, "1.5,-2");
    EXPECT_EQ(s.fromBottom, 1);
    EXPECT_EQ(s.duplexBacks, 1);
    // Edits take only their setting's form: no side beyond 20, no bleed beyond 72 points.
    c().grid->clear();
    QTest::keyClicks(c().grid, "21x3");
    EXPECT_EQ(c().grid->text(), "2x3");
    c().bleed->clear();
    QTest::keyClicks(c().bleed, "80");
    EXPECT_FALSE(c().bleed->hasAcceptableInput());
    window->CopyControlsIn();
    EXPECT_EQ(s.grid, "2x3");
    EXPECT_EQ(s.bleed, "3");

    // A record shown again; a default value ("long", "rows") shows as its list's first item.
    JobSetup shown;
    shown.repeat = 1;
    shown.sheet = "A4";
    shown.frame = "1";
    shown.flip = "long";
    window->Setup() = shown;
    window->ShowValues();
    EXPECT_TRUE(c().repeat->isChecked());
    EXPECT_EQ(c().flip->currentIndex(), 0);
    EXPECT_EQ(c().fillOrder->currentIndex(), 0);
    EXPECT_EQ(c().frame->text(), "1");

    // A business card of 85 x 55 mm on A4: the preview's engine run names the grid it chose.
    shown.flip.clear();
    shown.inFile = testing_support::SourceDir() + "/gridane/tests/data/latex-card-85x55.pdf";
    window->Setup() = shown;
    window->ShowValues();
    window->RefreshPictures();
    c().preview->RefreshNow();
    ASSERT_TRUE(test::WaitFor([&] { return !c().cardsFit->text().isEmpty(); }, 60000));
    EXPECT_EQ(c().cardsFit->text(), "10 copies per sheet, 2 x 5");
    QTest::mouseClick(c().repeat, Qt::LeftButton);
    EXPECT_EQ(c().cardsFit->text(), "");
}

// The tabs of folded signatures, poster tiles, slug and marks, and the template: every control
// has a tip, reaches the record and shows it; what needs a fold or poster tiles follows them,
// and poster tiles leave the layout's controls disabled.
TEST_F(MainWindowTest, BookPosterMarksAndTemplateTabsCopyBothWaysAndFollowWhatTheyNeed) {
    QStringList tabs;
    for (int i = 0; i < c().sheetTabs->count(); ++i) tabs << c().sheetTabs->tabText(i);
    EXPECT_EQ(tabs, (QStringList{"Margins", "Output page size", "Sheet", "Book", "Poster",
                                 "Slug && marks", "Template"}));
    for (QWidget* control : std::initializer_list<QWidget*>{
             c().fold, c().binding, c().cover, c().poster->Paper(), c().tile, c().overlap, c().slug,
             c().regMarks, c().colorBar, c().layoutTemplate}) {
        EXPECT_FALSE(control->toolTip().isEmpty()) << control->objectName().toStdString();
    }
    for (QWidget* control : std::initializer_list<QWidget*>{c().binding, c().cover, c().overlap})
        EXPECT_FALSE(control->isEnabled()) << control->objectName().toStdString();

    c().fold->setCurrentIndex(c().fold->findText("8 pages"));
    Q_EMIT c().fold->activated(c().fold->currentIndex());
    EXPECT_TRUE(c().binding->isEnabled());
    c().binding->setCurrentIndex(1);
    c().cover->setCurrentIndex(1);
    c().slug->setText("{file} {date}");
    QTest::keyClicks(c().slug, ";");  // a semicolon would end the value in a setup file
    c().regMarks->setChecked(true);
    c().colorBar->setChecked(true);
    c().layoutTemplate->setText("/t/two.json");
    window->CopyControlsIn();
    JobSetup expected;
    expected.fold = 8, expected.binding = "perfect", expected.cover = "separate";
    expected.slug = "{file} {date}", expected.regMarks = expected.colorBar = 1;
    expected.layoutTemplate = "/t/two.json";
    EXPECT_EQ(window->Setup(), expected);
    window->RefreshPictures();
    EXPECT_TRUE(c().example->Plan().sides.empty());  // the template's sheets: in the preview

    // Tiles: the poster size, the layout and the press marks wait; the paper does not.
    c().tile->setText("3x2");
    Q_EMIT c().tile->editingFinished();
    EXPECT_EQ(window->Setup().tile, "3x2");
    for (QWidget* control : std::initializer_list<QWidget*>{
             c().poster, c().layout, c().ab, c().slug, c().fold, c().binding, c().cropMarks,
             c().layoutTemplate, c().templateBrowse})
        EXPECT_FALSE(control->isEnabled()) << control->objectName().toStdString();
    for (QWidget* control :
         std::initializer_list<QWidget*>{c().sheet, c().outerMargin, c().overlap, c().startPage})
        EXPECT_TRUE(control->isEnabled()) << control->objectName().toStdString();
    // A tab holding a setting away from its default says so.
    EXPECT_EQ(c().sheetTabs->tabText(kBookTab), QString::fromUtf8("Book \u2022"));
    EXPECT_EQ(c().sheetTabs->tabText(kSheetTab), "Sheet");

    // A record shown again: every control shows it.
    JobSetup shown;
    shown.poster = "A1:landscape";
    shown.overlap = "12";
    shown.fold = 32;
    window->Setup() = shown;
    window->ShowValues();
    EXPECT_EQ(c().poster->Paper()->currentText(), "A1");
    EXPECT_EQ(c().fold->currentText(), "32 pages");
    EXPECT_TRUE(c().poster->isEnabled());
    window->CopyControlsIn();
    EXPECT_EQ(window->Setup(), shown);

    // Browse takes the template from its dialog.
    std::string chosen = place.working.File("cards.json");
    testing_support::WriteWholeFile(chosen, "{}");
    window->Setup() = JobSetup{};
    window->ShowValues();
    std::string title;
    ModalWatch watch([&](QWidget* modal) {
        auto* dialog = qobject_cast<QFileDialog*>(modal);
        ASSERT_NE(dialog, nullptr);
        title = dialog->windowTitle().toStdString();
        test::AcceptFileDialog(dialog, chosen);
    });
    QTest::mouseClick(c().templateBrowse, Qt::LeftButton);
    EXPECT_EQ(title, "Select layout template");
    EXPECT_EQ(window->Setup().layoutTemplate, chosen);
    EXPECT_EQ(c().layoutTemplate->text().toStdString(), chosen);
}

// The whole window, with the status bar a task shows and a window manager's title bar of 30
// pixels, fits a screen of 1280 x 800.
TEST_F(MainWindowTest, FitsASmallScreen) {
    window->ApplyTaskChoice(Task::Poster);
    QSize least = window->minimumSizeHint();
    EXPECT_LE(least.width(), 1280);
    EXPECT_LE(least.height() + 30, 800) << least.height();
}

TEST_F(MainWindowTest, OptionClicksRunTheInterlocks) {
    QTest::mouseClick(c().down, Qt::LeftButton);
    EXPECT_TRUE(c().down->isChecked());
    EXPECT_FALSE(c().across->isChecked());
    EXPECT_EQ(window->Setup().typeDown, kChosen);
    EXPECT_EQ(window->Setup().typeAcross, kNotChosen);

    QTest::mouseClick(c().split, Qt::LeftButton);
    EXPECT_TRUE(c().split->isChecked());
    EXPECT_FALSE(c().ab->isChecked());

    QTest::mouseClick(c().ab4, Qt::LeftButton);
    EXPECT_TRUE(c().ab4->isChecked());
    EXPECT_FALSE(c().split->isChecked());
    EXPECT_EQ(c().layout->currentText(), "4up");

    QTest::mouseClick(c().rotateOdd, Qt::LeftButton);
    EXPECT_TRUE(c().rotateOdd->isChecked());
    EXPECT_FALSE(c().rotateNone->isChecked());
    QTest::mouseClick(c().rotateAll, Qt::LeftButton);
    EXPECT_TRUE(c().rotateAll->isChecked());
    EXPECT_FALSE(c().rotateOdd->isChecked());

    // Clicking a chosen option keeps it chosen.
    QTest::mouseClick(c().rotateAll, Qt::LeftButton);
    EXPECT_TRUE(c().rotateAll->isChecked());
}

TEST_F(MainWindowTest, DuplexModeDialogChoosesTheOrderAndTheOuterInOrderPadsAutomatically) {
    std::string title;
    window->dialogRunner = [&](QDialog& dialog) {
        auto& duplex = dynamic_cast<DuplexModeWindow&>(dialog);
        title = duplex.windowTitle().toStdString();
        EXPECT_TRUE(duplex.OrderButton(DuplexOrder::Order1243)->isChecked());
        EXPECT_EQ(duplex.OrderButton(DuplexOrder::Order8127)->text(),
                  "Output 2up Outer-In e.g. 8,1 2,7 6,3 4,5");
        EXPECT_EQ(duplex.SaveButton()->text(), "&Save/Exit");
        EXPECT_EQ(duplex.CancelButton()->text(), "Cancel");
        QTest::mouseClick(duplex.OrderButton(DuplexOrder::Order8127), Qt::LeftButton);
        EXPECT_FALSE(duplex.OrderButton(DuplexOrder::Order1243)->isChecked());
        return DialogButton::SaveExit;
    };
    c().blankPages->setText("3");
    QTest::mouseClick(c().ab2Duplex, Qt::LeftButton);
    EXPECT_EQ(title, "2UP Duplex Mode");
    EXPECT_TRUE(c().ab2Duplex->isChecked());
    EXPECT_FALSE(c().ab->isChecked());
    EXPECT_TRUE(c().automatic->isChecked());
    EXPECT_EQ(c().blankPages->text(), "0");
    EXPECT_EQ(c().layout->currentText(), "2up");
    EXPECT_TRUE(window->Setup().IsOrderChosen(DuplexOrder::Order8127));

    // The example shows the booklet's first sheet, front and back.
    const ExamplePlan& plan = c().example->Plan();
    ASSERT_EQ(plan.sides.size(), 2u);
    EXPECT_EQ(plan.sides[0].cells[0].page, 8);
    EXPECT_EQ(plan.sides[0].cells[1].page, 1);
    EXPECT_EQ(plan.sides[1].cells[0].page, 2);
    EXPECT_EQ(plan.sides[1].cells[1].page, 7);

    // "Automatic" switched off under the outer-in order warns.
    MessageRecorder messages;
    QTest::mouseClick(c().automatic, Qt::LeftButton);
    ASSERT_EQ(messages.Messages().size(), 1u);
    EXPECT_EQ(messages.Messages()[0].text, kAutomaticNotRecommended);
    EXPECT_FALSE(c().automatic->isChecked());

    // Cancel keeps the former order.
    window->dialogRunner = [](QDialog& dialog) {
        auto& duplex = dynamic_cast<DuplexModeWindow&>(dialog);
        EXPECT_TRUE(duplex.OrderButton(DuplexOrder::Order8127)->isChecked());
        duplex.OrderButton(DuplexOrder::Order1423)->setChecked(true);
        return DialogButton::Cancel;
    };
    QTest::mouseClick(c().ab2Duplex, Qt::LeftButton);
    EXPECT_TRUE(window->Setup().IsOrderChosen(DuplexOrder::Order8127));
}

TEST_F(MainWindowTest, DuplexModeDialogRunsModallyWithItsButtons) {
    ModalWatch watch([](QWidget* modal) {
        auto* duplex = qobject_cast<DuplexModeWindow*>(modal);
        ASSERT_NE(duplex, nullptr);
        duplex->OrderButton(DuplexOrder::Order4123)->click();
        duplex->SaveButton()->click();
    });
    QTest::mouseClick(c().ab2Duplex, Qt::LeftButton);
    EXPECT_TRUE(watch.Fired());
    EXPECT_TRUE(window->Setup().IsOrderChosen(DuplexOrder::Order4123));
    EXPECT_TRUE(c().ab2Duplex->isChecked());
}

TEST_F(MainWindowTest, OneUpLayoutsOpenTheConversionModeDialog) {
    window->dialogRunner = [](QDialog& dialog) {
        auto& mode = dynamic_cast<ConversionModeWindow&>(dialog);
        EXPECT_EQ(mode.windowTitle(), "1UP Conversion Mode");
        EXPECT_TRUE(mode.HorizontalButton()->isChecked());
        EXPECT_EQ(mode.VerticalButton()->text(),
                  "Convert 2up A/B pdf to 1up pdf (split on vertical line)");
        mode.VerticalButton()->click();
        mode.OffsetEdit()->setText("12");
        mode.ReorderCheck()->setChecked(true);
        return DialogButton::SaveExit;
    };
    int index = c().layout->findText("1up Split on Horizontal");
    c().layout->setCurrentIndex(index);
    Q_EMIT c().layout->textActivated(c().layout->currentText());
    EXPECT_EQ(c().layout->currentText(), "1up Split on Vertical");
    EXPECT_EQ(window->Setup().offsetSplit, 12);
    EXPECT_EQ(window->Setup().reorder1, 1);
}

TEST_F(MainWindowTest, DropsOnTheOutputRowSetTheOutputAndElsewhereTheInput) {
    ConfigPlace files;
    std::string in = files.working.File("a.pdf");
    std::string out = files.working.File("b.pdf");
    testing_support::WriteWholeFile(in, "x");
    testing_support::WriteWholeFile(out, "y");
    QPoint outputRow = c().output->mapTo(window.get(), c().output->rect().center());
    window->DropFiles({QString::fromStdString(out)}, outputRow);
    EXPECT_EQ(c().output->text().toStdString(), out);
    EXPECT_EQ(window->Setup().outFile, out);
    // A point at the same height far to the left is on the Output row too.
    window->DropFiles({QString::fromStdString(in)}, QPoint(2, outputRow.y()));
    EXPECT_EQ(window->Setup().outFile, in);
    QPoint elsewhere = c().startPage->mapTo(window.get(), c().startPage->rect().center());
    window->DropFiles({QString::fromStdString(in)}, elsewhere);
    EXPECT_EQ(c().input->text().toStdString(), in);
    // Folders are passed over.
    window->DropFiles({QString::fromStdString(files.user.Path())}, elsewhere);
    EXPECT_EQ(window->Setup().inFile, in);
}

TEST_F(MainWindowTest, ViewOpensTheFileOrSaysNoFile) {
    MessageRecorder messages;
    QTest::mouseClick(c().inputView, Qt::LeftButton);
    ASSERT_EQ(messages.Messages().size(), 1u);
    EXPECT_EQ(messages.Messages()[0].text, "No file");
    EXPECT_TRUE(opened.empty());
    c().output->setText("/tmp/some output.pdf");
    window->CopyControlsIn();
    QTest::mouseClick(c().outputView, Qt::LeftButton);
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(opened[0], "/tmp/some output.pdf");
}

TEST_F(MainWindowTest, EnterAndEscapeAreIgnored) {
    bool imposed = false;
    QObject::connect(c().impose, &QPushButton::clicked, [&] { imposed = true; });
    c().startPage->setFocus();
    QTest::keyClick(c().startPage, Qt::Key_Return);
    QTest::keyClick(c().startPage, Qt::Key_Escape);
    QTest::keyClick(window.get(), Qt::Key_Enter);
    EXPECT_TRUE(window->isVisible());
    EXPECT_FALSE(imposed);
}

TEST_F(MainWindowTest, CtrlDStartsTheDebugLog) {
    MessageRecorder messages;
    window->activateWindow();
    window->Actions().startDebug->trigger();
    EXPECT_TRUE(window->Log().IsOn());
    ASSERT_EQ(messages.Messages().size(), 1u);
    EXPECT_EQ(messages.Messages()[0].text, "Debugging started");
    EXPECT_EQ(testing_support::ReadWholeFile(window->Log().Path()), "Debug Started v1.18\r\n");
}

// The Close button, the title bar's close and Alt+F4 (a close event from the window manager)
// all save the settings; a second close saves nothing more.
TEST_F(MainWindowTest, EveryWayOfClosingSavesDefaultPlf) {
    c().input->setText("kept.pdf");
    QTest::mouseClick(c().close, Qt::LeftButton);
    EXPECT_FALSE(window->isVisible());
    std::string saved = testing_support::ReadWholeFile(place.Folder().PathOf(kDefaultSetupName));
    EXPECT_NE(saved.find("INFILE;kept.pdf\r\n"), std::string::npos);

    for (const char* input : {"by title bar.pdf", "by Alt+F4.pdf"}) {
        MainWindow other(place.Folder());
        other.show();
        other.Controls().input->setText(input);
        if (std::string(input) == "by title bar.pdf") {
            other.close();
        } else {
            QCloseEvent event;
            QApplication::sendEvent(&other, &event);
            EXPECT_TRUE(event.isAccepted());
        }
        saved = testing_support::ReadWholeFile(place.Folder().PathOf(kDefaultSetupName));
        EXPECT_NE(saved.find("INFILE;" + std::string(input) + "\r\n"), std::string::npos);
        other.Controls().input->setText("after the end.pdf");
        other.EndSession();
        EXPECT_EQ(testing_support::ReadWholeFile(place.Folder().PathOf(kDefaultSetupName)), saved);
    }
}

TEST_F(MainWindowTest, SaveSettingsAsAndLoadSettingsUseTheirFileDialogs) {
    ConfigPlace files;
    std::string name = files.working.File("job.plf");
    c().layout->setCurrentText("3up");
    c().input->setText("first.pdf");
    std::string dialogTitle;
    {
        MessageRecorder messages;
        ModalWatch watch([&](QWidget* modal) {
            auto* dialog = qobject_cast<QFileDialog*>(modal);
            ASSERT_NE(dialog, nullptr);
            dialogTitle = dialog->windowTitle().toStdString();
            test::AcceptFileDialog(dialog, name);
        });
        window->SaveSettingsAs();
        test::WaitFor([&] { return !messages.Messages().empty(); }, 3000);
        ASSERT_EQ(messages.Messages().size(), 1u);
        EXPECT_EQ(messages.Messages()[0].text, "Saved to file: " + name);
    }
    EXPECT_EQ(dialogTitle, "Save Velmora Setup File");
    EXPECT_EQ(window->Files().CurrentName(), name);

    c().layout->setCurrentText("4up");
    c().input->setText("second.pdf");
    window->CopyControlsIn();
    ModalWatch watch([&](QWidget* modal) {
        auto* dialog = qobject_cast<QFileDialog*>(modal);
        ASSERT_NE(dialog, nullptr);
        dialogTitle = dialog->windowTitle().toStdString();
        test::AcceptFileDialog(dialog, name);
    });
    window->LoadSettings();
    EXPECT_EQ(dialogTitle, "Open Velmora Setup File");
    EXPECT_EQ(c().layout->currentText(), "3up");
    // Without override the input already named stays.
    EXPECT_EQ(c().input->text(), "second.pdf");
}

TEST_F(MainWindowTest, BrowseChoosesTheInputWithItsDialog) {
    ConfigPlace files;
    std::string in = files.working.File("chosen.pdf");
    testing_support::WriteWholeFile(in, "%PDF-1.4\n");
    std::string title, filter;
    ModalWatch watch([&](QWidget* modal) {
        auto* dialog = qobject_cast<QFileDialog*>(modal);
        ASSERT_NE(dialog, nullptr);
        title = dialog->windowTitle().toStdString();
        filter = dialog->nameFilters().join(";;").toStdString();
        test::AcceptFileDialog(dialog, in);
    });
    QTest::mouseClick(c().inputBrowse, Qt::LeftButton);
    EXPECT_EQ(title, "Select pdf file");
    EXPECT_NE(filter.find("*.pdf *.doc *.docx"), std::string::npos);
    EXPECT_NE(filter.find("All Files (*)"), std::string::npos);
    EXPECT_EQ(c().input->text().toStdString(), in);
}

// With the Output field empty, it shows the name proposed beside the input, and its Browse
// opens in the input's folder on that name.
TEST_F(MainWindowTest, AnEmptyOutputProposesANameBesideTheInput) {
    ConfigPlace files;
    std::string in = files.working.File("report.pdf");
    testing_support::WriteWholeFile(in, "%PDF-1.4\n");
    window->Setup().inFile = in;
    window->ShowValues();
    window->RefreshPictures();
    EXPECT_EQ(c().output->placeholderText().toStdString(), files.working.File("report-2up.pdf"));
    window->dialogRunner = [](QDialog&) { return DialogButton::SaveExit; };
    c().ab2Duplex->click();
    EXPECT_EQ(c().output->placeholderText().toStdString(),
              files.working.File("report-booklet.pdf"));

    std::string directory, selected;
    ModalWatch watch([&](QWidget* modal) {
        auto* dialog = qobject_cast<QFileDialog*>(modal);
        ASSERT_NE(dialog, nullptr);
        directory = dialog->directory().absolutePath().toStdString();
        selected = dialog->selectedFiles().value(0).toStdString();
        dialog->reject();
    });
    QTest::mouseClick(c().outputBrowse, Qt::LeftButton);
    EXPECT_EQ(directory, files.working.Path());
    EXPECT_EQ(selected, files.working.File("report-booklet.pdf"));
    EXPECT_EQ(c().output->text().toStdString(), "");  // nothing chosen, nothing set
}

// "Test sheet..." offers a name beside the input and writes the job's test sheet through the
// real engine: both sides the size of the job's sheet. Without an input or back sides it is
// disabled, its tip saying why.
TEST_F(MainWindowTest, TestSheetWritesBothSidesOfTheJobsSheet) {
    auto tipSays = [&](const char* why) {
        return c().testSheet->toolTip().toStdString().find(why) != std::string::npos;
    };
    EXPECT_FALSE(c().testSheet->isEnabled());
    EXPECT_TRUE(tipSays("Needs an input file"));
    std::string input = place.working.File("cards.pdf");
    testing_support::PdfFromPostScript(testing_support::NumberedPagesPostScript(2, 252, 144),
                                       input);
    c().input->setText(QString::fromStdString(input));
    c().sheet->SetText(QStringLiteral("A4:portrait"));
    c().repeat->setChecked(true);
    Q_EMIT c().input->editingFinished();
    EXPECT_FALSE(c().testSheet->isEnabled());
    EXPECT_TRUE(tipSays("The layout prints no back sides"));
    c().duplexBacks->click();
    Q_EMIT c().input->editingFinished();
    ASSERT_TRUE(c().testSheet->isEnabled());

    std::string sheet = place.working.File("cards-calibration.pdf");
    std::string offered;
    ModalWatch watch([&](QWidget* modal) {
        auto* dialog = qobject_cast<QFileDialog*>(modal);
        ASSERT_NE(dialog, nullptr);
        offered = dialog->selectedFiles().value(0).toStdString();
        // The window's own Replace question guards the file, not the dialog's.
        EXPECT_TRUE(dialog->testOption(QFileDialog::DontConfirmOverwrite));
        test::AcceptFileDialog(dialog, offered);
    });
    MessageRecorder messages;  // a failure's message would show here
    QTest::mouseClick(c().testSheet, Qt::LeftButton);
    EXPECT_TRUE(messages.Messages().empty()) << messages.Messages().front().text;
    EXPECT_EQ(offered, sheet);
    EXPECT_EQ(window->statusBar()->currentMessage().toStdString(), CalibrationWrittenText(sheet));
    std::string report;
    EXPECT_TRUE(testing_support::QpdfCheckClean(sheet, &report)) << report;
    ASSERT_EQ(testing_support::PageCount(sheet), 2);
    for (int page : {1, 2}) {
        testing_support::PageSize size = testing_support::PdfPageSize(sheet, page);
        EXPECT_NEAR(size.width, 595.28, 0.5);
        EXPECT_NEAR(size.height, 841.89, 0.5);
    }
}

TEST_F(MainWindowTest, HelpCommandsOpenTheirAddresses) {
    window->Actions().htmlHelp->trigger();
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_TRUE(opened[0].ends_with("/share/velmora/help/index.html")) << opened[0];
    EXPECT_TRUE(std::filesystem::exists(opened[0]));
    opened.clear();
    window->Actions().homepage->trigger();
    window->Actions().forum->trigger();
    window->Actions().supportMail->trigger();
    ASSERT_EQ(opened.size(), 3u);
    EXPECT_EQ(opened[0], "https://velmora.example.org/");
    EXPECT_EQ(opened[2].rfind("mailto:support@velmora.example.org?subject=Velmora%20DE&body=", 0),
              0u);
    EXPECT_NE(opened[2].find("Product%20Version%20%3A%201.23"), std::string::npos);

    MessageRecorder messages;
    ModalWatch watch([&](QWidget* modal) {
        auto* dialog = qobject_cast<EmailAddressWindow*>(modal);
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(dialog->windowTitle(), "Updates & News by Email");
        dialog->AddressEdit()->setText("nobody");
        dialog->SubmitButton()->click();  // refused: no at sign
        dialog->AddressEdit()->setText("me@example.com");
        dialog->SubmitButton()->click();
    });
    window->Actions().subscribeProduct->trigger();
    ASSERT_EQ(messages.Messages().size(), 1u);
    EXPECT_NE(messages.Messages()[0].text.find("email address"), std::string::npos);
    EXPECT_NE(messages.Messages()[0].text.find("@example.com"), std::string::npos);
    ASSERT_EQ(opened.size(), 4u);
    EXPECT_EQ(opened[3],
              "https://velmora.example.org/subscribe?list=velmora-de&email=me%40example.com");
}

TEST_F(MainWindowTest, EverySettingHasOneControlNamedAfterItsKey) {
    for (const SetupKey& key : SetupKeys()) {
        // The batch window's folder, and the split options of their own dialog.
        if (key.key == "OUTFOLDER" || key.key == "OFFSETSPLIT" || key.key == "REORDER1") continue;
        EXPECT_NE(window->findChild<QWidget*>(QString::fromUtf8(key.key.data(), key.key.size())),
                  nullptr)
            << key.key;
    }
}

TEST_F(MainWindowTest, TheTabKeyReachesEverySettingOnceBetweenInputAndClose) {
    std::vector<QString> reached;
    QWidget* widget = c().input;
    while (widget != c().close) {
        // Qt names the parts of its own widgets (the tab bar) "qt_...".
        QString name = widget->objectName();
        if ((widget->focusPolicy() & Qt::TabFocus) && !name.isEmpty() && !name.startsWith("qt_"))
            reached.push_back(name);
        widget = widget->nextInFocusChain();
        ASSERT_NE(widget, c().input) << "the chain never reached Close";
    }
    std::vector<QString> keys;
    for (const SetupKey& key : SetupKeys()) {
        if (key.key == "OUTFOLDER" || key.key == "OFFSETSPLIT" || key.key == "REORDER1") continue;
        keys.push_back(QString::fromUtf8(key.key.data(), key.key.size()));
    }
    std::vector<QString> once = reached;
    std::sort(once.begin(), once.end());
    std::sort(keys.begin(), keys.end());
    EXPECT_EQ(once, keys);
    EXPECT_EQ(reached.front(), QStringLiteral("INFILE"));
    EXPECT_EQ(reached.back(), QStringLiteral("DONTCLEANFILE"));
}

TEST_F(MainWindowTest, SaysWhenNoProgramCanOpenAFileOrAddress) {
    window->SetOpener([](const std::string&) { return false; });
    MessageRecorder messages;
    window->Setup().inFile = "/some/in.pdf";
    window->ViewInput();
    window->Actions().homepage->trigger();
    ASSERT_EQ(messages.Messages().size(), 2u);
    EXPECT_EQ(messages.Messages()[0].text.rfind("No program could open /some/in.pdf", 0), 0u);
    EXPECT_EQ(messages.Messages()[1].text.rfind("No program could open https://", 0), 0u);
}

TEST_F(MainWindowTest, TheLastPageFieldShowsFiveDigitsWhole) {
    window->show();
    QLineEdit* end = c().endPage;
    end->setText(QStringLiteral("99999"));
    QMargins margins = end->textMargins() + end->contentsMargins();
    EXPECT_GE(end->width() - margins.left() - margins.right(),
              end->fontMetrics().horizontalAdvance(QStringLiteral("99999")));
}

TEST_F(MainWindowTest, ProgressAndCancelGoThroughThePort) {
    window->Port().Progress(3);
    EXPECT_EQ(c().progress->value(), 3 * kBarUnitsPerStep);
    // A step's work moves the bar toward the next position, never onto it.
    window->Port().StepProgress(1, 2);
    EXPECT_EQ(c().progress->value(), 3 * kBarUnitsPerStep + (kBarUnitsPerStep - 1) / 2);
    window->Port().StepProgress(7, 7);
    EXPECT_EQ(c().progress->value(), 4 * kBarUnitsPerStep - 1);
    window->Port().Progress(0);
    EXPECT_EQ(c().progress->value(), c().progress->minimum() - 1);
    window->Port().RequestCancel();
    EXPECT_TRUE(window->Port().HandlePendingMessages());
    EXPECT_FALSE(window->Port().HandlePendingMessages());
}

// Puts `source` into the hot folder's in/ whole, by a rename, as a well-behaved sender does.
void DropInto(const std::string& source, const std::string& folder, const std::string& name) {
    std::filesystem::copy_file(source, folder + "/" + name + ".part");
    std::filesystem::rename(folder + "/" + name + ".part", folder + "/in/" + name);
}

TEST_F(MainWindowTest, WatchFolderImposesArrivalsWithTheWindowsJobAndListsDoneAndFailed) {
    EXPECT_EQ(window->Actions().watchFolder->text(), "Watch Folder...");
    window->Setup().dontCleanFile = 1;
    window->ShowValues();
    WatchFolderDialog* dialog = window->WatchFolder();
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_FALSE(dialog->StartWatching());
    EXPECT_EQ(dialog->StatusLabel()->text(), "Name the folder to watch.");

    testing_support::ScratchDir dir;
    std::string folder = dir.File("hot folder");
    dialog->FolderEdit()->setText(QString::fromStdString(folder));
    QTest::mouseClick(dialog->StartStopButton(), Qt::LeftButton);
    ASSERT_TRUE(dialog->Watching());
    EXPECT_EQ(dialog->StartStopButton()->text(), "Stop");
    EXPECT_FALSE(dialog->FolderEdit()->isEnabled());

    // The watch makes the folders on its own thread.
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return std::filesystem::is_directory(folder + "/in"); }, 60000));
    std::string card = testing_support::SourceDir() + "/gridane/tests/data/latex-card-85x55.pdf";
    DropInto(card, folder, "card.pdf");
    testing_support::WriteWholeFile(dir.File("broken.pdf"), "%PDF-1.4\ntrailer <<>>\n");
    DropInto(dir.File("broken.pdf"), folder, "broken.pdf");
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return dialog->DoneList()->count() == 1 && dialog->FailedList()->count() == 1; },
        120000));
    EXPECT_TRUE(dialog->DoneList()->item(0)->text().contains("card.pdf"));
    EXPECT_TRUE(dialog->FailedList()->item(0)->text().contains("broken.pdf"));
    EXPECT_TRUE(std::filesystem::exists(folder + "/out/card.pdf"));
    EXPECT_TRUE(std::filesystem::exists(folder + "/error/broken.pdf"));

    QTest::mouseClick(dialog->StartStopButton(), Qt::LeftButton);
    EXPECT_FALSE(dialog->Watching());
    EXPECT_EQ(dialog->StartStopButton()->text(), "Start");
    EXPECT_EQ(dialog->StatusLabel()->text(), "Not watching.");
}

TEST_F(MainWindowTest, TheProgressBarNamesTheRunningStep) {
    // A real job: the steps its run names reach the bar, from the worker thread.
    std::string input = place.working.File("in.pdf");
    testing_support::PdfFromPostScript(testing_support::NumberedPagesPostScript(2), input);
    c().input->setText(QString::fromStdString(input));
    c().output->setText(QString::fromStdString(place.working.File("out.pdf")));
    c().dontClean->setChecked(true);
    std::vector<QString> shown;
    QObject::connect(c().progress, &QProgressBar::valueChanged, [&] {
        if (c().progress->isTextVisible()) shown.push_back(c().progress->format());
    });
    MessageRecorder messages;
    window->Impose();
    ASSERT_FALSE(messages.Messages().empty());
    EXPECT_EQ(messages.Messages().back().text, "Done!");
    EXPECT_NE(std::find(shown.begin(), shown.end(), QStringLiteral("Imposing")), shown.end());
    // Once the job has ended the bar names nothing.
    EXPECT_FALSE(c().progress->isTextVisible());
}

}  // namespace
}  // namespace desktop::ui
