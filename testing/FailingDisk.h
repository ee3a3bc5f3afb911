// For tests of the writers: a file-size limit that refuses the bytes of every file after the
// first N (as a full disk would), and the names a folder holds, to see that a failed write
// left nothing behind.
#pragma once

#include <signal.h>
#include <sys/resource.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace testing_support {

// A file-size limit for this process (as `ulimit -f` sets), with SIGXFSZ ignored so that a
// write past it fails with EFBIG as a full disk would fail it; both restored at the end.
class ScopedFileSizeLimit {
  public:
    explicit ScopedFileSizeLimit(rlim_t bytes) {
        ::getrlimit(RLIMIT_FSIZE, &m_before);
        m_handler = ::signal(SIGXFSZ, SIG_IGN);
        struct rlimit limit = m_before;
        limit.rlim_cur = bytes;
        ::setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~ScopedFileSizeLimit() {
        ::setrlimit(RLIMIT_FSIZE, &m_before);
        ::signal(SIGXFSZ, m_handler);
    }
    ScopedFileSizeLimit(const ScopedFileSizeLimit&) = delete;
    ScopedFileSizeLimit& operator=(const ScopedFileSizeLimit&) = delete;

  private:
    struct rlimit m_before {};
    sighandler_t m_handler = SIG_DFL;
};

inline std::vector<std::string> FileNamesIn(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

}  // namespace testing_support
