#include "desktop/ui/QtUiPort.h"

#include <algorithm>

#include <QApplication>
#include <QEventLoop>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QLineEdit>
#include <QMainWindow>
#include <QMessageBox>
#include <QPushButton>
#include <QStatusBar>
#include <QStringList>
#include <QThread>

#include "desktop/core/PdfProtection.h"
#include "desktop/ui/FolderDialog.h"
#include "desktop/ui/QtText.h"

namespace desktop::ui {

namespace {

bool OnWindowThread() {
    return QThread::currentThread() == QCoreApplication::instance()->thread();
}

// Runs `call` on the window's thread, after what was posted before.
template <class Call>
void PostToWindow(QObject* context, Call call) {
    QMetaObject::invokeMethod(context != nullptr ? context : QCoreApplication::instance(),
                              std::move(call), Qt::QueuedConnection);
}

}  // namespace

void QtUiPort::FlushPosted() {
    QCoreApplication::sendPostedEvents(m_owner.data(), QEvent::MetaCall);
    QCoreApplication::sendPostedEvents(QCoreApplication::instance(), QEvent::MetaCall);
}

QWidget* QtUiPort::Parent() const {
    if (QWidget* modal = QApplication::activeModalWidget()) return modal;
    if (m_owner && m_owner->isVisible()) return m_owner;
    return QApplication::activeWindow();
}

void QtUiPort::SetDeferMessages(bool defer) {
    m_defer = defer;
    if (defer) return;
    std::vector<std::pair<std::string, std::string>> waiting = std::move(m_deferred);
    m_deferred.clear();
    for (const auto& [text, title] : waiting) Message(text, title);
}

void QtUiPort::Message(std::string_view text, std::string_view title) {
    if (!OnWindowThread()) {
        PostToWindow(m_owner.data(),
                     [this, t = std::string(text), h = std::string(title)] { Message(t, h); });
        return;
    }
    if (m_defer) {
        m_deferred.emplace_back(std::string(text), std::string(title));
        return;
    }
    QMessageBox box(Parent());
    box.setWindowTitle(Q(title.empty() ? kProgramTitle : title));
    box.setText(Q(text));
    box.setIcon(QMessageBox::NoIcon);
    box.setStandardButtons(QMessageBox::Ok);
    box.exec();
}

Answer QtUiPort::Question(std::string_view text, std::string_view title) {
    QMessageBox box(Parent());
    box.setWindowTitle(Q(title.empty() ? kProgramTitle : title));
    box.setText(Q(text));
    box.setIcon(QMessageBox::Question);
    box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    box.setDefaultButton(QMessageBox::Yes);
    box.setEscapeButton(QMessageBox::Cancel);
    switch (box.exec()) {
        case QMessageBox::Yes:
            return Answer::Yes;
        case QMessageBox::No:
            return Answer::No;
        default:
            return Answer::Cancel;
    }
}

bool QtUiPort::Confirm(std::string_view text, std::string_view acceptLabel,
                       std::string_view title) {
    QMessageBox box(Parent());
    box.setWindowTitle(Q(title.empty() ? kProgramTitle : title));
    box.setText(Q(text));
    box.setIcon(QMessageBox::Warning);
    QPushButton* accept = box.addButton(Q(acceptLabel), QMessageBox::AcceptRole);
    QPushButton* cancel = box.addButton(QMessageBox::Cancel);
    // Enter and Escape both keep the file: replacing takes a deliberate click.
    box.setDefaultButton(cancel);
    box.setEscapeButton(cancel);
    box.exec();
    return box.clickedButton() == accept;
}

std::optional<std::string> QtUiPort::AskPassword(std::string_view file, bool wrongBefore) {
    QInputDialog dialog(Parent());
    dialog.setWindowTitle(Q(kPasswordTitle));
    QString name = QFileInfo(Q(file)).fileName();
    QString text = wrongBefore ? QStringLiteral("That password does not open %1. Try again:")
                               : QStringLiteral("%1 needs a password to open. Password:");
    dialog.setLabelText(text.arg(name));
    dialog.setTextEchoMode(QLineEdit::Password);
    dialog.setOkButtonText(QStringLiteral("Open"));
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return S(dialog.textValue());
}

void QtUiPort::Step(std::string_view title) {
    if (!OnWindowThread()) {
        PostToWindow(m_owner.data(), [this, t = std::string(title)] { Step(t); });
        return;
    }
    if (!m_progress) return;
    m_progress->setFormat(Q(title));
    m_progress->setTextVisible(true);
}

void QtUiPort::SetRunning(bool running) {
    m_running = running;
    if (running) return;
    m_cancelRequested = false;
    // The bar names a step only while one runs.
    if (m_progress) m_progress->setTextVisible(false);
}

void QtUiPort::Progress(int position) {
    if (!OnWindowThread()) {
        PostToWindow(m_owner.data(), [this, position] { Progress(position); });
        return;
    }
    m_position = position;
    if (m_progress) {
        if (position * kBarUnitsPerStep < m_progress->minimum()) {
            m_progress->reset();
        } else {
            m_progress->setValue(position * kBarUnitsPerStep);
        }
    }
    QApplication::processEvents(QEventLoop::AllEvents, 20);
}

void QtUiPort::StepProgress(int64_t done, int64_t total) {
    if (!OnWindowThread()) {
        PostToWindow(m_owner.data(), [this, done, total] { StepProgress(done, total); });
        return;
    }
    if (!m_progress || total <= 0 || m_position * kBarUnitsPerStep < m_progress->minimum()) {
        return;
    }
    // Short of the next position: that one is the next step's to take.
    int64_t within = std::clamp<int64_t>(done, 0, total) * (kBarUnitsPerStep - 1) / total;
    int value = m_position * kBarUnitsPerStep + static_cast<int>(within);
    m_progress->setValue(std::min(value, m_progress->maximum()));
}

bool QtUiPort::HandlePendingMessages() {
    if (!OnWindowThread()) return m_cancelRequested;  // the window handles its own events
    QApplication::processEvents(QEventLoop::AllEvents, 20);
    bool cancelled = m_cancelRequested;
    if (!m_running) m_cancelRequested = false;
    return cancelled;
}

void QtUiPort::Status(std::string_view text) {
    if (!OnWindowThread()) {
        PostToWindow(m_owner.data(), [this, t = std::string(text)] { Status(t); });
        return;
    }
    if (auto* window = qobject_cast<QMainWindow*>(m_owner.data())) {
        window->statusBar()->showMessage(Q(text));
    }
}

void QtUiPort::SetRowStatus(int row, std::string_view status) {
    if (!OnWindowThread()) {
        PostToWindow(m_owner.data(),
                     [this, row, s = std::string(status)] { SetRowStatus(row, s); });
        return;
    }
    if (m_rowStatus) m_rowStatus(row, status);
}

void QtUiPort::ShowBatchProgress(const BatchProgress& progress) {
    if (!OnWindowThread()) {
        PostToWindow(m_owner.data(), [this, progress] { ShowBatchProgress(progress); });
        return;
    }
    if (m_batchProgress) m_batchProgress(progress);
}

QString QtFilterText(const FileDialog& dialog) {
    QStringList filters;
    for (const auto& [label, patterns] : dialog.filters) {
        QStringList list;
        for (const QString& pattern : Q(patterns).split(';', Qt::SkipEmptyParts)) {
            list << (pattern == QStringLiteral("*.*") ? QStringLiteral("*") : pattern.trimmed());
        }
        filters << QStringLiteral("%1 (%2)").arg(Q(label), list.join(' '));
    }
    return filters.join(QStringLiteral(";;"));
}

std::optional<std::string> QtUiPort::ChooseFile(const FileDialog& spec) {
    QFileDialog dialog(Parent(), Q(spec.title));
    dialog.setOption(QFileDialog::DontUseNativeDialog, true);
    dialog.setNameFilter(QtFilterText(spec));
    dialog.setDefaultSuffix(Q(spec.defaultExtension).toLower());
    if (spec.mode == FileDialog::Mode::Open) {
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        dialog.setFileMode(spec.mustExist ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    } else {
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setFileMode(QFileDialog::AnyFile);
        dialog.setOption(QFileDialog::DontConfirmOverwrite, !spec.asksToReplace);
    }
    if (!spec.initialName.empty()) dialog.selectFile(Q(spec.initialName));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return S(dialog.selectedFiles().front());
}

std::optional<std::string> QtUiPort::ChooseFolder(std::string_view title, std::string_view start) {
    return FolderDialog::Choose(Q(title), Q(m_folderText), Q(start), Parent());
}

}  // namespace desktop::ui
