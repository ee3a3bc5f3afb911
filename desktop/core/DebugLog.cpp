#include "desktop/core/DebugLog.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdarg>
#include <vector>

#include "desktop/core/UiPort.h"
#include "platform/ClassicNumbers.h"

namespace desktop {

DebugLog::DebugLog(ConfigFolder folder)
    : m_folder(std::move(folder)), m_path(m_folder.PathOf(kDebugLogName)) {}

DebugLog::DebugLog(InMemory memory) : m_folder("", ""), m_inMemory(memory.on) {}

DebugLog::~DebugLog() {
    Close();
}

bool DebugLog::Start(UiPort& ui) {
    Close();
    // The log is read while it grows, so it is written in place; but as a new file, so that a
    // link of that name is replaced and never written through.
    std::string path = m_folder.ResolveForWriting(kDebugLogName);
    ::unlink(path.c_str());
    int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0) return false;
    m_file = ::fdopen(fd, "wb");
    if (m_file == nullptr) {
        ::close(fd);
        return false;
    }
    Write(kDebugHeader);
    ui.Message(kDebugStartedMessage);
    return true;
}

void DebugLog::Write(std::string_view text) {
    if (m_inMemory) m_text.append(text);
    if (m_file == nullptr) return;
    std::fwrite(text.data(), 1, text.size(), m_file);
    std::fflush(m_file);
}

void DebugLog::Printf(const char* format, ...) {
    if (!IsOn()) return;
    platform::ClassicNumbers classic;
    va_list args;
    va_start(args, format);
    va_list copy;
    va_copy(copy, args);
    int length = std::vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    if (length > 0) {
        std::vector<char> text(static_cast<size_t>(length) + 1);
        std::vsnprintf(text.data(), text.size(), format, args);
        Write(std::string_view(text.data(), static_cast<size_t>(length)));
    }
    va_end(args);
}

void DebugLog::Close() {
    if (m_file == nullptr) return;
    std::fflush(m_file);
    std::fclose(m_file);
    m_file = nullptr;
}

}  // namespace desktop
