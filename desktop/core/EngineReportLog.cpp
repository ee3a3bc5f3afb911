#include "desktop/core/EngineReportLog.h"

#include <mutex>
#include <ostream>
#include <string>

#include "desktop/core/DebugLog.h"
#include "desktop/core/KeyValueLines.h"
#include "pdf/CPdfActiveContent.h"

namespace desktop {

void EngineReportLog::Progress(std::string_view text) {
    if (m_log.IsOn()) m_log.Write(WithCrLf(text));
}

void EngineReportLog::Warning(std::string_view text) {
    if (m_warningEcho != nullptr && text.starts_with(kActiveContentWarning)) {
        // Batch rows report from several threads: one line at a time.
        static std::mutex echoing;
        std::lock_guard<std::mutex> lock(echoing);
        *m_warningEcho << "velmorade: warning: " << text << '\n' << std::flush;
    }
    if (!m_log.IsOn()) return;
    m_log.Write("warning: " + std::string(text) + "\r\n");
}

}  // namespace desktop
