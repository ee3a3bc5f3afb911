// Which files in a folder have arrived whole and may be taken. A file counts as complete once
// its writer has closed it or moved it in (inotify); a file inotify has not seen being written
// (one there before the watch began, or written by another machine on a network folder, where
// inotify sees nothing) counts as complete once its size and time have not changed for
// `stableFor`. Empty files, links, sub-folders and names that wait (IsWaitingName) are never
// ready.
// Without inotify (no instance left, or the folder refuses a watch) the folder is polled only.
//
// One thread uses an object; the folder is read again every `pollEvery`.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <ctime>
#include <map>
#include <string>
#include <vector>

namespace desktop {

class FolderArrivals {
  public:
    using Clock = std::chrono::steady_clock;
    struct Options {
        std::chrono::milliseconds stableFor{3000};
        std::chrono::milliseconds pollEvery{1000};
        bool inotify = true;  // false: poll only, as on a folder where inotify sees nothing
    };

    FolderArrivals(std::string folder, Options options);
    ~FolderArrivals();
    FolderArrivals(const FolderArrivals&) = delete;
    FolderArrivals& operator=(const FolderArrivals&) = delete;

    bool UsesInotify() const { return m_inotify >= 0; }

    // Waits up to `bound` for something to change (a signal ends the wait early), then gives
    // the names that are ready now, oldest arrival first. A name stays ready until Forget.
    std::vector<std::string> WaitForReady(std::chrono::milliseconds bound);
    // The file was taken (or went): it is watched anew if it comes again.
    void Forget(const std::string& name) { m_files.erase(name); }

  private:
    struct Seen {
        off_t size = -1;
        timespec modified{};
        bool regular = false;
        bool written = false;   // inotify saw it being written or moved in
        bool complete = false;  // ... and then closed or moved in
        Clock::time_point unchangedSince;
        Clock::time_point arrived;
    };

    void ReadEvents();
    void Scan();
    // Updates `seen` from the file; true when its size or time changed.
    bool Look(const std::string& name, Seen& seen);
    bool Ready(const Seen& seen, Clock::time_point now) const;

    std::string m_folder;
    Options m_options;
    int m_inotify = -1;
    Clock::time_point m_lastScan;
    std::map<std::string, Seen> m_files;
};

}  // namespace desktop
