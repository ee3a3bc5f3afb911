// Helpers for the window tests: a QApplication on the offscreen platform (see UiTestMain.cpp),
// modal dialogs answered from a timer, and a main window over scratch configuration folders.
#pragma once

#include <QApplication>
#include <QMessageBox>
#include <QTimer>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "desktop/core/ConfigFolder.h"
#include "testing/Scratch.h"

namespace desktop::ui {
class MainWindow;
}

namespace desktop::ui::test {

// Runs `action` on the next modal widget that opens (a message box, a file dialog, a small
// dialog), from a timer, so that the code that opened it with exec() goes on. The watch ends
// after `action` ran once, or after `timeoutMs`.
class ModalWatch {
  public:
    explicit ModalWatch(std::function<void(QWidget*)> action, int timeoutMs = 5000);
    ~ModalWatch();
    bool Fired() const { return *m_fired; }

  private:
    std::shared_ptr<bool> m_fired;
    QTimer* m_timer;
};

// The text of a message box and its title, read as it is answered.
struct SeenMessage {
    std::string text;
    std::string title;
};

// Answers every message box with `button` until the watch ends, recording the texts.
class MessageRecorder {
  public:
    explicit MessageRecorder(QMessageBox::StandardButton button = QMessageBox::Ok);
    ~MessageRecorder();
    const std::vector<SeenMessage>& Messages() const { return *m_messages; }
    void SetButton(QMessageBox::StandardButton button) { *m_button = button; }
    // A box with a button of this text ("Replace") is answered with it instead.
    void SetButtonText(const QString& text) { *m_buttonText = text; }

  private:
    std::shared_ptr<std::vector<SeenMessage>> m_messages;
    std::shared_ptr<QMessageBox::StandardButton> m_button;
    std::shared_ptr<QString> m_buttonText = std::make_shared<QString>();
    QTimer* m_timer;
};

// A working folder and a user folder for one test.
// A "conversion.ini" with the defaults is there, so that opening a window shows no message.
struct ConfigPlace {
    ConfigPlace();
    testing_support::ScratchDir working;
    testing_support::ScratchDir user;
    ConfigFolder Folder() const { return ConfigFolder(working.Path(), user.Path()); }
};

// A main window over `place`, shown at the tests' size and started.
std::unique_ptr<MainWindow> ShownMainWindow(const ConfigPlace& place);

// Chooses `path` in an open Qt file dialog and accepts it, as a user typing the name does.
void AcceptFileDialog(QWidget* dialog, const std::string& path);

// Waits, handling events, until `done` or `timeoutMs`.
bool WaitFor(const std::function<bool()>& done, int timeoutMs = 20000);

}  // namespace desktop::ui::test
