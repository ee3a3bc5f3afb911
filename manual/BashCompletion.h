// Bash completion of one program, made from the same option table as its --help: the options,
// then each option's value (files, folders or paper names) in the program's own form of
// joining an option to its value ("--sheet=A4", "-c job.plf", "-ifile.tif").
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "manual/ProgramManual.h"

namespace manual {

// A script for bash's completions folder that completes `program`'s command line. An option
// whose value offers nothing to choose (OptionValue::None) is completed as a bare switch.
std::string BashCompletionScript(const ProgramManual& program,
                                 const std::vector<std::string_view>& paperNames);

}  // namespace manual
