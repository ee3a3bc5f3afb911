#include "desktop/core/OutputPlacement.h"

#include <cerrno>
#include <cstring>
#include <vector>

#include "platform/File.h"
#include "platform/ReplaceFile.h"

namespace desktop {

std::string PutOutputInPlace(const std::string& finished, const std::string& target) {
    platform::ReadFile from;
    if (!from.Open(finished))
        return std::string("cannot read the finished file: ") + std::strerror(errno);
    platform::ReplaceFile to;
    if (!to.Begin(target)) return to.Error();
    std::vector<char> buffer(1 << 16);
    for (int64_t offset = 0; offset < from.Size();) {
        int64_t got = from.ReadAt(offset, buffer.data(), buffer.size());
        if (got <= 0)
            return std::string("cannot read the finished file: ") +
                   std::strerror(got < 0 ? errno : EIO);
        to.Write(buffer.data(), static_cast<size_t>(got));  // a failed write fails the commit
        offset += got;
    }
    if (!to.Commit()) return to.Error();
    return {};
}

}  // namespace desktop
