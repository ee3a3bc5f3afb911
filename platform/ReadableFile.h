// The one check that a name is an input this process can read before any work starts.
#pragma once

#include <string>

namespace platform {

// True for a regular file (links followed) that this process may read: a folder, a device or
// a pipe is never taken for an input. Under the in-memory files (MemoryFiles.h): whether the
// file is there.
bool IsReadableFile(const std::string& path);

}  // namespace platform
