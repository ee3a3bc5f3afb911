// The `gridane` command: `gridane [--NAME=VALUE ...] INPUT OUTPUT`. It puts each option as a
// property of a settings object, calls getGridaneFile and reports the status text.
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace gridane {

// Runs the command over `args` (without the program name). Returns the exit code: 0 when the
// status is empty or names the temporary file of a pre-pass, 1 when the run failed, 2 for a
// wrong command line.
int RunGridaneCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

// The --help text: the usage and every property with its default and meaning.
std::string GridaneHelpText();

}  // namespace gridane
