#include "desktop/core/EngineReportLog.h"

#include <string>

#include "desktop/core/DebugLog.h"

namespace desktop {

void EngineReportLog::Progress(std::string_view text) {
    if (!m_log.IsOn()) return;
    std::string lines;
    lines.reserve(text.size() + 8);
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r')) lines += '\r';
        lines += text[i];
    }
    m_log.Write(lines);
}

void EngineReportLog::Warning(std::string_view text) {
    if (!m_log.IsOn()) return;
    m_log.Write("warning: " + std::string(text) + "\r\n");
}

}  // namespace desktop
