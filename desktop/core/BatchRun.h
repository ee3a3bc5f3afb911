// The batch run: ProcessFile once for every row of the batch list marked "Yes", each row's
// outcome written into its status ("Processing", "Done", "file error" or the pipeline's own
// text). The row statuses reach both the list and the UI port.
#pragma once

#include "desktop/core/BatchList.h"
#include "desktop/core/Pipeline.h"

namespace desktop {

inline constexpr char kPrepareListFirstMessage[] = "You must prepare a list first or load one";
inline constexpr char kBatchDoneMessage[] = "Done.";
inline constexpr char kStatusProcessing[] = "Processing";
inline constexpr char kStatusDone[] = "Done";
inline constexpr char kStatusFileError[] = "file error";

struct BatchSummary {
    bool ran = false;     // false: there was no list to run
    int processed = 0;    // rows handed to ProcessFile
    int failed = 0;       // of those, rows that did not succeed, unreadable rows included
    int lastFailure = 0;  // the result code of the last failure (3 for an unreadable row)
    bool cancelled = false;
};

// Runs the rows of `list` (null when the batch window does not exist) with the context's job.
// A cancel answered by the UI port between rows stops the run there.
BatchSummary RunBatch(PipelineContext& context, BatchList* list);

// True when ProcessFile should append ".pdf" to a row's output: the path does not end in
// "pdf" (in any case).
bool NeedsPdfSuffix(const std::string& path);

}  // namespace desktop
