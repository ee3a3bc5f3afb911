#include "desktop/core/QuietUiPort.h"

#include <algorithm>
#include <ostream>

namespace desktop {
namespace {

std::optional<std::string> PopOrCancel(std::deque<std::optional<std::string>>& script) {
    if (script.empty()) return std::nullopt;
    std::optional<std::string> answer = std::move(script.front());
    script.pop_front();
    return answer;
}

}  // namespace

void QuietUiPort::Echo(std::string_view text) {
    if (m_echo == nullptr) return;
    ClearProgressLine();
    *m_echo << text << '\n';
    DrawProgressLine();
    *m_echo << std::flush;
}

void QuietUiPort::ClearProgressLine() {
    if (!m_progressText.empty()) *m_echo << '\r' << std::string(m_progressText.size(), ' ') << '\r';
}

void QuietUiPort::DrawProgressLine() {
    if (!m_progressText.empty()) *m_echo << m_progressText;
}

void QuietUiPort::ShowBatchProgress(const BatchProgress& progress) {
    std::string text = BatchProgressText(progress);
    m_calls.push_back({UiCall::Kind::BatchProgress, text, {}, progress.done});
    if (m_echo == nullptr || !m_progressLine || progress.total == 0) return;
    if (text != m_progressText) {
        ClearProgressLine();
        m_progressText = text;
        DrawProgressLine();
    }
    if (progress.last) {
        *m_echo << '\n';
        m_progressText.clear();
    }
    *m_echo << std::flush;
}

void QuietUiPort::Message(std::string_view text, std::string_view title) {
    m_calls.push_back({UiCall::Kind::Message, std::string(text), std::string(title)});
    Echo(text);
}

Answer QuietUiPort::Question(std::string_view text, std::string_view title) {
    m_calls.push_back({UiCall::Kind::Question, std::string(text), std::string(title)});
    Echo(text);
    if (m_answers.empty()) return m_defaultAnswer;
    Answer answer = m_answers.front();
    m_answers.pop_front();
    return answer;
}

// The password itself is neither recorded nor echoed.
std::optional<std::string> QuietUiPort::AskPassword(std::string_view file, bool wrongBefore) {
    m_calls.push_back({UiCall::Kind::Password, std::string(file), {}, wrongBefore ? 1 : 0});
    if (m_passwords.empty()) return std::nullopt;
    std::optional<std::string> password = std::move(m_passwords.front());
    m_passwords.pop_front();
    return password;
}

void QuietUiPort::Progress(int position) {
    m_calls.push_back({UiCall::Kind::Progress, {}, {}, position});
    m_position = position;
}

bool QuietUiPort::HandlePendingMessages() {
    ++m_pendingCalls;
    m_calls.push_back({UiCall::Kind::PendingMessages, {}, {}, m_pendingCalls});
    return m_cancelRequested ||
           std::find(m_cancelAt.begin(), m_cancelAt.end(), m_pendingCalls) != m_cancelAt.end();
}

void QuietUiPort::ScriptCancelAt(int n) {
    m_cancelAt.push_back(m_pendingCalls + n);
}

void QuietUiPort::Status(std::string_view text) {
    m_calls.push_back({UiCall::Kind::Status, std::string(text), {}});
    Echo(text);
}

void QuietUiPort::SetRowStatus(int row, std::string_view status) {
    m_calls.push_back({UiCall::Kind::RowStatus, std::string(status), {}, row});
}

std::optional<std::string> QuietUiPort::ChooseFile(const FileDialog& dialog) {
    m_calls.push_back({UiCall::Kind::ChooseFile, dialog.title, {}});
    m_fileDialogs.push_back(dialog);
    return PopOrCancel(m_files);
}

std::optional<std::string> QuietUiPort::ChooseFolder(std::string_view title,
                                                     std::string_view start) {
    m_calls.push_back({UiCall::Kind::ChooseFolder, std::string(title), std::string(start)});
    return PopOrCancel(m_folders);
}

std::vector<std::string> QuietUiPort::Messages() const {
    std::vector<std::string> texts;
    for (const UiCall& call : m_calls) {
        if (call.kind == UiCall::Kind::Message) texts.push_back(call.text);
    }
    return texts;
}

std::vector<int> QuietUiPort::ProgressPositions() const {
    std::vector<int> positions;
    for (const UiCall& call : m_calls) {
        if (call.kind == UiCall::Kind::Progress) positions.push_back(call.number);
    }
    return positions;
}

void QuietUiPort::ClearCalls() {
    m_calls.clear();
    m_fileDialogs.clear();
    m_steps.clear();
}

}  // namespace desktop
