#include "desktop/core/BackgroundWatch.h"

#include "desktop/core/DesktopSession.h"
#include "desktop/core/HotFolder.h"

namespace desktop {

BackgroundWatch::BackgroundWatch(WatchSettings settings, ConfigFolder config, WatchLog::Tell tell) {
    m_thread = std::thread([this, settings = std::move(settings), config = std::move(config),
                            tell = std::move(tell)] { Watch(settings, config, tell); });
}

void BackgroundWatch::Stop() {
    m_stop = true;
    // Rows see it at their next check and end cleanly, as after Cancel.
    m_ui.SetCancelRequested(true);
    if (m_thread.joinable()) m_thread.join();
}

void BackgroundWatch::Watch(const WatchSettings& settings, const ConfigFolder& config,
                            const WatchLog::Tell& tell) {
    {
        DesktopSession session(m_ui, config);
        session.SetQuietMode(true);
        session.SetCommandLineMode(true);
        session.Open();
        WatchLog log(HotFolder{settings.folder}.Log(), tell);
        WatchFolder(session, settings, log, [this] {
            m_ui.ClearCalls();
            return m_stop.load();
        });
    }
    m_ended = true;
}

}  // namespace desktop
