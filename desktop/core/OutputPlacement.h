// Putting a finished output in place. The file is copied through a `platform::ReplaceFile`
// (beside its target under a private name, then renamed over it), so the target is at every
// moment either the earlier file or the whole new one: a failed copy (a full disk, a file-size
// limit) leaves the earlier file as it was and no partial file, and two jobs writing the same
// output each put a whole result in place.
#pragma once

#include <string>

namespace desktop {

// Empty on success, else why the output could not be written.
std::string PutOutputInPlace(const std::string& finished, const std::string& target);

}  // namespace desktop
