// Watching a hot folder (HotFolder.h): files that arrive whole in FOLDER/in are claimed and run
// as batch rows with the job FOLDER/job.plf, read again for every group of files so that a
// changed job applies to the next file. Rows run side by side as in a batch run; each file's
// outcome is one line on standard output and in FOLDER/watch.log. At the start the files that
// watchers gone before left in FOLDER/work are finished or returned; at the end (SIGTERM or
// SIGINT) the rows running are stopped cleanly and their files returned to FOLDER/in.
#pragma once

#include <atomic>
#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "desktop/core/CommandLine.h"
#include "desktop/core/JobSetup.h"

namespace desktop {

class DesktopSession;

struct WatchSettings {
    std::string folder;
    int rows = 0;  // rows at once; 0: one per core
    // How long a file inotify did not see being written must stay unchanged.
    std::chrono::milliseconds stableFor{3000};
    // The job of every file; without it FOLDER/job.plf is read for each group of files.
    std::optional<JobSetup> job;
};

// Appends each outcome line, with the time before it, to FOLDER/watch.log and hands it to `tell`
// (on the watching thread), without its line end.
class WatchLog {
  public:
    using Tell = std::function<void(const std::string& line)>;
    WatchLog(std::string path, Tell tell) : m_path(std::move(path)), m_tell(std::move(tell)) {}
    void Line(const std::string& text);

  private:
    std::string m_path;
    Tell m_tell;
};

// What an outcome line tells: a file done, a file failed, or something else.
enum class WatchLineKind { Done, Failed, Other };
WatchLineKind KindOfWatchLine(std::string_view line);

// Watches with `session` (opened, in quiet and command-line mode) until `stop` answers true or
// an interrupt signal comes; checks both at least once a second. Returns 0, or 1 when the folder
// cannot be used (the reason on the session's UI port).
int WatchFolder(DesktopSession& session, const WatchSettings& settings, WatchLog& log,
                const std::function<bool()>& stop);

inline constexpr int kWatchUsageStatus = 64;

// The whole --watch run of the program: a quiet session, lines on standard output. Exit status
// 0 after SIGTERM or SIGINT, 1 when the folder cannot be used, kWatchUsageStatus when the
// command line holds more than -j.
int RunWatch(const CommandLine& line);

}  // namespace desktop
