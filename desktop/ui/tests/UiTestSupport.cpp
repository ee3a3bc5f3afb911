#include "UiTestSupport.h"

#include <QAbstractButton>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QLineEdit>
#include <QThread>

#include "desktop/core/Conversion.h"
#include "desktop/ui/MainWindow.h"

namespace desktop::ui::test {

ConfigPlace::ConfigPlace() {
    WriteConversionIni(Folder().PathOf(kConversionIniName), ConversionSettings{});
}

std::unique_ptr<MainWindow> ShownMainWindow(const ConfigPlace& place) {
    auto window = std::make_unique<MainWindow>(place.Folder());
    window->resize(1100, 760);
    window->show();
    window->Start();
    return window;
}

ModalWatch::ModalWatch(std::function<void(QWidget*)> action, int timeoutMs)
    : m_fired(std::make_shared<bool>(false)), m_timer(new QTimer) {
    auto started = std::make_shared<QElapsedTimer>();
    started->start();
    auto fired = m_fired;
    QTimer* timer = m_timer;
    m_timer->setInterval(20);
    QObject::connect(m_timer, &QTimer::timeout, [fired, timer, started, action, timeoutMs] {
        if (*fired) return;
        if (QWidget* modal = QApplication::activeModalWidget()) {
            *fired = true;
            timer->stop();
            action(modal);
        } else if (started->elapsed() > timeoutMs) {
            timer->stop();
        }
    });
    m_timer->start();
}

ModalWatch::~ModalWatch() {
    m_timer->stop();
    delete m_timer;
}

MessageRecorder::MessageRecorder(QMessageBox::StandardButton button)
    : m_messages(std::make_shared<std::vector<SeenMessage>>()),
      m_button(std::make_shared<QMessageBox::StandardButton>(button)),
      m_timer(new QTimer) {
    auto messages = m_messages;
    auto answer = m_button;
    auto answerText = m_buttonText;
    m_timer->setInterval(20);
    QObject::connect(m_timer, &QTimer::timeout, [messages, answer, answerText] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box == nullptr || box->property("velmoraSeen").toBool()) return;
        box->setProperty("velmoraSeen", true);
        messages->push_back({box->text().toStdString(), box->windowTitle().toStdString()});
        QAbstractButton* button = box->button(*answer);
        for (QAbstractButton* named : box->buttons()) {
            if (!answerText->isEmpty() && named->text() == *answerText) button = named;
        }
        if (button == nullptr) button = box->button(QMessageBox::Ok);
        if (button != nullptr) {
            button->click();
        } else {
            box->reject();
        }
    });
    m_timer->start();
}

MessageRecorder::~MessageRecorder() {
    m_timer->stop();
    delete m_timer;
}

void AcceptFileDialog(QWidget* widget, const std::string& path) {
    auto* dialog = qobject_cast<QFileDialog*>(widget);
    if (dialog == nullptr) return;
    // The name goes into the dialog's own edit just before accepting: selectFile() alone may be
    // undone while the dialog is still reading the folder.
    if (auto* edit = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))) {
        edit->setText(QString::fromStdString(path));
    } else {
        dialog->selectFile(QString::fromStdString(path));
    }
    static_cast<QDialog*>(dialog)->accept();
}

bool WaitFor(const std::function<bool()>& done, int timeoutMs) {
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > timeoutMs) return false;
        QApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(5);
    }
    return true;
}

}  // namespace desktop::ui::test
