// How far a batch run has come: rows ended of rows to run, and an estimate of the time left
// from the pace so far (rows side by side included). The batch window shows it; a quiet run
// on a terminal keeps it on one line of standard error.
#pragma once

#include <chrono>
#include <optional>
#include <string>

namespace desktop {

struct BatchProgress {
    int done = 0;                              // rows that have ended, whatever their outcome
    int total = 0;                             // rows the run is to try
    std::optional<std::chrono::seconds> left;  // none before the first row has ended
    bool last = false;  // the run has ended (all rows done, or stopped by a cancel)
    // When the run has ended and not every row succeeded: what became of them ("9 done,
    // 1 failed, 2 cancelled, 49 not run."), shown instead of the count.
    std::string outcome{};

    bool operator==(const BatchProgress&) const = default;
};

// "3 of 10 rows done, about 1 min 20 s left"; "0 of 10 rows done" before an estimate and
// "3 of 10 rows done" (or the outcome) when the run has ended.
std::string BatchProgressText(const BatchProgress& progress);

// Keeps the start of a run and estimates what is left from the rows ended so far.
class BatchClock {
  public:
    using Clock = std::chrono::steady_clock;
    explicit BatchClock(int total, Clock::time_point start = Clock::now())
        : m_total(total), m_start(start) {}

    BatchProgress At(int done, Clock::time_point now = Clock::now()) const;

  private:
    int m_total;
    Clock::time_point m_start;
};

}  // namespace desktop
