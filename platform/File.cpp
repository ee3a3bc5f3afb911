#include "platform/File.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string_view>
#include <utility>

#include "platform/MemoryFiles.h"

namespace platform {

namespace {
constexpr size_t kWriteBufferSize = 1 << 16;
}

ReadFile::~ReadFile() {
    Close();
}

ReadFile::ReadFile(ReadFile&& other) noexcept {
    *this = std::move(other);
}

ReadFile& ReadFile::operator=(ReadFile&& other) noexcept {
    if (this != &other) {
        Close();
        m_fd = std::exchange(other.m_fd, -1);
        m_memory = std::move(other.m_memory);
        m_space = other.m_space;
        m_size = std::exchange(other.m_size, 0);
        m_windows = std::move(other.m_windows);
        m_useCount = other.m_useCount;
        other.DropWindows();
    }
    return *this;
}

bool ReadFile::Open(const std::string& path, FileSpace space) {
    Close();
    m_space = space;
    if (MemoryFiles* memory = space.Memory()) {
        m_memory = memory->Get(path);
        m_size = m_memory ? static_cast<int64_t>(m_memory->size()) : 0;
        return m_memory != nullptr;
    }
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        return false;
    }
    m_fd = fd;
    m_size = info.st_size;
    return true;
}

void ReadFile::Close() {
    if (m_fd >= 0) ::close(m_fd);
    m_fd = -1;
    m_memory.reset();
    m_size = 0;
    DropWindows();
}

void ReadFile::DropWindows() {
    for (Window& window : m_windows) window = Window{};
}

int64_t ReadFile::ReadAt(int64_t offset, void* buffer, size_t count) const {
    if (m_memory) {
        if (offset < 0) return -1;
        if (offset >= m_size) return 0;
        const size_t served = std::min(count, static_cast<size_t>(m_size - offset));
        std::memcpy(buffer, m_memory->data() + offset, served);
        return static_cast<int64_t>(served);
    }
    if (m_fd < 0 || offset < 0) return -1;
    // One past the end (a damaged file's offset) finds nothing worth keeping.
    if (count > kWindowedReadLimit || offset >= m_size) {
        return ReadDirect(offset, buffer, count);
    }
    std::lock_guard lock(m_windowMutex);
    const Window* window = WindowFor(offset, count);
    if (window == nullptr) return -1;
    // A window reaches past the request unless the file ends first.
    const int64_t available = window->start + static_cast<int64_t>(window->length) - offset;
    if (available <= 0) return 0;
    const size_t served = std::min(count, static_cast<size_t>(available));
    std::memcpy(buffer, window->bytes.get() + (offset - window->start), served);
    return static_cast<int64_t>(served);
}

ReadFile::Window* ReadFile::WindowFor(int64_t offset, size_t count) const {
    Window* chosen = &m_windows[0];
    for (Window& window : m_windows) {
        if (window.Holds(offset, count)) {
            window.lastUse = ++m_useCount;
            return &window;
        }
        if (window.lastUse < chosen->lastUse) chosen = &window;
    }
    if (!chosen->bytes) chosen->bytes = std::make_unique<char[]>(kWindowSize);
    const int64_t start = offset - offset % static_cast<int64_t>(kWindowAlignment);
    const size_t want = static_cast<size_t>(std::min<int64_t>(kWindowSize, m_size - start));
    const int64_t got = ReadDirect(start, chosen->bytes.get(), want);
    if (got < 0) {
        chosen->length = 0;
        return nullptr;
    }
    chosen->start = start;
    chosen->length = static_cast<size_t>(got);
    chosen->lastUse = ++m_useCount;
    return chosen;
}

int64_t ReadFile::ReadDirect(int64_t offset, void* buffer, size_t count) const {
    if (m_fd < 0 || offset < 0) return -1;
    size_t done = 0;
    auto* out = static_cast<char*>(buffer);
    while (done < count) {
        ssize_t n = ::pread(m_fd, out + done, count - done, offset + static_cast<int64_t>(done));
        if (n < 0) {
            if (errno == EINTR) continue;
            return done > 0 ? static_cast<int64_t>(done) : -1;
        }
        if (n == 0) break;
        done += static_cast<size_t>(n);
    }
    return static_cast<int64_t>(done);
}

bool ReadFile::SameFileAs(const std::string& path) const {
    if (m_memory) return m_space.Memory()->Get(path) == m_memory;
    struct stat mine {
    }, theirs{};
    if (m_fd < 0 || ::fstat(m_fd, &mine) != 0 || ::stat(path.c_str(), &theirs) != 0) return false;
    return mine.st_dev == theirs.st_dev && mine.st_ino == theirs.st_ino;
}

