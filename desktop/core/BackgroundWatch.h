// A hot folder (FolderWatch.h) watched on a thread of its own while the window stays usable:
// the window's "Watch folder" starts one with the job as the window holds it and stops it.
// The watch has its own session, engines and quiet port; it reports each outcome line through
// `tell`, on its own thread (the window hands the line over to its own thread).
#pragma once

#include <atomic>
#include <string>
#include <thread>

#include "desktop/core/ConfigFolder.h"
#include "desktop/core/FolderWatch.h"
#include "desktop/core/QuietUiPort.h"

namespace desktop {

class BackgroundWatch {
  public:
    // Starts watching at once. `settings.job` should be set: the window's job applies.
    BackgroundWatch(WatchSettings settings, ConfigFolder config, WatchLog::Tell tell);
    ~BackgroundWatch() { Stop(); }
    BackgroundWatch(const BackgroundWatch&) = delete;
    BackgroundWatch& operator=(const BackgroundWatch&) = delete;

    // Stops the rows running (their files go back to FOLDER/in) and waits for the thread.
    void Stop();
    // False once watching ended, by Stop or because the folder cannot be used.
    bool Running() const { return !m_ended; }

  private:
    void Watch(const WatchSettings& settings, const ConfigFolder& config,
               const WatchLog::Tell& tell);

    QuietUiPort m_ui;
    std::atomic<bool> m_stop = false;
    std::atomic<bool> m_ended = false;
    std::thread m_thread;
};

}  // namespace desktop
