#include "desktop/core/OutputPlacement.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

namespace desktop {

namespace {

std::string FolderOf(const std::string& path) {
    size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string SystemError(int error) {
    return std::strerror(error);
}

// Copies the open `from` into the open `to`; 0 or the system's error number.
int CopyBytes(int from, int to) {
    std::vector<char> buffer(1 << 16);
    while (true) {
        ssize_t got = ::read(from, buffer.data(), buffer.size());
        if (got == 0) return 0;
        if (got < 0) {
            if (errno == EINTR) continue;
            return errno;
        }
        for (ssize_t done = 0; done < got;) {
            ssize_t put = ::write(to, buffer.data() + done, static_cast<size_t>(got - done));
            if (put < 0) {
                if (errno == EINTR) continue;
                return errno;
            }
            done += put;
        }
    }
}

// The process's umask, read without changing it: setting it to learn it would, for a moment,
// let files that other threads create get every permission.
mode_t CurrentUmask() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("Umask:", 0) == 0)
            return static_cast<mode_t>(std::stoul(line.substr(6), nullptr, 8));
    }
    return 022;
}

// The mode a new file gets under the process's umask.
mode_t NewFileMode() {
    return 0666 & ~CurrentUmask();
}

}  // namespace

std::string PutOutputInPlace(const std::string& finished, const std::string& target) {
    int from = ::open(finished.c_str(), O_RDONLY | O_CLOEXEC);
    if (from < 0) return "cannot read the finished file: " + SystemError(errno);
    std::string beside = FolderOf(target) + "/.velmora-XXXXXX.part";
    int to = ::mkostemps(beside.data(), 5, O_CLOEXEC);
    if (to < 0) {
        int error = errno;
        ::close(from);
        return SystemError(error);
    }
    int error = CopyBytes(from, to);
    ::close(from);
    if (error == 0 && ::fchmod(to, NewFileMode()) != 0) error = errno;
    if (error == 0 && ::fsync(to) != 0) error = errno;
    if (::close(to) != 0 && error == 0) error = errno;
    if (error == 0 && std::rename(beside.c_str(), target.c_str()) != 0) error = errno;
    if (error != 0) {
        ::unlink(beside.c_str());
        return SystemError(error);
    }
    return {};
}

}  // namespace desktop