WriteFile::~WriteFile() {
    if (IsOpen()) Close();
}

bool WriteFile::Create(const std::string& path, FileSpace space) {
    return Open(path, O_TRUNC, space);
}

bool WriteFile::CreateNew(const std::string& path, FileSpace space) {
    return Open(path, O_EXCL, space);
}

bool WriteFile::Open(const std::string& path, int flags, FileSpace space) {
    m_position = 0;
    m_failed = false;
    m_error = 0;
    m_buffer.clear();
    if (MemoryFiles* memory = space.Memory()) {
        if ((flags & O_EXCL) && memory->Exists(path)) return Fail(EEXIST);
        m_memory = memory;
        m_path = path;
        memory->Put(path, std::string());
        return true;
    }
    m_fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC | flags, 0666);
    if (m_fd < 0) return Fail(errno);
    m_buffer.reserve(kWriteBufferSize);
    return true;
}

bool WriteFile::Write(const void* data, size_t count) {
    if (!IsOpen() || m_failed) return false;
    m_position += static_cast<int64_t>(count);
    if (m_memory != nullptr) {
        m_buffer.append(static_cast<const char*>(data), count);
        return true;
    }
    if (m_buffer.size() + count > kWriteBufferSize && !Flush()) return false;
    if (count >= kWriteBufferSize) {
        const char* p = static_cast<const char*>(data);
        while (count > 0) {
            ssize_t n = ::write(m_fd, p, count);
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) return Fail(n < 0 ? errno : ENOSPC);
            p += n;
            count -= static_cast<size_t>(n);
        }
        return true;
    }
    m_buffer.append(static_cast<const char*>(data), count);
    return true;
}

bool WriteFile::Flush() {
    size_t done = 0;
    while (done < m_buffer.size()) {
        ssize_t n = ::write(m_fd, m_buffer.data() + done, m_buffer.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return Fail(n < 0 ? errno : ENOSPC);
        done += static_cast<size_t>(n);
    }
    m_buffer.clear();
    return true;
}

bool WriteFile::Fail(int error) {
    if (!m_failed) m_error = error;
    m_failed = true;
    return false;
}

bool WriteFile::Close() {
    if (m_memory != nullptr) {
        std::exchange(m_memory, nullptr)->Put(m_path, std::move(m_buffer));
        m_buffer.clear();
        return !m_failed;
    }
    if (m_fd < 0) return !m_failed;
    if (!m_failed) Flush();
    if (::close(m_fd) != 0 && !m_failed) Fail(errno);
    m_fd = -1;
    return !m_failed;
}

bool WriteFile::SyncAndClose() {
    if (m_fd >= 0 && !m_failed && Flush() && ::fsync(m_fd) != 0) Fail(errno);
    return Close();
}

bool IsSameFile(const std::string& a, const std::string& b, FileSpace space) {
    if (MemoryFiles* memory = space.Memory()) return a == b && memory->Exists(a);
    struct stat sa {
    }, sb{};
    if (::stat(a.c_str(), &sa) != 0 || ::stat(b.c_str(), &sb) != 0) return false;
    return sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

bool FileExists(const std::string& path, FileSpace space) {
    if (MemoryFiles* memory = space.Memory()) return memory->Exists(path);
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0;
}

bool IsReadableFile(const std::string& path, FileSpace space) {
    if (MemoryFiles* memory = space.Memory()) return memory->Exists(path);
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
           ::access(path.c_str(), R_OK) == 0;
}

bool IsSpecialFile(const std::string& path, FileSpace space) {
    if (!space.OnDisk()) return false;
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && !S_ISREG(info.st_mode);
}

bool StartsAsPdf(const std::string& path, FileSpace space) {
    ReadFile file;
    if (!file.Open(path, space)) return false;
    char head[1024];
    int64_t got = file.ReadAt(0, head, sizeof head);
    if (got <= 0) return false;
    return std::string_view(head, static_cast<size_t>(got)).find("%PDF-") != std::string_view::npos;
}

bool RemoveFile(const std::string& path, FileSpace space) {
    if (MemoryFiles* memory = space.Memory()) return memory->Remove(path);
    return ::unlink(path.c_str()) == 0;
}

bool RenameFile(const std::string& from, const std::string& to, FileSpace space) {
    if (MemoryFiles* memory = space.Memory()) return memory->Rename(from, to);
    return std::rename(from.c_str(), to.c_str()) == 0;
}

}  // namespace platform
