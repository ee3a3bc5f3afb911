#include "desktop/core/FolderArrivals.h"

#include <poll.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>

#include "desktop/core/HotFolder.h"

namespace desktop {

namespace {

bool SameTime(const timespec& a, const timespec& b) {
    return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec;
}

}  // namespace

FolderArrivals::FolderArrivals(std::string folder, Options options)
    : m_folder(std::move(folder)), m_options(options) {
    if (m_options.inotify) m_inotify = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    uint32_t events = IN_CREATE | IN_MODIFY | IN_CLOSE_WRITE | IN_MOVED_TO | IN_MOVED_FROM |
                      IN_DELETE | IN_ATTRIB;
    if (m_inotify >= 0 && ::inotify_add_watch(m_inotify, m_folder.c_str(), events) < 0) {
        ::close(m_inotify);
        m_inotify = -1;
    }
    Scan();
}

FolderArrivals::~FolderArrivals() {
    if (m_inotify >= 0) ::close(m_inotify);
}

std::vector<std::string> FolderArrivals::WaitForReady(std::chrono::milliseconds bound) {
    Clock::time_point now = Clock::now();
    auto untilScan = std::chrono::duration_cast<std::chrono::milliseconds>(
        m_lastScan + m_options.pollEvery - now);
    auto wait = std::clamp(untilScan, std::chrono::milliseconds(0), bound);
    pollfd watch{m_inotify, POLLIN, 0};
    // poll ends early on a signal, which the caller then sees.
    ::poll(m_inotify >= 0 ? &watch : nullptr, m_inotify >= 0 ? 1 : 0,
           static_cast<int>(wait.count()));
    ReadEvents();
    now = Clock::now();
    if (now >= m_lastScan + m_options.pollEvery) Scan();

    std::vector<std::pair<Clock::time_point, std::string>> ready;
    for (const auto& [name, seen] : m_files) {
        if (!IsWaitingName(name) && Ready(seen, now)) ready.emplace_back(seen.arrived, name);
    }
    std::sort(ready.begin(), ready.end());
    std::vector<std::string> names;
    for (auto& entry : ready) names.push_back(std::move(entry.second));
    return names;
}

void FolderArrivals::ReadEvents() {
    if (m_inotify < 0) return;
    alignas(inotify_event) char buffer[16 * 1024];
    while (true) {
        ssize_t count = ::read(m_inotify, buffer, sizeof buffer);
        if (count <= 0) return;
        for (char* at = buffer; at < buffer + count;) {
            auto* event = reinterpret_cast<inotify_event*>(at);
            at += sizeof(inotify_event) + event->len;
            if (event->mask & IN_Q_OVERFLOW) {
                // Closes may have been missed: every file is judged by its stability instead.
                for (auto& [name, seen] : m_files) seen.written = false;
                Scan();
                continue;
            }
            if (event->len == 0 || (event->mask & IN_ISDIR)) continue;
            std::string name = event->name;
            if (event->mask & (IN_DELETE | IN_MOVED_FROM)) {
                m_files.erase(name);
                continue;
            }
            auto [found, added] = m_files.try_emplace(name);
            Seen& seen = found->second;
            if (added) seen.arrived = Clock::now();
            Look(name, seen);
            if (event->mask & (IN_CLOSE_WRITE | IN_MOVED_TO)) {
                seen.written = true;
                seen.complete = true;
            } else if (event->mask & (IN_CREATE | IN_MODIFY)) {
                seen.written = true;
                seen.complete = false;
            }
        }
    }
}

void FolderArrivals::Scan() {
    m_lastScan = Clock::now();
    std::map<std::string, Seen> files;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(m_folder, error)) {
        std::string name = entry.path().filename();
        auto found = m_files.find(name);
        Seen seen = found != m_files.end() ? found->second : Seen{};
        if (found == m_files.end()) seen.arrived = m_lastScan;
        Look(name, seen);
        files.emplace(name, seen);
    }
    if (!error) m_files = std::move(files);
}

bool FolderArrivals::Look(const std::string& name, Seen& seen) {
    struct stat info {};
    std::string path = m_folder + "/" + name;
    bool there = ::lstat(path.c_str(), &info) == 0;
    off_t size = there ? info.st_size : -1;
    bool changed = size != seen.size || !SameTime(info.st_mtim, seen.modified);
    seen.regular = there && S_ISREG(info.st_mode);
    if (changed || seen.unchangedSince == Clock::time_point{}) {
        seen.size = size;
        seen.modified = info.st_mtim;
        seen.unchangedSince = Clock::now();
    }
    return changed;
}

bool FolderArrivals::Ready(const Seen& seen, Clock::time_point now) const {
    if (!seen.regular || seen.size <= 0) return false;
    if (seen.written) return seen.complete;
    return now - seen.unchangedSince >= m_options.stableFor;
}

}  // namespace desktop
