#include "gridane/SequenceSource.h"

#include "pdf/CPdfException.h"

namespace gridane {

SheetList ReadSequenceFile(ImpositionJob&) {
    throw CPdfException("Sequence files are not supported by this build\n");
}

}  // namespace gridane
