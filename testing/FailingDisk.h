// For tests of the writers: a disk that refuses the bytes of every output file after the
// first N (as a full disk would), and the names a folder holds, to see that a failed write
// left nothing behind.
#pragma once

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "pdf/CPdfOutputFile.h"

namespace testing_support {

class ScopedFailingDisk {
  public:
    explicit ScopedFailingDisk(int64_t bytesAccepted) {
        CPdfOutputFile::FailWritesAfterForTesting(bytesAccepted);
    }
    ~ScopedFailingDisk() { CPdfOutputFile::FailWritesAfterForTesting(-1); }
    ScopedFailingDisk(const ScopedFailingDisk&) = delete;
    ScopedFailingDisk& operator=(const ScopedFailingDisk&) = delete;
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
