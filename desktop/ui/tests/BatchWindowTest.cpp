// The batch list window on the offscreen platform: its columns, clicks, keys, menus, drops,
// list files, the folder dialog's checks and the closing rule.
#include <gtest/gtest.h>

#include <QAction>
#include <QFileDialog>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>
#include <QTreeWidget>
#include <filesystem>

#include "UiTestSupport.h"
#include "desktop/core/FolderRules.h"
#include "desktop/ui/BatchWindow.h"
#include "desktop/ui/FolderDialog.h"
#include "desktop/ui/MainWindow.h"
#include "testing/Tools.h"

namespace desktop::ui {
namespace {

using test::ConfigPlace;
using test::MessageRecorder;
using test::ModalWatch;

class BatchWindowTest : public ::testing::Test {
  protected:
    void SetUp() override {
        main = std::make_unique<MainWindow>(place.Folder());
        main->show();
        main->Start();
        batch = main->PrepareList();
    }
    std::string MakeFile(const std::string& name) {
        std::string path = files.working.File(name);
        std::filesystem::create_directories(std::filesystem::path(path).parent_path());
        testing_support::WriteWholeFile(path, "%PDF-1.4\n");
        return path;
    }
    QStringList Column(int column) {
        QStringList texts;
        for (int i = 0; i < batch->Rows()->topLevelItemCount(); ++i)
            texts << batch->Rows()->topLevelItem(i)->text(column);
        return texts;
    }
    void ClickRow(int row) {
        QTreeWidgetItem* item = batch->Rows()->topLevelItem(row);
        QRect rect = batch->Rows()->visualItemRect(item);
        QTest::mouseClick(batch->Rows()->viewport(), Qt::LeftButton, {}, rect.center());
    }

