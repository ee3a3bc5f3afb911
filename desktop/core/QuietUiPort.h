// The UI port without a window: every call is recorded, questions and choosers are answered
// from a script, messages are optionally echoed to a stream (the command line's standard
// error). Unscripted questions answer the default answer (Cancel unless set), unscripted
// choosers answer "cancelled", and pending-message calls answer "not cancelled" unless a
// cancel was scripted.
#pragma once

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
        ChooseFolder
    };
    Kind kind;
    std::string text;   // message or question text, row status, dialog or chooser title
    std::string title;  // message or question title (as given; empty for the default)
    int number = 0;     // progress position or row
    bool operator==(const UiCall&) const = default;
};

class QuietUiPort : public UiPort {
  public:
    // `echo` (not owned, may be null) receives every message and question text, one a line.
    explicit QuietUiPort(std::ostream* echo = nullptr) : m_echo(echo) {}

    void Message(std::string_view text, std::string_view title = {}) override;
    Answer Question(std::string_view text, std::string_view title) override;
    void Progress(int position) override;
    bool HandlePendingMessages() override;
    void Status(std::string_view text) override;
    void SetRowStatus(int row, std::string_view status) override;
    std::optional<std::string> ChooseFile(const FileDialog& dialog) override;
    std::optional<std::string> ChooseFolder(std::string_view title,
                                            std::string_view start) override;

    // The script, consumed in order per kind of call.
    void ScriptAnswer(Answer answer) { m_answers.push_back(answer); }
    void SetDefaultAnswer(Answer answer) { m_defaultAnswer = answer; }
    void ScriptFile(std::optional<std::string> name) { m_files.push_back(std::move(name)); }
    void ScriptFolder(std::optional<std::string> name) { m_folders.push_back(std::move(name)); }
    // The `n`th pending-message call from now (1 = the next) answers "cancelled".
    void ScriptCancelAt(int n);

    const std::vector<UiCall>& Calls() const { return m_calls; }
    // The texts of the Message calls, in order.
    std::vector<std::string> Messages() const;
    // The positions of the Progress calls, in order.
    std::vector<int> ProgressPositions() const;
    const std::vector<FileDialog>& FileDialogs() const { return m_fileDialogs; }
    int Position() const { return m_position; }
    void ClearCalls();

  private:
    void Echo(std::string_view text);

    std::ostream* m_echo;
    std::vector<UiCall> m_calls;
    std::vector<FileDialog> m_fileDialogs;
    std::deque<Answer> m_answers;
    Answer m_defaultAnswer = Answer::Cancel;
    std::deque<std::optional<std::string>> m_files;
    std::deque<std::optional<std::string>> m_folders;
    std::vector<int> m_cancelAt;  // pending-message call numbers that answer "cancelled"
    int m_pendingCalls = 0;
    int m_position = 0;
};

}  // namespace desktop
