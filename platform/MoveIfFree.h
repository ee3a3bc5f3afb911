// Moving a file to a name only while that name is free: two programs placing files in one
// folder (on one machine or on two sharing it) never replace each other's, and a file that
// another program has already moved away is told apart from a failure.
#pragma once

#include <string>

namespace platform {

enum class MoveOutcome {
    Moved,
    NameTaken,   // `to` exists; nothing was moved
    SourceGone,  // `from` does not exist (any more)
    Failed,
};

// Renames `from` to `to` within one file system unless `to` exists. Where the file system
// cannot refuse a rename over an existing name (some network file systems), a hard link is
// made and `from` removed, so `from` may for a moment have both names.
MoveOutcome MoveIfFree(const std::string& from, const std::string& to, std::string* error);

}  // namespace platform
