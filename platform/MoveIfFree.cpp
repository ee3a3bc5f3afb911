#include "platform/MoveIfFree.h"

#include <fcntl.h>
#include <stdio.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace platform {

namespace {

MoveOutcome Outcome(int number, std::string* error) {
    if (number == EEXIST || number == ENOTEMPTY) return MoveOutcome::NameTaken;
    if (number == ENOENT) return MoveOutcome::SourceGone;
    if (error != nullptr) *error = std::strerror(number);
    return MoveOutcome::Failed;
}

}  // namespace

MoveOutcome MoveIfFree(const std::string& from, const std::string& to, std::string* error) {
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) {
        return MoveOutcome::Moved;
    }
    if (errno != EINVAL && errno != ENOSYS) return Outcome(errno, error);
    if (::link(from.c_str(), to.c_str()) != 0) return Outcome(errno, error);
    ::unlink(from.c_str());
    return MoveOutcome::Moved;
}

}  // namespace platform
