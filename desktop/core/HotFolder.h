// A hot folder on disk and the moves of a file through it. FOLDER holds the job (job.plf), the
// files to process (in/), the files being processed (work/), the results (out/), the inputs
// that were processed (done/) or could not be (error/, each with NAME.log saying why), and the
// log of what happened (watch.log).
//
// Each watcher works in a claim area of its own, FOLDER/work/ID/, locked while it lives:
//   claimed/NAME   an input it took from in/ (the rename is what decides between watchers);
//   made/          where its rows write their outputs;
//   commit/NAME    a record, made once a row has succeeded, naming its output in made/.
// A record makes finishing a row safe to repeat after a crash: whoever finds it puts the output
// in out/ (if it is still in made/) and the input in done/ (if it is still claimed), so an
// output reaches out/ once and an input is processed again only when its output never reached
// out/. Nothing is ever moved over an existing name: a taken name becomes "x (2).pdf".
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace desktop {

inline constexpr char kHotFolderJob[] = "job.plf";
inline constexpr char kHotFolderLog[] = "watch.log";

struct HotFolder {
    std::string root;  // without a final '/'

    std::string In() const { return root + "/in"; }
    std::string Work() const { return root + "/work"; }
    std::string Out() const { return root + "/out"; }
    std::string Done() const { return root + "/done"; }
    std::string Error() const { return root + "/error"; }
    std::string Job() const { return root + "/" + kHotFolderJob; }
    std::string Log() const { return root + "/" + kHotFolderLog; }

    // Creates the sub-folders that are missing; empty on success, else why not.
    std::string MakeFolders() const;
};

// True for names that wait whatever their state: hidden ones and those of files still being
// written under a partial name (".part", "~", ".crdownload").
bool IsWaitingName(const std::string& name);

// What became of one input; `line` is what the log says about it.
struct FileOutcome {
    std::string line;
};

// A claim area of one watcher. Made by Open; the lock is released when the object goes.
class ClaimArea {
  public:
    // Makes FOLDER/work/ID (ID: the host, the process and a random part) and locks it; null
    // with `error` set when it cannot.
    static std::unique_ptr<ClaimArea> Open(const HotFolder& folder, std::string* error);
    ~ClaimArea();
    ClaimArea(const ClaimArea&) = delete;
    ClaimArea& operator=(const ClaimArea&) = delete;

    // Moves in/NAME into the area. False when another watcher took it first, or it is gone.
    bool Claim(const std::string& name);
    std::string ClaimedPath(const std::string& name) const;
    // Where rows write their outputs; emptied by Clear.
    std::string MadeFolder() const { return m_path + "/made"; }

    // A row succeeded with `output` (a file in MadeFolder): its output to out/, its input to
    // done/.
    FileOutcome Succeeded(const std::string& name, const std::string& output);
    // A row failed: its input to error/ with NAME.log holding `reason`.
    FileOutcome Failed(const std::string& name, const std::string& reason);
    // A row that did not run or was stopped: its input back to in/.
    FileOutcome Returned(const std::string& name);
    // Removes what rows left in MadeFolder.
    void ClearMade();
    // At the end of watching: finishes recorded rows, returns claimed inputs to in/ and removes
    // the area. One outcome per input.
    std::vector<FileOutcome> Close();

    // Finishes what the watchers that are gone left in FOLDER/work: recorded rows are completed,
    // other claimed inputs go back to in/, the areas are removed. One outcome per input.
    static std::vector<FileOutcome> RecoverAbandoned(const HotFolder& folder);

  private:
    ClaimArea(HotFolder folder, std::string path, int lockFd)
        : m_folder(std::move(folder)), m_path(std::move(path)), m_lockFd(lockFd) {}
    std::vector<FileOutcome> Recover();

    HotFolder m_folder;
    std::string m_path;
    int m_lockFd;
};

}  // namespace desktop
