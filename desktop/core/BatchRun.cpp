#include "desktop/core/BatchRun.h"

#include <algorithm>
#include <cctype>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

#include "desktop/core/BatchProgress.h"
#include "desktop/core/BatchRows.h"
#include "desktop/core/DebugLog.h"
#include "desktop/core/EngineObjects.h"
#include "desktop/core/Interrupts.h"
#include "desktop/core/QuietUiPort.h"
#include "desktop/core/UiPort.h"
#include "platform/File.h"

namespace desktop {

namespace {

bool Contains(const std::vector<std::string>& names, const std::string& name) {
    return std::find(names.begin(), names.end(), name) != names.end();
}

// What a failed row's status says, or the result's text when the status says nothing more.
std::string FailureText(const RowJob& job) {
    bool said = job.status != kStatusProcessing && job.status != kStatusReady;
    return said ? job.status : ResultText(job.result);
}

void RecordFailure(BatchSummary& summary, const RowJob& job) {
    ++summary.failed;
    summary.lastFailure = job.result;
    summary.failures.push_back({job.path, FailureText(job)});
}

// Threads that run rows, each with engine objects of its own made (and released) on it. A row
// handed over runs on the first free thread; its statuses and its end come back as events that
// the batch's own thread takes, so that only that thread ever calls the UI port.
class RowThreads {
  public:
    struct Event {
        RowJob* job;
        bool ended;          // else a status
        std::string status;  // for a status
    };

    RowThreads(int count, const BatchOptions& options, const PipelineContext& base) : m_base(base) {
        for (int i = 0; i < count; ++i) {
            m_threads.emplace_back([this, &options] { Serve(options); });
        }
    }
    ~RowThreads() {
        {
            std::lock_guard lock(m_mutex);
            m_closing = true;
        }
        m_work.notify_all();
        for (std::thread& thread : m_threads) thread.join();
    }
    RowThreads(const RowThreads&) = delete;
    RowThreads& operator=(const RowThreads&) = delete;

    void Start(RowJob& job) {
        {
            std::lock_guard lock(m_mutex);
            m_jobs.push_back(&job);
        }
        m_work.notify_one();
    }

    // Waits for the next status or end of a row.
    Event Next() {
        std::unique_lock lock(m_mutex);
        m_eventCame.wait(lock, [this] { return !m_events.empty(); });
        Event event = std::move(m_events.front());
        m_events.pop_front();
        return event;
    }

  private:
    void Post(Event event) {
        {
            std::lock_guard lock(m_mutex);
            m_events.push_back(std::move(event));
        }
        m_eventCame.notify_one();
    }

    void Serve(const BatchOptions& options) {
        QuietUiPort creation;  // a creation failure shows in every row's status instead
        std::unique_ptr<EngineObjects> engines = options.makeEngines(creation);
        while (RowJob* job = Take()) {
            RowPort port(*job, m_base.ui, false, [this, job](size_t, const std::string& status) {
                Post({job, false, status});
            });
            RunRow(*job, m_base, *engines, port);
            Post({job, true, {}});
        }
        engines.reset();  // released on the thread that made them
    }

    RowJob* Take() {
        std::unique_lock lock(m_mutex);
        m_work.wait(lock, [this] { return m_closing || !m_jobs.empty(); });
        if (m_jobs.empty()) return nullptr;
        RowJob* job = m_jobs.front();
        m_jobs.pop_front();
        return job;
    }

    const PipelineContext& m_base;
    std::mutex m_mutex;
    std::condition_variable m_work;
    std::condition_variable m_eventCame;
    std::deque<RowJob*> m_jobs;
    std::deque<Event> m_events;
    bool m_closing = false;
    std::vector<std::thread> m_threads;
};

// The batch run on its own thread: starts rows in list order while there is room, shows
// statuses as they come and writes each row's block when every row before it has ended.
class BatchScheduler {
  public:
    BatchScheduler(PipelineContext& context, BatchList& list, const BatchOptions& options)
        : m_context(context),
          m_list(list),
          m_options(options),
          m_jobs(PlanRows(list)),
          m_clock(static_cast<int>(m_jobs.size())) {}

