// In-memory files: a store of files kept by name instead of on disk, for fuzzing and tests that
// run a whole engine many times a second: nothing touches the disk, and nothing is left behind.
// A store is handed to the file layer as a `FileSpace` (File.h) by whoever runs the engine; a
// run given none works on the disk.
//
// Files are shared between threads under a lock; a reader holds its own reference to the bytes
// it opened, so a file replaced or removed afterwards does not change what it reads.
#pragma once

#include <map>
#include <memory>
#include <mutex>
#include <string>

namespace platform {

class MemoryFiles {
  public:
    MemoryFiles() = default;
    MemoryFiles(const MemoryFiles&) = delete;
    MemoryFiles& operator=(const MemoryFiles&) = delete;

    // Puts `bytes` under `path`, replacing what was there.
    void Put(const std::string& path, std::string bytes);
    // The bytes under `path`; nullptr when there is no such file.
    std::shared_ptr<const std::string> Get(const std::string& path) const;
    bool Exists(const std::string& path) const;
    bool Remove(const std::string& path);
    // Moves the file at `from` to `to`, replacing `to`; false when `from` does not exist.
    bool Rename(const std::string& from, const std::string& to);
    size_t Count() const;

  private:
    mutable std::mutex m_mutex;
    std::map<std::string, std::shared_ptr<const std::string>> m_files;
};

}  // namespace platform
