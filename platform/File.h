// File access with 64-bit offsets.
//
// `ReadFile` is a read-only handle for random access by position (pread): it never moves a
// shared file position, so several readers of one document may share it. Short reads are
// served from a few cached windows of the file (the least recently used one is replaced), so
// that a parser's many small reads, moving through several parts of a file at once, cost one
// system call per window instead of one each; the windows are guarded, so sharing stays safe.
// `WriteFile` is an output file that counts the bytes written through it; writers take every offset
// they record from that count. Both own their descriptor and close it on destruction. Given a
// space of in-memory files (FileSpace.h), both (and the functions below) work on those instead.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>

#include "platform/FileSpace.h"

namespace platform {

class ReadFile {
  public:
    ReadFile() = default;
    ~ReadFile();
    ReadFile(const ReadFile&) = delete;
    ReadFile& operator=(const ReadFile&) = delete;
    ReadFile(ReadFile&& other) noexcept;
    ReadFile& operator=(ReadFile&& other) noexcept;

    // Opens `path` for reading; false when it cannot be opened or is not a regular file.
    bool Open(const std::string& path, FileSpace space = {});
    void Close();
    bool IsOpen() const { return m_fd >= 0 || m_memory != nullptr; }

    // Size of the file in bytes at the time it was opened.
    int64_t Size() const { return m_size; }

    // Reads up to `count` bytes at `offset`; returns the number read (0 at or past the end,
    // -1 on an error of the system). The bytes are those of the file when this handle first
    // read near them: a file changed under an open handle may be seen as it was.
    int64_t ReadAt(int64_t offset, void* buffer, size_t count) const;

    // True when `path` names the file this handle opened (on disk: same device and inode).
    bool SameFileAs(const std::string& path) const;

  private:
    static constexpr size_t kWindowSize = 16 * 1024;
    static constexpr size_t kWindowAlignment = 4096;
    static constexpr size_t kWindowCount = 32;
    // Longer reads go straight to the file: they would gain little and copy a window's worth.
    static constexpr size_t kWindowedReadLimit = 8 * 1024;

    struct Window {
        std::unique_ptr<char[]> bytes;
        int64_t start = 0;
        size_t length = 0;  // 0: holds nothing
        uint64_t lastUse = 0;

        bool Holds(int64_t offset, size_t count) const {
            return length > 0 && offset >= start &&
                   offset + static_cast<int64_t>(count) <= start + static_cast<int64_t>(length);
        }
    };

    int64_t ReadDirect(int64_t offset, void* buffer, size_t count) const;
    // The window holding [offset, offset + count), loading the least recently used one with
    // the part of the file from `offset` on when none does; nullptr on an error of the system.
    Window* WindowFor(int64_t offset, size_t count) const;
    void DropWindows();

    int m_fd = -1;
    std::shared_ptr<const std::string> m_memory;  // an in-memory file's bytes
    FileSpace m_space;
    int64_t m_size = 0;
    mutable std::mutex m_windowMutex;
    mutable std::array<Window, kWindowCount> m_windows;
    mutable uint64_t m_useCount = 0;
};

class WriteFile {
  public:
    WriteFile() = default;
    ~WriteFile();
    WriteFile(const WriteFile&) = delete;
    WriteFile& operator=(const WriteFile&) = delete;

    // Creates or truncates `path`; false when it cannot be.
    bool Create(const std::string& path, FileSpace space = {});
    // Creates `path`, which must not exist yet (not even as a link), with mode 0666 less the
    // process's umask; false when it cannot be.
    bool CreateNew(const std::string& path, FileSpace space = {});
    bool IsOpen() const { return m_fd >= 0 || m_memory != nullptr; }

    // Appends bytes through an internal buffer; false once any write has failed.
    bool Write(const void* data, size_t count);
    bool Write(std::string_view text) { return Write(text.data(), text.size()); }

    // Bytes written so far, buffered ones included: the offset the next byte will have.
    int64_t Position() const { return m_position; }

    // Flushes and closes; false when any write, the flush or the close failed.
    bool Close();
    // Flushes, writes the file through to the disk and closes; false as for `Close`.
    bool SyncAndClose();
    bool Failed() const { return m_failed; }
    // The system's error number of the first failure (ENOSPC for a disk that took no byte);
    // 0 when nothing failed.
    int Error() const { return m_error; }

  private:
    bool Open(const std::string& path, int flags, FileSpace space);
    bool Flush();
    // Notes a failed call: the error number it left (`errno`, or ENOSPC for a write that wrote
    // nothing without one); false.
    bool Fail(int error);

    int m_fd = -1;
    MemoryFiles* m_memory = nullptr;  // the bytes gather in m_buffer and become a file there
    std::string m_path;
    int64_t m_position = 0;
    bool m_failed = false;
    int m_error = 0;
    std::string m_buffer;
};

// True when the two paths name one file (through links or other spellings too).
// False when either does not exist.
bool IsSameFile(const std::string& a, const std::string& b, FileSpace space = {});

bool FileExists(const std::string& path, FileSpace space = {});
// The one check that a name is an input this process can read before any work starts: true for
// a regular file (links followed) this process may read; a folder, a device or a pipe is never
// taken for an input. The file is not opened: opening a pipe would wait for a writer that may
// never come. In memory: whether the file is there.
bool IsReadableFile(const std::string& path, FileSpace space = {});
// True when `path` names something that is not a regular file (a pipe, a device, a socket, a
// folder): a name no input is read from.
bool IsSpecialFile(const std::string& path, FileSpace space = {});
bool RemoveFile(const std::string& path, FileSpace space = {});
// Renames `from` to `to`, replacing `to`; false when it could not.
bool RenameFile(const std::string& from, const std::string& to, FileSpace space = {});

// True when the content of the regular file at `path` is a PDF by its first bytes: the
// header "%PDF-" within the first 1024 bytes, where PDF readers look for it. False for a
// file that cannot be read, a folder or a device.
bool StartsAsPdf(const std::string& path, FileSpace space = {});

}  // namespace platform
