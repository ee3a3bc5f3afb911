// Where the file layer keeps the files a caller names: on disk (the default), or in a store of
// in-memory files (MemoryFiles.h) that the caller owns and hands in with each call. The space
// is passed along with the names, so that two runs in one process never share it by accident.
#pragma once

namespace platform {

class MemoryFiles;

class FileSpace {
  public:
    FileSpace() = default;
    explicit FileSpace(MemoryFiles& memory) : m_memory(&memory) {}

    bool OnDisk() const { return m_memory == nullptr; }
    // The in-memory store; nullptr on disk.
    MemoryFiles* Memory() const { return m_memory; }

  private:
    MemoryFiles* m_memory = nullptr;
};

}  // namespace platform
