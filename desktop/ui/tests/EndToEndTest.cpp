// End to end under a real X server (ctest runs this program under Xvfb): the main window
// starts, an input is dropped on it, Impose is pressed, the whole pipeline runs (padding,
// cleaning with Ghostscript, the engines), "Done!" is answered, and the output passes
// qpdf --check. Also: Cancel ends a step that waits for an outside program.
#include <gtest/gtest.h>

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QElapsedTimer>
#include <QInputDialog>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QStatusBar>
#include <QTest>
#include <QTimer>
#include <QUrl>
#include <cstdlib>
#include <filesystem>

#include "UiTestSupport.h"
#include "desktop/ui/MainWindow.h"
#include "desktop/ui/PreviewPane.h"
#include "testing/Tools.h"

namespace desktop::ui {
namespace {

using test::ConfigPlace;
using test::MessageRecorder;

// The outside programs (the cleaning scripts) are found on PATH by a test program.
void PutProgramsOnPath(const std::string& first = {}) {
    std::string path = testing_support::BuildDir() + "/bin:" + std::getenv("PATH");
    if (!first.empty()) path = first + ":" + path;
    setenv("PATH", path.c_str(), 1);
}

// A drop as the window system delivers it: enter, then drop, at `point` of `window`.
void Drop(QWidget* window, const std::string& file, QPoint point) {
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(QString::fromStdString(file))});
    QDragEnterEvent enter(point, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(window, &enter);
    ASSERT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(point), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(window, &drop);
    ASSERT_TRUE(drop.isAccepted());
}

// A copy of the bundled sample in the working folder, under `name`.
std::string SampleIn(const ConfigPlace& place, const std::string& name) {
    std::string copy = place.working.File(name);
    std::filesystem::copy_file(testing_support::SourceDir() + "/samples/sample.pdf", copy);
    return copy;
}

// Shows the window, waits until it is on screen and starts its session, as the program does.
void ShowAndStart(MainWindow& window) {
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    window.Start();
}

TEST(EndToEndTest, DropImposeAndCheckTheOutput) {
    PutProgramsOnPath();
    ConfigPlace place;
    std::string input = SampleIn(place, "input file.pdf");
    std::string output = place.working.File("imposed output.pdf");

    MainWindow window(place.Folder());
    window.resize(1100, 720);
    ASSERT_NO_FATAL_FAILURE(ShowAndStart(window));

    const MainControls& c = window.Controls();
    Drop(&window, input, c.startPage->mapTo(&window, c.startPage->rect().center()));
    Drop(&window, output, c.output->mapTo(&window, c.output->rect().center()));
    EXPECT_EQ(c.input->text().toStdString(), input);
    EXPECT_EQ(c.output->text().toStdString(), output);

    // The preview follows the drop.
    ASSERT_TRUE(test::WaitFor([&] { return !c.preview->Busy() && c.preview->HasPicture(); }))
        << c.preview->Note().toStdString();

    MessageRecorder messages;
    QTest::mouseClick(c.impose, Qt::LeftButton);
    ASSERT_TRUE(test::WaitFor([&] { return !window.IsRunning() && !messages.Messages().empty(); }));
    ASSERT_EQ(messages.Messages().size(), 1u);
    EXPECT_EQ(messages.Messages()[0].text, "Done!");
    EXPECT_EQ(messages.Messages()[0].title, "Velmora Desktop Edition");
    ASSERT_TRUE(std::filesystem::exists(output));
    std::string report;
    EXPECT_TRUE(testing_support::QpdfCheck(output, &report)) << report;
    testing_support::CommandResult pages =
        testing_support::Run("qpdf --show-npages '" + output + "'");
    EXPECT_EQ(pages.output, "4\n");
    // The input name is put back after the run.
    EXPECT_EQ(c.input->text().toStdString(), input);
    EXPECT_EQ(c.progress->value(), c.progress->maximum());  // the output is in place
}

// Impose with the Output field empty writes the proposed name beside the input, and never over
// a file that is there.
TEST(EndToEndTest, AnEmptyOutputImposesIntoTheProposedName) {
    PutProgramsOnPath();
    ConfigPlace place;
    std::string input = SampleIn(place, "report.pdf");
    MainWindow window(place.Folder());
    ASSERT_NO_FATAL_FAILURE(ShowAndStart(window));
    window.Setup().inFile = input;
    window.Setup().dontCleanFile = 1;
    window.ShowValues();
    const MainControls& c = window.Controls();
    for (const char* expected : {"report-2up.pdf", "report-2up-2.pdf"}) {
        c.output->clear();
        MessageRecorder messages;
        QTest::mouseClick(c.impose, Qt::LeftButton);
        ASSERT_TRUE(
            test::WaitFor([&] { return !window.IsRunning() && !messages.Messages().empty(); }));
        EXPECT_EQ(messages.Messages()[0].text, "Done!");
        std::string output = place.working.File(expected);
        EXPECT_EQ(c.output->text().toStdString(), output);
        EXPECT_EQ(testing_support::PageCount(output), 4);
    }
}

// The window never writes over a file unasked: Impose replaces its own output for the same
// input without a question, a proposed name follows a new input, and any other file that is
// there is replaced only after "Replace".
TEST(EndToEndTest, AFileIsReplacedOnlyWhenThisWindowWroteItOrTheUserSaysSo) {
    PutProgramsOnPath();
    ConfigPlace place;
    std::string cards = SampleIn(place, "card.pdf");
    std::string a5 = SampleIn(place, "a5.pdf");
    std::string cardsOut = place.working.File("card-2up.pdf");
    MainWindow window(place.Folder());
    ASSERT_NO_FATAL_FAILURE(ShowAndStart(window));
    window.Setup().inFile = cards;
    window.Setup().dontCleanFile = 1;
    window.ShowValues();
    const MainControls& c = window.Controls();
    auto impose = [&](const QString& answer) {
        MessageRecorder messages(QMessageBox::Cancel);
        messages.SetButtonText(answer);
        QTest::mouseClick(c.impose, Qt::LeftButton);
        EXPECT_TRUE(
            test::WaitFor([&] { return !window.IsRunning() && !messages.Messages().empty(); }));
        std::vector<std::string> texts;
        for (const test::SeenMessage& seen : messages.Messages()) texts.push_back(seen.text);
        return texts;
    };
    auto type = [](QLineEdit* edit, const std::string& text) {
        edit->setText(QString::fromStdString(text));
        Q_EMIT edit->editingFinished();
    };
    std::vector<std::string> done{"Done!"};
    EXPECT_EQ(impose(""), done);
    EXPECT_EQ(c.output->text().toStdString(), cardsOut);
    EXPECT_EQ(impose(""), done);  // its own output, for the same input

    type(c.input, a5);
    EXPECT_EQ(c.output->text().toStdString(), "");
    EXPECT_EQ(c.output->placeholderText().toStdString(), place.working.File("a5-2up.pdf"));

    type(c.output, cardsOut);
    std::string question =
        "Replace card-2up.pdf?\n\nThe file is already in " + place.working.Path() + ".";
    testing_support::WriteWholeFile(cardsOut, "the customer's file");
    EXPECT_EQ(impose("Cancel"), std::vector<std::string>{question});
    EXPECT_EQ(testing_support::ReadWholeFile(cardsOut), "the customer's file");
    EXPECT_EQ(impose("Replace"), (std::vector<std::string>{question, "Done!"}));
    EXPECT_EQ(testing_support::PageCount(cardsOut), 4);
    // A name the user typed stays when the input changes.
    type(c.input, cards);
    EXPECT_EQ(c.output->text().toStdString(), cardsOut);
}

// An input that needs a password: Impose asks for it, says when it was wrong, and imposes into
// an output that is not encrypted.
TEST(EndToEndTest, ImposeAsksForThePasswordOfALockedInput) {
    PutProgramsOnPath();
    ConfigPlace place;
    std::string plain = SampleIn(place, "plain.pdf");
    std::string locked = place.working.File("locked.pdf");
    ASSERT_EQ(testing_support::Run("qpdf --encrypt sesame boss 256 -- " +
                                   testing_support::ShellQuote(plain) + " " +
                                   testing_support::ShellQuote(locked))
                  .exitCode,
              0);
    MainWindow window(place.Folder());
    ASSERT_NO_FATAL_FAILURE(ShowAndStart(window));
    window.Setup().inFile = locked;
    window.Setup().outFile = place.working.File("out.pdf");
    window.Setup().dontCleanFile = 1;
    window.ShowValues();
    std::vector<std::string> asked;
    std::vector<std::string> passwords{"open up", "sesame"};
    QTimer answer;
    answer.setInterval(20);
    QObject::connect(&answer, &QTimer::timeout, [&] {
        auto* dialog = qobject_cast<QInputDialog*>(QApplication::activeModalWidget());
        if (dialog == nullptr || dialog->property("velmoraSeen").toBool()) return;
        dialog->setProperty("velmoraSeen", true);
        asked.push_back(dialog->labelText().toStdString());
        EXPECT_EQ(dialog->textEchoMode(), QLineEdit::Password);
        dialog->setTextValue(QString::fromStdString(passwords[asked.size() - 1]));
        dialog->accept();
    });
    answer.start();
    MessageRecorder messages;
    QTest::mouseClick(window.Controls().impose, Qt::LeftButton);
    ASSERT_TRUE(test::WaitFor([&] { return !window.IsRunning() && !messages.Messages().empty(); }));
    EXPECT_EQ(asked,
              (std::vector<std::string>{"locked.pdf needs a password to open. Password:",
                                        "That password does not open locked.pdf. Try again:"}));
    EXPECT_EQ(messages.Messages()[0].text, "Done!");
    EXPECT_EQ(window.statusBar()->currentMessage().toStdString(),
              "The input was protected by a password; the output is not encrypted.");
    std::string report;
    EXPECT_TRUE(testing_support::QpdfCheckClean(place.working.File("out.pdf"), &report)) << report;
}

TEST(EndToEndTest, CancelEndsAStepThatWaitsForAnOutsideProgram) {
    // A cleaning script that would take a minute.
    ConfigPlace place;
    std::string bin = place.user.File("slow-bin");
    std::filesystem::create_directories(bin);
    std::string script = bin + "/koblin";
    std::string started = place.user.File("koblin-started");
    testing_support::WriteProgram(script, "#!/bin/sh\ntouch '" + started + "'\nsleep 60\n");
    PutProgramsOnPath(bin);
    std::string input = SampleIn(place, "in.pdf");

    MainWindow window(place.Folder());
    ASSERT_NO_FATAL_FAILURE(ShowAndStart(window));
    window.Setup().inFile = input;
    window.Setup().outFile = place.working.File("out.pdf");
    window.ShowValues();

    MessageRecorder messages;
    bool cancelShown = false;
    // Cancel is pressed once the script runs (the step then waits for it).
    QTimer pressCancel;
    pressCancel.setInterval(20);
    QObject::connect(&pressCancel, &QTimer::timeout, [&] {
        if (!std::filesystem::exists(started)) return;
        pressCancel.stop();
        cancelShown = window.Controls().cancel->isVisible();
        QTest::mouseClick(window.Controls().cancel, Qt::LeftButton);
    });
    pressCancel.start();
    QElapsedTimer clock;
    clock.start();
    QTest::mouseClick(window.Controls().impose, Qt::LeftButton);
    ASSERT_TRUE(test::WaitFor([&] { return !window.IsRunning(); }, 30000));
    // The retry without cleaning may follow; both runs end long before the script would.
    EXPECT_LT(clock.elapsed(), 30000);
    EXPECT_TRUE(cancelShown);
    EXPECT_FALSE(window.Controls().cancel->isVisible());
    // Restore PATH for the tests after this one.
    PutProgramsOnPath();
}

}  // namespace
}  // namespace desktop::ui
