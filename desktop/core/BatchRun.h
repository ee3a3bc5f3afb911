// The batch run: ProcessFile once for every row of the batch list marked "Yes", each row's
// outcome written into its status ("Processing", "Done", "file error" or the pipeline's own
// text). The row statuses reach both the list and the UI port. Rows whose outputs would have
// the same name in the output folder each keep their own file: a later one is written as
// "x (2).pdf", and its status says so.
#pragma once

#include <string>
#include <vector>

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
    int tried = 0;        // rows marked "Yes" that the run came to
    int processed = 0;    // rows handed to ProcessFile
    int failed = 0;       // of those, rows that did not succeed, unreadable rows included
    int lastFailure = 0;  // the result code of the last failure (3 for an unreadable row)
    bool cancelled = false;
    struct Failure {
        std::string path;
        std::string status;
    };
    std::vector<Failure> failures;  // every failed row, in list order
};

// Runs the rows of `list` (null when the batch window does not exist) with the context's job.
// A cancel answered by the UI port between rows stops the run there.
BatchSummary RunBatch(PipelineContext& context, BatchList* list);

// True when ProcessFile should append ".pdf" to a row's output: the path does not end in
// "pdf" (in any case).
bool NeedsPdfSuffix(const std::string& path);

// `name` with " (2)", " (3)", ... before its extension: the first form not in `taken`.
std::string DistinctName(const std::string& name, const std::vector<std::string>& taken);

// The text a result code stands for, when a failed row's status does not say more.
std::string ResultText(int result);

}  // namespace desktop