    ConfigPlace place;
    ConfigPlace files;
    std::unique_ptr<MainWindow> main;
    BatchWindow* batch = nullptr;
};

TEST_F(BatchWindowTest, HasItsColumnsMenusAndButtons) {
    EXPECT_EQ(batch->windowTitle(), "Prepare batch list");
    QTreeWidget* rows = batch->Rows();
    ASSERT_EQ(rows->columnCount(), 3);
    EXPECT_EQ(rows->headerItem()->text(0), "Use");
    EXPECT_EQ(rows->headerItem()->text(1), "Filename");
    EXPECT_EQ(rows->headerItem()->text(2), "Status");
    EXPECT_EQ(rows->columnWidth(0), 82);
    EXPECT_EQ(rows->columnWidth(1), 385);
    EXPECT_EQ(rows->columnWidth(2), 90);
    EXPECT_EQ(rows->selectionBehavior(), QAbstractItemView::SelectRows);
    EXPECT_TRUE(rows->header()->sectionsMovable());
    QStringList menus;
    for (QAction* action : batch->menuBar()->actions()) menus << action->text();
    EXPECT_EQ(menus, (QStringList{"&File", "&Action"}));
    const BatchActions& a = batch->Actions();
    EXPECT_EQ(a.addFile->text(), "Add a Single PDF File to List");
    EXPECT_EQ(a.scan->text(), "&Scan for files");
    EXPECT_EQ(a.loadList->text(), "Load List");
    EXPECT_EQ(a.appendList->text(), "Append List");
    EXPECT_EQ(a.saveList->text(), "Save List");
    EXPECT_EQ(a.saveListAs->text(), "SaveAs List");
    EXPECT_EQ(a.exit->text(), "&Exit");
    EXPECT_EQ(a.deleteRows->shortcut(), QKeySequence(Qt::Key_Delete));
    EXPECT_EQ(a.moveUp->shortcut(), QKeySequence(Qt::ALT | Qt::Key_Up));
    EXPECT_EQ(a.moveDown->shortcut(), QKeySequence(Qt::ALT | Qt::Key_Down));
    EXPECT_EQ(a.openAll->text(), "Open All");
    EXPECT_EQ(a.openAllReverse->text(), "Open All in Reverse");
    EXPECT_EQ(batch->ClearButton()->text(), "&Clear ALL");
    EXPECT_EQ(batch->CloseButton()->text(), "&Close");
    EXPECT_EQ(batch->BrowseButton()->text(), "Browse");
}

TEST_F(BatchWindowTest, DropsAddFilesAndScanFolders) {
    std::string a = MakeFile("a.pdf");
    MakeFile("tree/b.PDF");
    MakeFile("tree/c.pdf.txt");
    MakeFile("tree/d.txt");
    MakeFile("tree/data.bin");
    MakeFile("tree/.hidden/e.pdf");
    batch->AddPaths(
        {QString::fromStdString(a), QString::fromStdString(files.working.File("tree"))});
    QStringList names = Column(1);
    ASSERT_EQ(names.size(), 4);  // a text file converts; data.bin does not
    EXPECT_EQ(names[0].toStdString(), a);
    EXPECT_TRUE(names.contains(QString::fromStdString(files.working.File("tree/b.PDF"))));
    EXPECT_TRUE(names.contains(QString::fromStdString(files.working.File("tree/c.pdf.txt"))));
    EXPECT_TRUE(names.contains(QString::fromStdString(files.working.File("tree/d.txt"))));
    EXPECT_EQ(Column(0), (QStringList{"Yes", "Yes", "Yes", "Yes"}));
    EXPECT_EQ(Column(2), (QStringList{"Ready.", "Ready.", "Ready.", "Ready."}));
}

TEST_F(BatchWindowTest, ClicksToggleAndKeysDeleteAndMove) {
    std::string a = MakeFile("a.pdf"), b = MakeFile("b.pdf"), c = MakeFile("c.pdf");
    batch->AddPaths(
        {QString::fromStdString(a), QString::fromStdString(b), QString::fromStdString(c)});
    ClickRow(1);
    EXPECT_EQ(Column(0), (QStringList{"Yes", "No", "Yes"}));
    EXPECT_EQ(Column(2)[1], "");
    ClickRow(1);
    EXPECT_EQ(Column(0)[1], "Yes");
    EXPECT_EQ(Column(2)[1], "Ready.");

    // Row 1 is selected by the clicks: Alt+Up moves it up, Alt+Down down.
    batch->activateWindow();
    QApplication::setActiveWindow(batch);
    ASSERT_TRUE(QTest::qWaitForWindowActive(batch));
    batch->Rows()->setFocus();
    QTest::keyClick(batch->Rows(), Qt::Key_Up, Qt::AltModifier);
    EXPECT_EQ(Column(1)[0].toStdString(), b);
    EXPECT_TRUE(batch->Rows()->topLevelItem(0)->isSelected());
    QTest::keyClick(batch->Rows(), Qt::Key_Down, Qt::AltModifier);
    batch->Actions().moveDown->trigger();
    EXPECT_EQ(Column(1)[2].toStdString(), b);
    EXPECT_EQ(batch->Actions().moveDown->shortcut(), QKeySequence(Qt::ALT | Qt::Key_Down));
    // At the end nothing moves.
    batch->Actions().moveDown->trigger();
    EXPECT_EQ(Column(1)[2].toStdString(), b);
    batch->Actions().deleteRows->trigger();
    EXPECT_EQ(Column(1).size(), 2);
    EXPECT_FALSE(Column(1).contains(QString::fromStdString(b)));
    // Clear ALL asks first; clearing also clears what the last run said.
    batch->ShowProgress({2, 2, std::nullopt, true, ""});
    for (const QString& answer : {QStringLiteral("Cancel"), QStringLiteral("Clear")}) {
        MessageRecorder messages(QMessageBox::Cancel);
        messages.SetButtonText(answer);
        batch->ClearButton()->click();
        ASSERT_EQ(messages.Messages().size(), 1u);
        EXPECT_EQ(messages.Messages()[0].text, "Clear all 2 rows of the list?");
    }
    EXPECT_EQ(batch->Rows()->topLevelItemCount(), 0);
    EXPECT_EQ(batch->ProgressText()->text(), "");
}

TEST_F(BatchWindowTest, ListFilesAreSavedLoadedAndClosingWritesTheDefaultList) {
    std::string a = MakeFile("a.pdf"), b = MakeFile("b.pdf");
    batch->AddPaths({QString::fromStdString(a), QString::fromStdString(b)});
    ClickRow(1);  // "No"
    std::string listName = files.working.File("jobs.lst");
    {
        MessageRecorder messages;
        ModalWatch watch([&](QWidget* modal) {
            auto* dialog = qobject_cast<QFileDialog*>(modal);
            ASSERT_NE(dialog, nullptr);
            EXPECT_EQ(dialog->windowTitle(), "Save List File");
            test::AcceptFileDialog(dialog, listName);
        });
        batch->Actions().saveListAs->trigger();
        test::WaitFor([&] { return !messages.Messages().empty(); }, 3000);
        ASSERT_EQ(messages.Messages().size(), 1u);
        EXPECT_EQ(messages.Messages()[0].text, "List saved to file: " + listName);
    }
    EXPECT_EQ(testing_support::ReadWholeFile(listName), a + "||\r\n~" + b + "||\r\n");

    {
        MessageRecorder clear;
        clear.SetButtonText("Clear");
        batch->ClearButton()->click();
    }
    ModalWatch watch([&](QWidget* modal) {
        auto* dialog = qobject_cast<QFileDialog*>(modal);
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(dialog->windowTitle(), "Open List File");
        test::AcceptFileDialog(dialog, listName);
    });
    batch->Actions().loadList->trigger();
    EXPECT_EQ(Column(0), (QStringList{"Yes", "No"}));

    // An unreadable list: its name as the text, "Can't read list file." as the title.
    {
        MessageRecorder messages;
        batch->ReadList(files.working.File("missing.lst"));
        ASSERT_EQ(messages.Messages().size(), 1u);
        EXPECT_EQ(messages.Messages()[0].title, "Can't read list file.");
        EXPECT_EQ(messages.Messages()[0].text, files.working.File("missing.lst"));
    }

    MessageRecorder none;
    batch->CloseButton()->click();
    EXPECT_FALSE(batch->isVisible());
    EXPECT_TRUE(none.Messages().empty());
    std::string written = testing_support::ReadWholeFile(place.Folder().PathOf("default.lst"));
    EXPECT_EQ(written, a + "||\r\n~" + b + "||\r\n");
    // "Prepare a List" shows the same window again.
    EXPECT_EQ(main->PrepareList(), batch);
    EXPECT_EQ(Column(0).size(), 2);
}

TEST_F(BatchWindowTest, ClosingAnEmptyListWritesNoFile) {
    batch->CloseButton()->click();
    EXPECT_FALSE(std::filesystem::exists(place.Folder().PathOf("default.lst")));
}

TEST_F(BatchWindowTest, FolderDialogChecksWhatIsTyped) {
    FolderDialog dialog(QStringLiteral("Folder to save documents to..."),
                        QStringLiteral("Please choose your folder to save documents to..."),
                        QString::fromStdString(files.working.Path()));
    dialog.show();
    EXPECT_TRUE(dialog.OkButton()->isEnabled());
    dialog.PathEdit()->clear();
    EXPECT_FALSE(dialog.OkButton()->isEnabled());

    MessageRecorder messages(QMessageBox::No);
    dialog.PathEdit()->setText("relative");
    dialog.OkButton()->click();
    EXPECT_TRUE(dialog.isVisible());
    std::string missing = files.working.File("made/later");
    dialog.PathEdit()->setText(QString::fromStdString(missing));
    dialog.OkButton()->click();  // answered No: stays open
    EXPECT_TRUE(dialog.isVisible());
    std::string impossible = MakeFile("plain.pdf") + "/inside";
    messages.SetButton(QMessageBox::Yes);
    dialog.PathEdit()->setText(QString::fromStdString(impossible));
    dialog.OkButton()->click();  // Yes, but it can not be created
    EXPECT_TRUE(dialog.isVisible());
    dialog.PathEdit()->setText(QString::fromStdString(missing));
    dialog.OkButton()->click();  // Yes: accepted, not created
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.Folder().toStdString(), missing);
    EXPECT_FALSE(std::filesystem::exists(missing));
    ASSERT_EQ(messages.Messages().size(), 5u);
    EXPECT_EQ(messages.Messages()[0].text, FolderInvalidMessage("relative"));
    EXPECT_EQ(messages.Messages()[1].text, FolderMissingQuestion(missing));
    EXPECT_EQ(messages.Messages()[2].text, FolderMissingQuestion(impossible));
    EXPECT_EQ(messages.Messages()[3].text, FolderCannotBeCreatedMessage(impossible));
    EXPECT_EQ(messages.Messages()[4].text, FolderMissingQuestion(missing));
}

TEST_F(BatchWindowTest, BrowseSetsTheOutputFolderThroughTheFolderDialog) {
    std::string title;
    ModalWatch watch([&](QWidget* modal) {
        auto* dialog = qobject_cast<FolderDialog*>(modal);
        ASSERT_NE(dialog, nullptr);
        title = dialog->windowTitle().toStdString();
        dialog->PathEdit()->setText(QString::fromStdString(files.user.Path()));
        dialog->OkButton()->click();
    });
    batch->BrowseButton()->click();
    EXPECT_EQ(title, "Folder to save documents to...");
    EXPECT_EQ(batch->OutputFolder(), files.user.Path());
    main->CopyControlsIn();
    EXPECT_EQ(main->Setup().outFolder, files.user.Path());
}

TEST_F(BatchWindowTest, ScanForFilesUsesTheFolderDialogAndSaysFilesLoaded) {
    MakeFile("scan/one.pdf");
    MakeFile("scan/deeper/two.pdf");
    MakeFile("scan/three.txt");
    std::string title;
    ModalWatch watch([&](QWidget* modal) {
        auto* dialog = qobject_cast<FolderDialog*>(modal);
        ASSERT_NE(dialog, nullptr);
        title = dialog->windowTitle().toStdString();
        dialog->PathEdit()->setText(QString::fromStdString(files.working.File("scan")));
        dialog->OkButton()->click();
    });
    MessageRecorder messages;
    batch->Actions().scan->trigger();
    EXPECT_EQ(title, "Drive or Directory to load...");
    ASSERT_EQ(messages.Messages().size(), 1u);
    EXPECT_EQ(messages.Messages()[0].text, "Files Loaded");
    EXPECT_EQ(Column(1).size(), 3);  // three.txt converts
}

TEST_F(BatchWindowTest, TheProcessCommandAsksAboutAPreparedList) {
    batch->AddPaths({QString::fromStdString(MakeFile("a.pdf"))});
    MessageRecorder messages(QMessageBox::Cancel);
    main->Impose();
    ASSERT_EQ(messages.Messages().size(), 1u);
    EXPECT_EQ(messages.Messages()[0].text,
              "Do you wish to process batch list now ?\n\nThe batch list default.lst has 1 row.\n"
              "Yes: process the list. No: impose only the input file.");
    EXPECT_EQ(messages.Messages()[0].title, "Process");
    // Cancel: nothing ran and the list stays.
    EXPECT_EQ(main->Batch(), batch);
    EXPECT_EQ(Column(2)[0], "Ready.");
}

// Rows run side by side off the window's thread: the statuses and the progress reach the window
// through its own thread, the list is locked meanwhile, and the setting is the session's.
TEST_F(BatchWindowTest, RunsRowsAtOnceShowingProgressWithTheListLocked) {
    EXPECT_EQ(batch->RowsAtOnce()->value(), DefaultBatchRows());
    EXPECT_EQ(batch->RowsAtOnce()->minimum(), 1);
    main->Setup().dontCleanFile = 1;
    main->ShowValues();
    QStringList paths;
    for (const char* name : {"a.pdf", "b b.pdf", "-c.pdf"}) {
        std::string path = files.working.File(name);
        testing_support::PdfFromPostScript(testing_support::NumberedPagesPostScript(40), path);
        paths << QString::fromStdString(path);
    }
    batch->AddPaths(paths);
    batch->OutputEdit()->setText(QString::fromStdString(files.working.File("out")));
    batch->RowsAtOnce()->setValue(2);

    bool lockedWhileRunning = false;
    QTimer during;
    during.setInterval(5);
    QObject::connect(&during, &QTimer::timeout, [&] {
        if (batch->CancelButton()->isVisible()) {
            lockedWhileRunning = !batch->Actions().deleteRows->isEnabled() &&
                                 !batch->ClearButton()->isEnabled() &&
                                 !batch->RowsAtOnce()->isEnabled();
            during.stop();
        }
    });
    during.start();
    MessageRecorder messages;
    main->ProcessList();
    EXPECT_TRUE(lockedWhileRunning);
    EXPECT_EQ(main->Session().BatchRows(), 2);
    EXPECT_EQ(Column(2), (QStringList{"Done", "Done", "Done"}));
    EXPECT_EQ(batch->Rows()->topLevelItem(2)->toolTip(2), "Done");  // a cut-off status shows whole
    EXPECT_EQ(batch->ProgressText()->text(), "3 of 3 rows done");
    EXPECT_TRUE(batch->Actions().deleteRows->isEnabled());
    EXPECT_FALSE(batch->CancelButton()->isVisible());
    EXPECT_EQ(testing_support::PageCount(files.working.File("out/-c.pdf")), 20);
    ASSERT_FALSE(messages.Messages().empty());
    EXPECT_EQ(messages.Messages().back().text, "Done.");

    batch->ShowProgress({1, 4, std::chrono::seconds(75), false, ""});
    EXPECT_EQ(batch->ProgressText()->text(), "1 of 4 rows done, about 1 min 15 s left");
}

TEST_F(BatchWindowTest, ProcessListWithoutAListSaysSo) {
    main->DestroyBatchWindow();
    QApplication::processEvents();
    MessageRecorder messages;
    main->ProcessList();
    ASSERT_EQ(messages.Messages().size(), 1u);
    EXPECT_EQ(messages.Messages()[0].text, "You must prepare a list first or load one");
}

}  // namespace
}  // namespace desktop::ui
