// The temporary folder and the process-wide temporary-name service.
#pragma once

#include <string>

namespace platform {

// $TMPDIR when set and not empty, else "/tmp"; always ends with the separator '/'.
std::string TempFolder();

// A name in the temporary folder that no earlier call of this process returned and that
// carries the process id, so that concurrent processes do not collide either. The file is
// not created.
std::string UniqueTempName();

}  // namespace platform
