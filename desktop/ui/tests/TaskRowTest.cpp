// The "Task" row and the "Presets" menu of the main window on the offscreen platform.
#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QRadioButton>
#include <QStatusBar>
#include <QTest>
#include <QToolButton>
#include <filesystem>

#include "UiTestSupport.h"
#include "desktop/core/Presets.h"
#include "desktop/ui/MainWindow.h"
#include "desktop/ui/QtText.h"
#include "desktop/ui/SheetSizeEdit.h"
#include "desktop/ui/TaskRow.h"

namespace desktop::ui {
namespace {

using test::ConfigPlace;
using test::MessageRecorder;
using test::ModalWatch;

class TaskRowTest : public ::testing::Test {
  protected:
    void SetUp() override {
        window = test::ShownMainWindow(place);
        // No dialog may open from a task: the row sets what the dialogs would.
        window->dialogRunner = [this](QDialog&) {
            ++dialogs;
            return DialogButton::Cancel;
        };
    }
    const MainControls& c() { return window->Controls(); }
    void Click(Task task) { QTest::mouseClick(c().tasks->Button(task), Qt::LeftButton); }

    // Answers the name dialog of "Save as Preset..." with `name`.
    void SaveAs(const QString& name) {
        ModalWatch watch([&](QWidget* modal) {
            auto* dialog = qobject_cast<QInputDialog*>(modal);
            ASSERT_NE(dialog, nullptr);
            dialog->setTextValue(name);
            dialog->accept();
        });
        window->Actions().savePreset->trigger();
        EXPECT_TRUE(watch.Fired());
    }
    // The entries of the Presets menu as it opens.
    QStringList Entries(QMenu* menu) {
        window->RebuildPresetsMenu();
        QStringList entries;
        for (QAction* action : menu->actions()) {
            if (!action->isSeparator() && action->menu() == nullptr) entries << action->text();
        }
        return entries;
    }
    // An entry of the menu as it opens (the delete menu is made anew each time).
    QAction* Entry(QMenu* MainActions::*menu, const QString& text) {
        window->RebuildPresetsMenu();
        for (QAction* action : (window->Actions().*menu)->actions()) {
            if (action->text() == text) return action;
        }
        return nullptr;
    }

