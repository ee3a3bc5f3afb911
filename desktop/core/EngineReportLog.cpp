#include "desktop/core/EngineReportLog.h"

#include <string>

#include "desktop/core/DebugLog.h"
#include "desktop/core/KeyValueLines.h"

namespace desktop {

void EngineReportLog::Progress(std::string_view text) {
    if (m_log.IsOn()) m_log.Write(WithCrLf(text));
}

void EngineReportLog::Warning(std::string_view text) {
    if (!m_log.IsOn()) return;
    m_log.Write("warning: " + std::string(text) + "\r\n");
}

}  // namespace desktop
