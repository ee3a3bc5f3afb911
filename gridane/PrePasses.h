// The two doubling pre-passes, which write the input followed by a copy of itself into a
// temporary file: for the 2-to-1 layouts (the run then imposes the temporary file), and for
// `duplicate` with a rotation flag (the caller goes on with the temporary file).
#pragma once

#include <string>

#include "gridane/ImpositionJob.h"

namespace gridane {

// The temporary file's name for a pre-pass of the job: a file beside its output.
std::string PrePassTempName(const ImpositionJob& job);

// 2-to-1: doubles the input into the job's temporary file and makes it the job's input.
void RunTwoToOnePrePass(ImpositionJob& job);

// `duplicate` with `rotateLeft` or `rotateRight`: doubles the input into a temporary file and
// returns its name (the status text of the call).
std::string RunDoublingPrePass(ImpositionJob& job);

}  // namespace gridane
