// Manual pages in the man macro language: section 1 for each program, section 5 for the setup,
// conversion and list files. Texts are escaped so that no word of theirs reads as a request.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "manual/ProgramManual.h"

namespace manual {

// `text` with its backslashes and hyphens escaped, and every line that would start with a
// control character protected.
std::string RoffEscaped(std::string_view text);

// The page of `program`; `others` are the names of the suite's other pages for SEE ALSO.
std::string ProgramPage(const ProgramManual& program, const std::vector<std::string>& seeAlso);

// velmora-setup(5): every setup-file key with its kind, default and control, the conversion
// file's keys with their defaults, and the batch list file's lines.
std::string SetupFilePage(const std::vector<std::string>& seeAlso);

}  // namespace manual
