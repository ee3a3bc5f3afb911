// A file name for the fuzz targets of readers that take a name: an anonymous file in memory
// (memfd), reached through /proc/self/fd, rewritten with each input. No file on disk is made.
#pragma once

#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <string>

namespace fuzz {

class MemoryFileName {
  public:
    explicit MemoryFileName(const char* label) : m_fd(::memfd_create(label, MFD_CLOEXEC)) {
        if (m_fd < 0) std::abort();
        m_name = "/proc/self/fd/" + std::to_string(m_fd);
    }

    // The file now holds exactly `data`; its name is returned.
    const std::string& Hold(const uint8_t* data, size_t size) {
        if (::ftruncate(m_fd, 0) != 0) std::abort();
        size_t done = 0;
        while (done < size) {
            ssize_t n = ::pwrite(m_fd, data + done, size - done, static_cast<off_t>(done));
            if (n <= 0) std::abort();
            done += static_cast<size_t>(n);
        }
        return m_name;
    }

  private:
    int m_fd;
    std::string m_name;
};

}  // namespace fuzz
