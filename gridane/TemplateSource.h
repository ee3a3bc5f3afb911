// The sheet template of a job (the job's `template`), read from its file.
#pragma once

#include <string>

#include "gridane/SheetTemplate.h"
#include "platform/FileSpace.h"

namespace gridane {

// The template in the regular file `path`; throws CPdfException naming the file and the
// reason when it cannot be read or is refused.
SheetTemplate ReadTemplateFile(const std::string& path, platform::FileSpace files = {});

}  // namespace gridane