    BatchSummary Run() {
        m_summary.total = static_cast<int>(m_jobs.size());
        int rows = m_options.rows > 0 ? m_options.rows : DefaultBatchRows();
        rows = std::min({rows, kMaxBatchRows, static_cast<int>(m_jobs.size())});
        m_context.ui.ShowBatchProgress(Progress(false));
        if (rows > 1 && m_options.makeEngines) {
            RowThreads threads(rows, m_options, m_context);
            RunSideBySide(threads, rows);
        } else {
            RunOneByOne();
        }
        BatchProgress last = Progress(true);
        last.outcome = BatchSummaryText(m_summary);
        if (last.outcome == kBatchDoneMessage) last.outcome.clear();
        m_context.ui.ShowBatchProgress(last);
        for (const RowJob& job : m_jobs) {
            if (job.index < m_started) m_list.rows[job.index].status = job.status;
        }
        return m_summary;
    }

  private:
    void RunOneByOne() {
        for (RowJob& job : m_jobs) {
            if (!MayStart(job)) break;
            if (job.readable) {
                RowPort port(job, m_context.ui, true, [this](size_t index, const std::string& s) {
                    m_context.ui.SetRowStatus(static_cast<int>(index), s);
                });
                RunRow(job, m_context, m_context.engines, port);
            }
            Ended(job);
        }
    }

    void RunSideBySide(RowThreads& threads, int rows) {
        size_t next = 0;
        int running = 0;
        while (true) {
            while (running < rows && next < m_jobs.size() && MayStart(m_jobs[next])) {
                RowJob& job = m_jobs[next++];
                if (job.readable) {
                    threads.Start(job);
                    ++running;
                } else {
                    Ended(job);
                }
            }
            if (running == 0) break;
            RowThreads::Event event = threads.Next();
            if (!event.ended) {
                m_context.ui.SetRowStatus(static_cast<int>(event.job->index), event.status);
                continue;
            }
            --running;
            Ended(*event.job);
        }
    }

    // Lets pending events be handled before a row starts; false when the run is to stop.
    bool MayStart(RowJob& job) {
        if (m_stopped || m_context.ui.HandlePendingMessages() || InterruptSignal() != 0) {
            m_stopped = true;
            m_summary.cancelled = true;
            return false;
        }
        ++m_summary.tried;
        m_started = std::max(m_started, job.index + 1);
        int row = static_cast<int>(job.index);
        if (!job.readable) {
            job.status = kStatusFileError;
            if (platform::IsSpecialFile(job.path)) job.status += kNotAFileMessage;
            job.result = kProcessBadInput;
            if (m_context.log.IsOn()) {
                job.logText = "ERROR! CheckPDF szPathName: " + job.path + "\r\n";
            }
        }
        m_context.ui.SetRowStatus(row, job.status);
        return true;
    }

    // A row has ended: its final status now, its block once the rows before it have ended.
    void Ended(RowJob& job) {
        if (job.readable) {
            ++m_summary.processed;
            if (job.result == kProcessDone) {
                job.status = kStatusDone;
                if (job.distinct != job.name) {
                    job.status += " as " + job.distinct + " (" + job.name + " came earlier)";
                }
                if (!job.report.note.empty()) job.status += "; " + job.report.note;
                m_context.ui.SetRowStatus(static_cast<int>(job.index), job.status);
            }
            // A cancelled row starts no more rows, as a cancel before a row does.
            if (job.result == kProcessCancelled) m_stopped = true;
        }
        job.ended = true;
        ++m_done;
        m_context.ui.ShowBatchProgress(Progress(false));
        WriteEndedBlocks();
    }

