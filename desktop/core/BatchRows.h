// One batch row's run, kept apart from every other row so that rows can run side by side: the
// row's own UI port, debug-log block and engine report log, and what the row did. Internal to
// the batch run (BatchRun.cpp).
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "desktop/core/BatchList.h"
#include "desktop/core/Pipeline.h"
#include "desktop/core/UiPort.h"

namespace desktop {

// A message or status line a row showed, kept to be shown with the row's block.
struct RowTold {
    bool statusLine = false;  // UiPort::Status, else UiPort::Message
    std::string text;
    std::string title;
};

// What a row is to do, decided before any row starts, and what it did.
struct RowJob {
    size_t index = 0;  // the row in the list
    std::string path;
    bool readable = false;   // false: "file error", and no run
    std::string folder;      // the list's output folder, as given
    std::string name;        // the output's own name in the output folder
    std::string distinct;    // the name it is written under: `name`, or "x (2).pdf"
    ProcessRequest request;  // {row, path, the absolute output}, for a readable row
    // What the row did.
    int result = kProcessDone;
    ProcessReport report;
    std::string status;   // the last status the row was given
    std::string logText;  // its debug-log lines, one block
    std::vector<RowTold> told;
    bool ended = false;  // set by the batch's own thread
};

// The rows of `list` marked "Yes", in list order. Each readable row's output is decided here
// and nowhere else: the list's folder (made absolute) and the input's own name, ".pdf" added
// to a name not ending in it, and " (2)" ... when an earlier row took that name.
std::vector<RowJob> PlanRows(const BatchList& list);

// The UI port of one row. Row statuses go to `deliver` at once (and are kept as the row's
// status); messages and status lines are kept in the job. A row asks no questions and chooses
// no files. A row run on the batch's own thread (`sameThread`) moves the progress bar and lets
// pending events be handled through `inner`, as a single job does; a row on a thread of its own
// asks `inner` only whether the user cancelled.
class RowPort final : public UiPort {
  public:
    using Deliver = std::function<void(size_t index, const std::string& status)>;
    RowPort(RowJob& job, UiPort& inner, bool sameThread, Deliver deliver)
        : m_job(job), m_inner(inner), m_sameThread(sameThread), m_deliver(std::move(deliver)) {}

    void Message(std::string_view text, std::string_view title = {}) override;
    Answer Question(std::string_view text, std::string_view title) override;
    void Progress(int position) override;
    bool HandlePendingMessages() override;
    void Status(std::string_view text) override;
    void SetRowStatus(int row, std::string_view status) override;
    std::optional<std::string> ChooseFile(const FileDialog& dialog) override;
    std::optional<std::string> ChooseFolder(std::string_view title,
                                            std::string_view start) override;
    bool CancelRequested() const override { return m_inner.CancelRequested(); }

  private:
    RowJob& m_job;
    UiPort& m_inner;
    bool m_sameThread;
    Deliver m_deliver;
};

// Runs the readable row `job` through ProcessFile on the calling thread with `engines`, which
// report into the row's own log block while it runs. `base` gives the job, the settings and
// whether the program's log is on; its engines and port are not used.
void RunRow(RowJob& job, const PipelineContext& base, EngineObjects& engines, RowPort& port);

}  // namespace desktop
