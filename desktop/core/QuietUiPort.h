// The UI port without a window: every call is recorded, questions and choosers are answered
// from a script, messages are optionally echoed to a stream (the command line's standard
// error). Unscripted questions answer the default answer (Cancel unless set), unscripted
// choosers answer "cancelled", and pending-message calls answer "not cancelled" unless a
// cancel was scripted.
//
// On a terminal the batch progress can be kept on one line of the echo stream, rewritten as
// rows end and ended by a line end when the run ends; messages in between clear it first and
// draw it again after them.
#pragma once

#include <atomic>
#include <deque>
#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "desktop/core/UiPort.h"

namespace desktop {

struct UiCall {
    enum class Kind {
        Message,
        Question,
        Progress,
        PendingMessages,
        Status,
        RowStatus,
        ChooseFile,
        ChooseFolder,
        BatchProgress,
        Password  // text: the file; number: 1 when the last password was wrong
    };
    Kind kind;
    std::string text;   // message or question text, row status, dialog or chooser title
    std::string title;  // message or question title (as given; empty for the default)
    int number = 0;     // progress position, row, or rows done
    bool operator==(const UiCall&) const = default;
};

class QuietUiPort : public UiPort {
  public:
    // `echo` (not owned, may be null) receives every message and question text, one a line.
    explicit QuietUiPort(std::ostream* echo = nullptr) : m_echo(echo) {}

    void Message(std::string_view text, std::string_view title = {}) override;
    Answer Question(std::string_view text, std::string_view title) override;
    std::optional<std::string> AskPassword(std::string_view file, bool wrongBefore) override;
    void Progress(int position) override;
    void Step(std::string_view title) override { m_steps.emplace_back(title); }
    void StepProgress(int64_t done, int64_t total) override {
        m_stepProgress.emplace_back(done, total);
    }
    bool HandlePendingMessages() override;
    void Status(std::string_view text) override;
    void SetRowStatus(int row, std::string_view status) override;
    std::optional<std::string> ChooseFile(const FileDialog& dialog) override;
    std::optional<std::string> ChooseFolder(std::string_view title,
                                            std::string_view start) override;
    void ShowBatchProgress(const BatchProgress& progress) override;
    bool CancelRequested() const override { return m_cancelRequested; }

    // Keeps the batch progress on one line of the echo stream (for a terminal).
    void SetProgressLine(bool on) { m_progressLine = on; }
    // What CancelRequested (and every pending-message call) answers from now on.
    void SetCancelRequested(bool on) { m_cancelRequested = on; }

    // The script, consumed in order per kind of call.
    void ScriptAnswer(Answer answer) { m_answers.push_back(answer); }
    void SetDefaultAnswer(Answer answer) { m_defaultAnswer = answer; }
    void ScriptFile(std::optional<std::string> name) { m_files.push_back(std::move(name)); }
    void ScriptFolder(std::optional<std::string> name) { m_folders.push_back(std::move(name)); }
    void ScriptPassword(std::optional<std::string> password) {
        m_passwords.push_back(std::move(password));
    }
    // The `n`th pending-message call from now (1 = the next) answers "cancelled".
    void ScriptCancelAt(int n);

    const std::vector<UiCall>& Calls() const { return m_calls; }
    // The texts of the Message calls, in order.
    std::vector<std::string> Messages() const;
    // The positions of the Progress calls, in order.
    std::vector<int> ProgressPositions() const;
    const std::vector<FileDialog>& FileDialogs() const { return m_fileDialogs; }
    // The step titles, in order (kept apart from the calls, which scripts compare whole).
    const std::vector<std::string>& Steps() const { return m_steps; }
    // The StepProgress calls (done, total), in order, also kept apart from the calls.
    const std::vector<std::pair<int64_t, int64_t>>& StepProgressSeen() const {
        return m_stepProgress;
    }
    int Position() const { return m_position; }
    void ClearCalls();

  private:
    void Echo(std::string_view text);
    void DrawProgressLine();
    void ClearProgressLine();

    std::ostream* m_echo;
    std::vector<UiCall> m_calls;
    std::vector<FileDialog> m_fileDialogs;
    std::vector<std::string> m_steps;
    std::vector<std::pair<int64_t, int64_t>> m_stepProgress;
    std::deque<Answer> m_answers;
    Answer m_defaultAnswer = Answer::Cancel;
    std::deque<std::optional<std::string>> m_files;
    std::deque<std::optional<std::string>> m_folders;
    std::deque<std::optional<std::string>> m_passwords;
    std::vector<int> m_cancelAt;  // pending-message call numbers that answer "cancelled"
    int m_pendingCalls = 0;
    int m_position = 0;
    bool m_progressLine = false;
    std::string m_progressText;  // the progress line shown, empty when none
    std::atomic<bool> m_cancelRequested = false;
};

}  // namespace desktop
