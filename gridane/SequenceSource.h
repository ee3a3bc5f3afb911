// The sheet list read from a sequence file (the job's `seq`), in place of a built-in layout.
#pragma once

#include "gridane/ImpositionJob.h"

namespace gridane {

// Reads the job's sequence file and returns its sheet records; throws CPdfException with the
// reason when the file is missing or malformed.
SheetList ReadSequenceFile(ImpositionJob& job);

}  // namespace gridane
