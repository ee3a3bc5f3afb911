// Appending one PDF document to another: the output holds the pages of the first document
// followed by those of the second. Objects are copied as raw text; the second document's
// objects are renumbered after the first's, and those identical to objects of the first are
// not written again but referred to by the first's numbers. The second page tree becomes a
// kid of the first, and the outlines are chained. The engine's doubling pre-passes append a
// document to itself this way.
#pragma once

#include <string>

#include "com/ProgressSink.h"
#include "platform/FileSpace.h"

namespace gridane {

// Writes `output` from `first` and `second` (both read in the strict reading mode). Raises
// `CPdfException` on failure: the reader's messages, or "File1 open error: '%s'",
// "File2 open error: '%s'" and "File output error: '%s'". The output may not be one of the
// inputs; a failed append leaves an earlier file of the output's name as it was and no partial
// file. Reports its progress to `progress` (nullptr: nowhere).
void AppendDocuments(const std::string& first, const std::string& second, const std::string& output,
                     com::IProgressSink* progress = nullptr);

// The pre-passes' entry: runs AppendDocuments without chaining the outlines (the second
// document is the first again, whose bookmarks the output lists once) and reports a failure as a
// warning (the message, or "Unexpected exception") instead of raising it. Returns whether the
// append succeeded; the pre-passes go on either way and judge by the output file. The files
// are in `files`.
bool AppendForPrePass(const std::string& first, const std::string& second,
                      const std::string& output, com::IProgressSink* progress,
                      platform::FileSpace files = {});

}  // namespace gridane
