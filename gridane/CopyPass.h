// The two passes of a run that move input bytes to the output unchanged: the bytes before the
// first object, and every object that is not a page, as raw text.
#pragma once

#include "gridane/ImpositionJob.h"

namespace gridane {

// Writes the input from its "%PDF-" header up to its first object. Offsets in the input count
// from the header, so an output that starts there keeps every offset right for its readers.
void CopyHeader(ImpositionJob& job);

// Copies every object of the input except the pages (written later as sheets or kept pages),
// the objects the job holds back (written later by their own writers),
// the object streams and cross-reference streams (those of earlier revisions too), and
// objects without text; objects that sat in object streams become plain objects. Each copy
// keeps its generation.
void CopyObjects(ImpositionJob& job);

}  // namespace gridane
