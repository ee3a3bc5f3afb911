// The batch run: ProcessFile once for every row of the batch list marked "Yes", each row's
// outcome written into its status ("Processing", "Done", "file error" or the pipeline's own
// text). The row statuses reach both the list and the UI port. Rows whose outputs would have
// the same name in the output folder each keep their own file: a later one is written as
// "x (2).pdf", and its status says so; the names are decided before any row starts.
//
// Rows may run side by side, each in a run of its own with its own engine objects and private
// folder. What the user gets is the same as one row at a time: statuses show as rows end, and
// the debug log (one block per row), the messages, the summary and the exit status follow the
// list's order. A cancel stops rows from starting; the rows already running end as the cancel
// finds them (done, or cancelled cleanly).
#pragma once

#include <functional>
#include <memory>
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
    int total = 0;        // rows marked "Yes" when the run started
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
    // Every row the run started, in list order: its result and the output it wrote (or would
    // have written), so that a caller can act on each row's files.
    struct Outcome {
        size_t index = 0;  // the row in the list
        int result = 0;
        std::string status;
        std::string output;
    };
    std::vector<Outcome> outcomes;
};

struct BatchOptions {
    int rows = 1;  // rows at once; 0 or less: as many as the machine has cores
    // Makes the engine objects of a thread that runs rows. Without it every row runs on the
    // calling thread with the context's engines, one at a time.
    std::function<std::unique_ptr<EngineObjects>(UiPort& ui)> makeEngines;
};

// The rows at once when none are asked for: the machine's cores.
int DefaultBatchRows();
// The most rows at once a run takes.
inline constexpr int kMaxBatchRows = 64;

// Runs the rows of `list` (null when the batch window does not exist) with the context's job.
// A cancel answered by the UI port before a row starts stops the run there. The rows' final
// statuses are written into `list` when the run ends; while it runs they reach the UI port
// only, on the calling thread.
BatchSummary RunBatch(PipelineContext& context, BatchList* list, const BatchOptions& options = {});

// True when ProcessFile should append ".pdf" to a row's output: the path does not end in
// "pdf" (in any case).
bool NeedsPdfSuffix(const std::string& path);

// `name` with " (2)", " (3)", ... before its extension: the first form not in `taken`.
std::string DistinctName(const std::string& name, const std::vector<std::string>& taken);
// `name` with " (number)" before its extension ("x.pdf", 2: "x (2).pdf"); `name` for 1.
std::string NumberedName(const std::string& name, int number);

// How the run ended: "Done." when every row it was to run succeeded, else what became of the
// rows, "9 done, 1 failed, 2 cancelled, 49 not run." (the parts after "done" only when not 0).
std::string BatchSummaryText(const BatchSummary& summary);

// The text a result code stands for, when a failed row's status does not say more.
std::string ResultText(int result);

}  // namespace desktop
