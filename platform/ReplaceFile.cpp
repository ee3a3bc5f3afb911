#include "platform/ReplaceFile.h"

#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>

#include "platform/PartialFiles.h"

namespace platform {

namespace {

// A name beside `target` for this process's next private file. The counter makes the names
// of one process differ, its id those of processes writing the same target. A long file name
// is shortened first, so that the suffix never takes the name past the system's limit.
std::string PartName(const std::string& target) {
    static std::atomic<unsigned> counter{0};
    constexpr size_t kLongestKept = 200;       // of the 255 bytes a name may have
    size_t nameStart = target.rfind('/') + 1;  // 0 without a folder
    std::string kept =
        target.substr(0, nameStart + std::min(target.size() - nameStart, kLongestKept));
    return kept + ".part-" + std::to_string(::getpid()) + "-" +
           std::to_string(counter.fetch_add(1) + 1);
}

}  // namespace

ReplaceFile::~ReplaceFile() {
    Abandon();
}

bool ReplaceFile::Begin(const std::string& target, FileSpace space) {
    Abandon();
    m_error.clear();
    m_errorNumber = 0;
    m_target = target;
    m_space = space;
    if (target.empty()) {
        Fail(ENOENT);
        return false;
    }
    const bool onDisk = space.OnDisk();
    for (;;) {
        m_part = PartName(target);
        // Listed before it exists, so no signal can come between its creation and its listing.
        if (onDisk) ListPartialFile(m_part);
        if (m_file.CreateNew(m_part, space)) return true;
        int error = m_file.Error();
        if (onDisk) UnlistPartialFile(m_part);
        m_part.clear();
        if (error != EEXIST) {
            Fail(error);
            return false;
        }
    }
}

bool ReplaceFile::Commit() {
    if (m_part.empty()) return false;
    if (!m_file.SyncAndClose()) {
        Fail(m_file.Error());
        return false;
    }
    if (!RenameFile(m_part, m_target, m_space)) {
        Fail(errno);
        return false;
    }
    UnlistPartialFile(m_part);
    m_part.clear();
    return true;
}

void ReplaceFile::Abandon() {
    if (m_part.empty()) return;
    m_file.Close();
    RemoveFile(m_part, m_space);
    UnlistPartialFile(m_part);
    m_part.clear();
}

void ReplaceFile::Fail(int error) {
    m_errorNumber = error != 0 ? error : EIO;
    m_error = std::strerror(m_errorNumber);
    Abandon();
}

std::string ReplaceFileWith(const std::string& target, std::string_view bytes, FileSpace space) {
    ReplaceFile file;
    if (!file.Begin(target, space)) return file.Error();
    file.Write(bytes);  // a failed write fails the commit with its reason
    if (file.Commit()) return {};
    return file.Error();
}

}  // namespace platform