    ConfigPlace place;
    std::unique_ptr<MainWindow> window;
    int dialogs = 0;
};

TEST_F(TaskRowTest, EachButtonSetsTheControlsAndSaysWhatItSet) {
    QStringList captions;
    for (Task task : Tasks()) {
        QToolButton* button = c().tasks->Button(task);
        captions << button->text();
        EXPECT_FALSE(button->icon().isNull());
        EXPECT_FALSE(button->toolTip().isEmpty());
    }
    EXPECT_EQ(captions, (QStringList{"Booklet", "Cards", "N-up", "Cut and stack", "Split pages",
                                     "Book", "Poster"}));

    c().input->setText("/jobs/in.pdf");
    Click(Task::Booklet);
    EXPECT_TRUE(c().ab2Duplex->isChecked());
    EXPECT_FALSE(c().ab->isChecked());
    EXPECT_TRUE(c().automatic->isChecked());
    EXPECT_TRUE(c().signature->isEnabled());
    EXPECT_TRUE(window->Setup().IsOrderChosen(DuplexOrder::Order8127));
    QString said = c().tasks->SummaryText();
    EXPECT_TRUE(said.startsWith("Booklet: A/B 2up (Duplex), Output 2up Outer-In")) << S(said);
    EXPECT_EQ(window->statusBar()->currentMessage(), said);
    // Whole in the tip; beside the buttons on one line however long.
    EXPECT_EQ(c().tasks->Summary()->toolTip(), said);
    EXPECT_FALSE(c().tasks->Summary()->wordWrap());

    Click(Task::Book);
    EXPECT_EQ(c().fold->currentText(), "16 pages");
    EXPECT_EQ(c().binding->currentText(), "Perfect");
    EXPECT_TRUE(c().binding->isEnabled());
    EXPECT_TRUE(c().foldMarks->isChecked());
    EXPECT_FALSE(c().ab2Duplex->isChecked());
    EXPECT_TRUE(c().tasks->SummaryText().startsWith("Book: Fold 16 pages"));

    Click(Task::Poster);
    EXPECT_EQ(c().poster->Text(), "A2");
    EXPECT_EQ(c().sheet->Text(), "A4");
    EXPECT_EQ(c().fold->currentIndex(), 0);
    EXPECT_TRUE(c().overlap->isEnabled());
    EXPECT_FALSE(c().layout->isEnabled());
    EXPECT_EQ(c().tasks->SummaryText(), "Poster: A2 on A4 sheets");

    Click(Task::Cards);
    EXPECT_TRUE(c().repeat->isChecked());
    EXPECT_FALSE(c().ab2Duplex->isChecked());
    EXPECT_EQ(c().sheet->Text(), "A4");
    EXPECT_TRUE(c().bleed->isEnabled());

    Click(Task::NUp);
    EXPECT_FALSE(c().repeat->isChecked());
    EXPECT_EQ(c().layout->currentText(), "4up");
    EXPECT_TRUE(c().ab->isChecked());
    EXPECT_TRUE(c().across->isChecked());

    Click(Task::CutAndStack);
    EXPECT_TRUE(c().split->isChecked());
    EXPECT_FALSE(c().ab->isChecked());
    EXPECT_EQ(c().tasks->SummaryText(), "Cut and stack: Split, 4up");

    Click(Task::SplitPages);
    EXPECT_EQ(c().layout->currentText(), "1up Split on Vertical");
    EXPECT_FALSE(c().split->isChecked());
    EXPECT_EQ(c().input->text(), "/jobs/in.pdf");

    // The summary stays while the settings do (another input, another range), and goes with
    // the first setting changed by hand.
    said = c().tasks->SummaryText();
    c().input->setText("/jobs/other.pdf");
    c().endPage->setText("4");
    QTest::keyClick(c().endPage, Qt::Key_Tab);
    EXPECT_EQ(c().tasks->SummaryText(), said);
    QTest::mouseClick(c().rotateLeft, Qt::LeftButton);
    EXPECT_EQ(c().tasks->SummaryText(), "");
    EXPECT_EQ(window->statusBar()->currentMessage(), "");

    EXPECT_EQ(dialogs, 0);
}

TEST_F(TaskRowTest, PresetsSaveByNameAndLoadWithOneClick) {
    QMenu* menu = window->Actions().presets;
    QStringList menus;
    for (QAction* action : window->menuBar()->actions()) menus << action->text();
    EXPECT_TRUE(menus.contains("&Presets"));
    EXPECT_EQ(Entries(menu), (QStringList{"Save as Preset...", "(no presets saved yet)"}));

    Click(Task::Book);
    c().input->setText("/jobs/first.pdf");
    SaveAs("  Book & cover ");
    EXPECT_EQ(window->statusBar()->currentMessage(), "Saved the preset \"Book & cover\".");
    Presets presets(place.Folder());
    EXPECT_TRUE(std::filesystem::is_regular_file(presets.PathOf("Book & cover")));
    EXPECT_EQ(Entries(menu), (QStringList{"Save as Preset...", "Book && cover"}));

    // Another task, another input: one click on the entry brings the settings back, not the file.
    Click(Task::Cards);
    c().input->setText("/jobs/second.pdf");
    Entry(&MainActions::presets, "Book && cover")->trigger();
    EXPECT_EQ(c().fold->currentText(), "16 pages");
    EXPECT_FALSE(c().repeat->isChecked());
    EXPECT_EQ(c().binding->currentText(), "Perfect");
    EXPECT_EQ(c().input->text(), "/jobs/second.pdf");
    EXPECT_EQ(c().tasks->SummaryText(), "Preset: Book & cover");

    {
        // A name that would leave the folder is refused with the reason; an existing one asks.
        MessageRecorder messages;
        SaveAs("../Default");
        ASSERT_EQ(messages.Messages().size(), 1u);
        EXPECT_EQ(messages.Messages()[0].text, "A preset name cannot hold \"/\" or \"\\\".");
        messages.SetButton(QMessageBox::Cancel);
        Click(Task::Cards);
        SaveAs("Book & cover");
        ASSERT_EQ(messages.Messages().size(), 2u);
        EXPECT_EQ(messages.Messages()[1].text, "Replace the preset \"Book & cover\"?");
    }
    Entry(&MainActions::presets, "Book && cover")->trigger();
    EXPECT_EQ(c().fold->currentText(), "16 pages");
    EXPECT_FALSE(std::filesystem::exists(place.Folder().PathOf("Default")));

    MessageRecorder messages;
    messages.SetButtonText("Delete");
    Entry(&MainActions::deletePreset, "Book && cover")->trigger();
    ASSERT_EQ(messages.Messages().size(), 1u);
    EXPECT_EQ(messages.Messages()[0].text, "Delete the preset \"Book & cover\"?");
    EXPECT_EQ(Entries(menu), (QStringList{"Save as Preset...", "(no presets saved yet)"}));
}

}  // namespace
}  // namespace desktop::ui
