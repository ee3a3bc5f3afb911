// What the engine objects report while they work, written into the debug log: their progress
// texts as they come (line ends as the log's own, CR LF) and each warning on a line of its own
// ("warning: ..."). Nothing is written while the log is off, and nothing reaches standard
// output, so a quiet run prints only its messages.
#pragma once

#include <string_view>

#include "com/ProgressSink.h"

namespace desktop {

class DebugLog;

class EngineReportLog final : public com::IProgressSink {
  public:
    explicit EngineReportLog(DebugLog& log) : m_log(log) {}

    void Progress(std::string_view text) override;
    void Warning(std::string_view text) override;

  private:
    DebugLog& m_log;
};

}  // namespace desktop