    void WriteEndedBlocks() {
        while (m_written < m_jobs.size() && m_jobs[m_written].ended) {
            const RowJob& job = m_jobs[m_written++];
            m_context.log.Write(job.logText);
            for (const RowTold& told : job.told) {
                if (told.statusLine) {
                    m_context.ui.Status(told.text);
                } else {
                    m_context.ui.Message(told.text, told.title);
                }
            }
            if (job.result != kProcessDone) RecordFailure(m_summary, job);
            std::string status = job.result == kProcessDone ? job.status : FailureText(job);
            m_summary.outcomes.push_back({job.index, job.result, status, job.report.output});
            if (job.result == kProcessCancelled) m_summary.cancelled = true;
        }
    }

    BatchProgress Progress(bool last) const {
        BatchProgress progress = m_clock.At(m_done);
        progress.last = last;
        return progress;
    }

    PipelineContext& m_context;
    BatchList& m_list;
    const BatchOptions& m_options;
    std::vector<RowJob> m_jobs;  // never resized while rows run: threads hold pointers
    BatchClock m_clock;
    BatchSummary m_summary;
    size_t m_written = 0;  // rows whose block is written
    size_t m_started = 0;  // list rows up to here were started
    int m_done = 0;
    bool m_stopped = false;
};

}  // namespace

int DefaultBatchRows() {
    unsigned cores = std::thread::hardware_concurrency();
    return cores == 0 ? 1 : static_cast<int>(std::min<unsigned>(cores, kMaxBatchRows));
}

bool NeedsPdfSuffix(const std::string& path) {
    if (path.size() < 3) return true;
    std::string tail = path.substr(path.size() - 3);
    for (char& c : tail) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return tail != "pdf";
}

std::string DistinctName(const std::string& name, const std::vector<std::string>& taken) {
    for (int number = 1;; ++number) {
        std::string candidate = NumberedName(name, number);
        if (!Contains(taken, candidate)) return candidate;
    }
}

std::string NumberedName(const std::string& name, int number) {
    if (number <= 1) return name;
    size_t dot = name.rfind('.');
    std::string stem = dot == std::string::npos ? name : name.substr(0, dot);
    std::string extension = dot == std::string::npos ? "" : name.substr(dot);
    return stem + " (" + std::to_string(number) + ")" + extension;
}

std::string BatchSummaryText(const BatchSummary& summary) {
    int done = 0, cancelled = 0;
    for (const BatchSummary::Outcome& outcome : summary.outcomes) {
        if (outcome.result == kProcessDone) ++done;
        if (outcome.result == kProcessCancelled) ++cancelled;
    }
    if (done == summary.total) return kBatchDoneMessage;
    int failed = static_cast<int>(summary.outcomes.size()) - done - cancelled;
    int notRun = summary.total - static_cast<int>(summary.outcomes.size());
    std::string text = std::to_string(done) + " done";
    for (const auto& [count, what] :
         {std::pair{failed, " failed"}, std::pair{cancelled, " cancelled"},
          std::pair{notRun, " not run"}}) {
        if (count > 0) text += ", " + std::to_string(count) + what;
    }
    return text + ".";
}

std::string ResultText(int result) {
    switch (result) {
        case kProcessNoInput:
            return kNoInputMessage;
        case kProcessNoOutput:
            return kNoOutputMessage;
        case kProcessBadInput:
            return kInvalidInputMessage;
        case kProcessConversionFailed:
            return kConversionFailedMessage;
        case kProcessCancelled:
            return kCancelledMessage;
        default:
            return kPdfErrorMessage;
    }
}

BatchSummary RunBatch(PipelineContext& context, BatchList* list, const BatchOptions& options) {
    context.log.Write("BatchProcesslist\r\n");
    if (list == nullptr || list->rows.empty()) {
        if (!context.commandLineMode) context.ui.Message(kPrepareListFirstMessage);
        return {};
    }
    BatchSummary summary = BatchScheduler(context, *list, options).Run();
    summary.ran = true;
    if (!context.commandLineMode) context.ui.Message(BatchSummaryText(summary));
    return summary;
}

}  // namespace desktop
