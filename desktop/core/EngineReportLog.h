// What the engine objects report while they work, written into the debug log: their progress
// texts as they come (line ends as the log's own, CR LF) and each warning on a line of its own
// ("warning: ..."). Nothing is written while the log is off, and nothing reaches standard
// output, so a quiet run prints only its messages. With a warning echo (quiet mode's standard
// error), the warning that active content was removed is also told there, whether the log is
// on or not, as the engines' own commands tell it.
#pragma once

#include <iosfwd>
#include <string_view>

#include "com/ProgressSink.h"

namespace desktop {

class DebugLog;

class EngineReportLog final : public com::IProgressSink {
  public:
    explicit EngineReportLog(DebugLog& log, std::ostream* warningEcho = nullptr)
        : m_log(log), m_warningEcho(warningEcho) {}

    void Progress(std::string_view text) override;
    void Warning(std::string_view text) override;
    // Where the active-content warning is echoed from now on (not owned; nullptr: nowhere).
    void SetWarningEcho(std::ostream* echo) { m_warningEcho = echo; }

  private:
    DebugLog& m_log;
    std::ostream* m_warningEcho;
};

}  // namespace desktop
