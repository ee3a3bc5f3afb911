// The UI port with real Qt dialogs: message boxes, the Yes/No/Cancel question, the main
// window's progress bar, event handling with the Cancel button's answer, the batch window's
// row status, and the file and folder choosers.
#pragma once

#include <atomic>

#include <QPointer>
#include <QProgressBar>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "desktop/core/UiPort.h"

class QWidget;

namespace desktop::ui {

// Calls from the pipeline's worker thread are posted to the window's thread, in order, and never
// wait there: messages, progress, statuses and row statuses show as the window gets to them, and
// a pending-messages call answers the Cancel button's flag. Questions and choosers belong to the
// window's thread.
// The bar's units per step position: a step's work moves the bar by hundredths between two
// positions (its range is 1 to 6 positions).
inline constexpr int kBarUnitsPerStep = 100;

class QtUiPort : public UiPort {
  public:
    explicit QtUiPort(QWidget* owner) : m_owner(owner) {}

    void Message(std::string_view text, std::string_view title = {}) override;
    Answer Question(std::string_view text, std::string_view title) override;
    bool Confirm(std::string_view text, std::string_view acceptLabel,
                 std::string_view title) override;
    std::optional<std::string> AskPassword(std::string_view file, bool wrongBefore) override;
    void Progress(int position) override;
    void StepProgress(int64_t done, int64_t total) override;
    void Step(std::string_view title) override;
    bool HandlePendingMessages() override;
    void Status(std::string_view text) override;
    void SetRowStatus(int row, std::string_view status) override;
    std::optional<std::string> ChooseFile(const FileDialog& dialog) override;
    std::optional<std::string> ChooseFolder(std::string_view title,
                                            std::string_view start) override;
    void ShowBatchProgress(const BatchProgress& progress) override;
    bool CancelRequested() const override { return m_cancelRequested; }

    void SetProgressBar(QProgressBar* bar) { m_progress = bar; }
    void SetRowStatusSink(std::function<void(int, std::string_view)> sink) {
        m_rowStatus = std::move(sink);
    }
    void SetBatchProgressSink(std::function<void(const BatchProgress&)> sink) {
        m_batchProgress = std::move(sink);
    }
    // The text shown in the folder dialog below its title (the batch window sets it before
    // each choice).
    void SetFolderText(std::string text) { m_folderText = std::move(text); }

    // While the main window is not shown yet, messages wait; switching this off shows them.
    void SetDeferMessages(bool defer);

    // The Cancel button: the next HandlePendingMessages answers "cancelled". While a run is
    // on (SetRunning), the answer stays "cancelled" until the run ends, so that every outside
    // program the run would still start is ended at once and the run winds down.
    void RequestCancel() { m_cancelRequested = true; }
    // Delivers what the worker thread posted and the window has not shown yet.
    void FlushPosted();
    void SetRunning(bool running);
    int Position() const { return m_position; }

  private:
    QWidget* Parent() const;

    QPointer<QWidget> m_owner;
    QPointer<QProgressBar> m_progress;
    std::function<void(int, std::string_view)> m_rowStatus;
    std::function<void(const BatchProgress&)> m_batchProgress;
    std::string m_folderText;
    std::vector<std::pair<std::string, std::string>> m_deferred;
    bool m_defer = false;
    std::atomic<bool> m_cancelRequested = false;  // read by the worker thread
    bool m_running = false;
    int m_position = 0;
};

// The Qt file-dialog filter text of a chooser's filters: "label (*.pdf *.doc)".
QString QtFilterText(const FileDialog& dialog);

}  // namespace desktop::ui
