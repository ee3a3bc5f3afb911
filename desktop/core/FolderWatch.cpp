#include "desktop/core/FolderWatch.h"

#include <fcntl.h>
#include <unistd.h>

#include <ctime>
#include <filesystem>
#include <iostream>

#include "desktop/core/DesktopSession.h"
#include "desktop/core/FolderArrivals.h"
#include "desktop/core/HotFolder.h"
#include "desktop/core/Interrupts.h"
#include "desktop/core/QuietUiPort.h"

namespace desktop {

namespace {

// Files claimed at once per row that runs: enough to keep the rows busy, few enough that
// watchers sharing a folder share its files.
constexpr int kClaimsPerRow = 2;
constexpr auto kLongestWait = std::chrono::milliseconds(1000);

std::string Now() {
    std::time_t now = std::time(nullptr);
    std::tm local{};
    ::localtime_r(&now, &local);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &local);
    return text;
}

std::string FileNamePart(const std::string& path) {
    size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The job for the next files: the folder's job.plf over the defaults; false when it cannot be
// read (the files then wait).
bool LoadJob(DesktopSession& session, const HotFolder& folder, const WatchSettings& settings) {
    session.Setup() = settings.job.value_or(JobSetup());
    return settings.job || session.LoadSetup(folder.Job(), {.override = true}).opened;
}

class Watcher {
  public:
    Watcher(DesktopSession& session, const WatchSettings& settings, WatchLog& log)
        : m_session(session),
          m_folder{settings.folder},
          m_log(log),
          m_settings(settings),
          m_rows(settings.rows > 0 ? settings.rows : DefaultBatchRows()),
          m_arrivals(m_folder.In(), {settings.stableFor, std::chrono::milliseconds(1000)}) {}

    bool Start(std::string* error) {
        for (const FileOutcome& outcome : ClaimArea::RecoverAbandoned(m_folder)) {
            m_log.Line(outcome.line);
        }
        m_area = ClaimArea::Open(m_folder, error);
        if (!m_area) return false;
        m_log.Line("watching " + m_folder.In() +
                   (m_arrivals.UsesInotify() ? "" : " (polling: inotify is not available)"));
        return true;
    }

    void Run(const std::function<bool()>& stop) {
        bool jobMissing = false;
        while (!stop() && InterruptSignal() == 0) {
            std::vector<std::string> ready = m_arrivals.WaitForReady(kLongestWait);
            if (ready.empty()) continue;
            if (!LoadJob(m_session, m_folder, m_settings)) {
                if (!jobMissing) m_log.Line("waiting: can't read the job " + m_folder.Job());
                jobMissing = true;
                continue;
            }
            jobMissing = false;
            RunGroup(Claim(ready));
        }
        for (const FileOutcome& outcome : m_area->Close()) m_log.Line(outcome.line);
    }

  private:
    std::vector<std::string> Claim(const std::vector<std::string>& ready) {
        std::vector<std::string> claimed;
        size_t most = static_cast<size_t>(m_rows * kClaimsPerRow);
        for (const std::string& name : ready) {
            if (claimed.size() >= most) break;
            m_arrivals.Forget(name);
            if (m_area->Claim(name)) claimed.push_back(name);
        }
        return claimed;
    }

    // Runs the claimed files as the rows of one batch and moves each by its outcome.
    void RunGroup(const std::vector<std::string>& claimed) {
        if (claimed.empty()) return;
        m_area->ClearMade();
        BatchList& list = m_session.EnsureBatchList();
        list.rows.clear();
        list.outputFolder = m_area->MadeFolder();
        for (const std::string& name : claimed) list.AddFile(m_area->ClaimedPath(name));
        m_session.SetBatchRows(m_rows);
        BatchSummary summary = m_session.ProcessList();
        std::vector<bool> finished(claimed.size(), false);
        for (const BatchSummary::Outcome& row : summary.outcomes) {
            const std::string& name = claimed[row.index];
            finished[row.index] = true;
            if (row.result == kProcessDone) {
                m_log.Line(m_area->Succeeded(name, FileNamePart(row.output)).line);
            } else if (row.result == kProcessCancelled) {
                m_log.Line(m_area->Returned(name).line);
            } else {
                m_log.Line(m_area->Failed(name, row.status).line);
            }
        }
        for (size_t i = 0; i < claimed.size(); ++i) {
            if (!finished[i]) m_log.Line(m_area->Returned(claimed[i]).line);
        }
        m_area->ClearMade();
        m_session.DestroyBatchList();
    }

    DesktopSession& m_session;
    HotFolder m_folder;
    WatchLog& m_log;
    const WatchSettings& m_settings;
    int m_rows;
    FolderArrivals m_arrivals;
    std::unique_ptr<ClaimArea> m_area;
};

}  // namespace

void WatchLog::Line(const std::string& text) {
    std::string line = Now() + " " + text;
    if (m_tell) m_tell(line);
    line += "\n";
    // One write per line with O_APPEND, so that watchers sharing the log never mix their lines.
    int fd = ::open(m_path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    if (fd < 0) return;
    ssize_t written = ::write(fd, line.data(), line.size());
    (void)written;
    ::close(fd);
}

WatchLineKind KindOfWatchLine(std::string_view line) {
    // After the date and the time.
    size_t at = line.find(' ', line.find(' ') + 1);
    std::string_view text = at == std::string_view::npos ? line : line.substr(at + 1);
    if (text.substr(0, 5) == "done ") return WatchLineKind::Done;
    if (text.substr(0, 7) == "failed ") return WatchLineKind::Failed;
    return WatchLineKind::Other;
}

int WatchFolder(DesktopSession& session, const WatchSettings& settings, WatchLog& log,
                const std::function<bool()>& stop) {
    HotFolder folder{settings.folder};
    std::string error = folder.MakeFolders();
    Watcher watcher(session, settings, log);
    if (error.empty() && watcher.Start(&error)) {
        watcher.Run(stop);
        return 0;
    }
    log.Line("can't watch " + settings.folder + ": " + error);
    return 1;
}

int RunWatch(const CommandLine& line) {
    using Kind = CommandLineAction::Kind;
    for (const CommandLineAction& action : line.actions) {
        if (action.kind != Kind::BatchRows && action.kind != Kind::Quiet) {
            std::cerr << "velmorade: --watch takes only -j N; the job is FOLDER/" << kHotFolderJob
                      << "\n";
            return kWatchUsageStatus;
        }
    }
    InstallInterruptHandlers();
    QuietUiPort ui(&std::cerr);
    DesktopSession session(ui, ConfigFolder::FromEnvironment());
    session.SetQuietMode(true);
    session.SetCommandLineMode(true);
    session.Open();
    session.ApplyCommandLine(line);
    std::error_code ignored;
    WatchSettings settings;
    settings.folder = std::filesystem::absolute(line.watchFolder, ignored).lexically_normal();
    while (settings.folder.size() > 1 && settings.folder.back() == '/') settings.folder.pop_back();
    settings.rows = session.BatchRows();
    WatchLog log(HotFolder{settings.folder}.Log(), [](const std::string& text) {
        std::cout << text << "\n" << std::flush;
    });
    // The quiet port keeps every call it gets; a watch that runs for months keeps none.
    return WatchFolder(session, settings, log, [&ui] {
        ui.ClearCalls();
        return false;
    });
}

}  // namespace desktop
