// Replacing a file whole: the one way every writer here puts a file in place of another.
//
// The new bytes go to a private file beside the target, "TARGET.part-PID-N", created new
// (never opened through an existing name or link) with the permissions any new file of the
// process gets: 0666 less the process's umask, applied by the system, which is never changed
// to learn it. `Commit` flushes the bytes to the disk and renames the file over the target, so
// the target is at every moment either the earlier file or the whole new one. A failed write,
// a failed commit or an object dropped uncommitted removes the private file and leaves the
// target as it was. A symbolic link at the target's name is replaced by the new file; the
// file it pointed to is not touched. While written, the private file is listed for removal
// on a signal (PartialFiles.h). Given a space of in-memory files, all of it happens there.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/File.h"

namespace platform {

class ReplaceFile {
  public:
    ReplaceFile() = default;
    ~ReplaceFile();
    ReplaceFile(const ReplaceFile&) = delete;
    ReplaceFile& operator=(const ReplaceFile&) = delete;

    // Creates the private file for `target`; false (with `Error`) when it cannot be created.
    bool Begin(const std::string& target, FileSpace space = {});
    bool IsOpen() const { return m_file.IsOpen(); }
    const std::string& Target() const { return m_target; }

    // Appends bytes; false once any write has failed.
    bool Write(const void* data, size_t count) { return m_file.Write(data, count); }
    bool Write(std::string_view bytes) { return m_file.Write(bytes); }
    // Bytes written so far.
    int64_t Position() const { return m_file.Position(); }

    // Flushes to the disk, closes and renames over the target; false (with `Error`) when any
    // write, the flush, the close or the rename failed, the private file removed then.
    bool Commit();
    // Closes and removes the private file (nothing when committed or never begun).
    void Abandon();

    // The system's reason for the last failure ("No space left on device"), empty if none.
    const std::string& Error() const { return m_error; }
    // The same as the system's error number (0: none).
    int ErrorNumber() const { return m_errorNumber; }

  private:
    void Fail(int error);

    WriteFile m_file;
    FileSpace m_space;
    std::string m_target;
    std::string m_part;
    std::string m_error;
    int m_errorNumber = 0;
};

// Replaces `target` with `bytes` as above; empty on success, else the system's reason.
std::string ReplaceFileWith(const std::string& target, std::string_view bytes,
                            FileSpace space = {});

}  // namespace platform
