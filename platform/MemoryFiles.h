// In-memory files: a process-wide switch under which the file layer (ReadFile, WriteFile,
// FileExists, RemoveFile, RenameFile, IsSameFile) keeps files in memory by name instead of on
// disk. For fuzzing and tests that run a whole engine many times a second: nothing touches the
// disk, and nothing is left behind. Off unless switched on; not meant for normal runs.
//
// Files are shared between threads under a lock; a reader holds its own reference to the bytes
// it opened, so a file replaced or removed afterwards does not change what it reads.
#pragma once

#include <memory>
#include <string>

namespace platform::memory_files {

// Switches the in-memory files on or off; switching off (or on again) forgets every file.
void Enable(bool on);
bool Enabled();

// Puts `bytes` under `path`, replacing what was there.
void Put(const std::string& path, std::string bytes);
// The bytes under `path`; nullptr when there is no such file.
std::shared_ptr<const std::string> Get(const std::string& path);
bool Exists(const std::string& path);
bool Remove(const std::string& path);
// Moves the file at `from` to `to`, replacing `to`; false when `from` does not exist.
bool Rename(const std::string& from, const std::string& to);

}  // namespace platform::memory_files
