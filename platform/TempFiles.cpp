#include "platform/TempFiles.h"

#include <unistd.h>

#include <atomic>
#include <cstdlib>

namespace platform {

std::string TempFolder() {
    const char* dir = std::getenv("TMPDIR");
    std::string folder = (dir != nullptr && *dir != '\0') ? dir : "/tmp";
    if (folder.back() != '/') folder += '/';
    return folder;
}

std::string UniqueTempName() {
    static std::atomic<unsigned long> counter{0};
    unsigned long serial = counter.fetch_add(1) + 1;
    return TempFolder() + "v" + std::to_string(::getpid()) + "." + std::to_string(serial);
}

}  // namespace platform
