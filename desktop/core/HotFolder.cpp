#include "desktop/core/HotFolder.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "desktop/core/BatchRun.h"
#include "platform/MoveIfFree.h"

namespace desktop {

namespace fs = std::filesystem;

namespace {

constexpr char kLockName[] = ".lock";
// A folder holding this many files of one name is not worth counting further.
constexpr int kMaxNumberedNames = 10000;

bool EndsWith(const std::string& text, std::string_view end) {
    return text.size() >= end.size() &&
           text.compare(text.size() - end.size(), end.size(), end) == 0;
}

// Moves `from` into `folder` as `name`, or as "name (2)", "name (3)", ... when taken. The name
// it got, or empty with `error` set.
std::string MoveToFreeName(const std::string& from, const std::string& folder,
                           const std::string& name, std::string* error) {
    for (int number = 1; number <= kMaxNumberedNames; ++number) {
        std::string placed = NumberedName(name, number);
        switch (platform::MoveIfFree(from, folder + "/" + placed, error)) {
            case platform::MoveOutcome::Moved:
                return placed;
            case platform::MoveOutcome::NameTaken:
                continue;
            case platform::MoveOutcome::SourceGone:
                *error = "the file is gone";
                return {};
            case platform::MoveOutcome::Failed:
                return {};
        }
    }
    *error = "every name up to \"" + NumberedName(name, kMaxNumberedNames) + "\" is taken";
    return {};
}

std::string OneLine(std::string text) {
    std::replace(text.begin(), text.end(), '\n', ' ');
    std::replace(text.begin(), text.end(), '\r', ' ');
    return text;
}

std::string ReadSmallFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::string text;
    std::getline(file, text);
    return text;
}

std::vector<std::string> VisibleNames(const std::string& folder) {
    std::vector<std::string> names;
    std::error_code error;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder, error)) {
        std::string name = entry.path().filename();
        if (!name.empty() && name[0] != '.') names.push_back(name);
    }
    std::sort(names.begin(), names.end());
    return names;
}

// The lock of an area, held: the descriptor, or -1 when the lock is held elsewhere (or the
// file cannot be opened).
int TakeLock(const std::string& area) {
    std::string path = area + "/" + kLockName;
    int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0) return -1;
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

std::string AreaPrefix() {
    char host[256] = {};
    ::gethostname(host, sizeof host - 1);
    std::string name = host[0] != '\0' ? host : "host";
    std::replace(name.begin(), name.end(), '/', '_');
    return name + "-" + std::to_string(::getpid()) + "-";
}

}  // namespace

std::string HotFolder::MakeFolders() const {
    for (const std::string& folder : {In(), Work(), Out(), Done(), Error()}) {
        std::error_code error;
        fs::create_directories(folder, error);
        if (error) return "can't make " + folder + ": " + error.message();
    }
    return {};
}

bool IsWaitingName(const std::string& name) {
    return name.empty() || name[0] == '.' || EndsWith(name, ".part") || EndsWith(name, "~") ||
           EndsWith(name, ".crdownload");
}

std::unique_ptr<ClaimArea> ClaimArea::Open(const HotFolder& folder, std::string* error) {
    // The area is made under a hidden name and locked before it gets its own name, so a
    // watcher looking for abandoned areas never finds one of a live watcher without its lock.
    std::string hidden = folder.Work() + "/." + AreaPrefix() + "XXXXXX";
    if (::mkdtemp(hidden.data()) == nullptr) {
        *error = "can't make a folder in " + folder.Work();
        return nullptr;
    }
    int lock = TakeLock(hidden);
    std::string path = folder.Work() + "/" + fs::path(hidden).filename().string().substr(1);
    std::error_code made;
    for (const char* part : {"/claimed", "/made", "/commit"})
        fs::create_directory(hidden + part, made);
    if (lock < 0 || made || ::rename(hidden.c_str(), path.c_str()) != 0) {
        if (lock >= 0) ::close(lock);
        std::error_code ignored;
        fs::remove_all(hidden, ignored);
        *error = "can't make a claim area in " + folder.Work();
        return nullptr;
    }
    return std::unique_ptr<ClaimArea>(new ClaimArea(folder, path, lock));
}

ClaimArea::~ClaimArea() {
    ::close(m_lockFd);
}

bool ClaimArea::Claim(const std::string& name) {
    std::string ignored;
    return platform::MoveIfFree(m_folder.In() + "/" + name, ClaimedPath(name), &ignored) ==
           platform::MoveOutcome::Moved;
}

std::string ClaimArea::ClaimedPath(const std::string& name) const {
    return m_path + "/claimed/" + name;
}

FileOutcome ClaimArea::Succeeded(const std::string& name, const std::string& output) {
    std::string record = m_path + "/commit/" + name;
    std::string part = m_path + "/commit/." + name;
    {
        std::ofstream file(part, std::ios::binary | std::ios::trunc);
        file << fs::path(output).filename().string() << "\n";
        file.flush();
        if (!file) return Failed(name, "the watcher could not note the finished output");
    }
    if (::rename(part.c_str(), record.c_str()) != 0) {
        return Failed(name, "the watcher could not note the finished output");
    }
    // Past this point the row counts as done, whatever happens to this process.
    std::string outName = ReadSmallFile(record);
    std::string made = MadeFolder() + "/" + outName;
    std::string placed, error;
    struct stat info {};
    if (::lstat(made.c_str(), &info) == 0) {
        // A second name means it was linked into out/ before a crash: it is there already.
        if (info.st_nlink > 1) {
            ::unlink(made.c_str());
            placed = "(placed before)";
        } else {
            placed = MoveToFreeName(made, m_folder.Out(), outName, &error);
        }
    } else {
        placed = "(placed before)";
    }
    std::string line;
    if (placed.empty()) {
        ::unlink(record.c_str());
        return Failed(name, "the output " + outName + " could not be put in " + m_folder.Out() +
                                ": " + error);
    }
    std::string input = ClaimedPath(name);
    std::string doneName = fs::exists(input) ? MoveToFreeName(input, m_folder.Done(), name, &error)
                                             : std::string("(moved before)");
    ::unlink(record.c_str());
    line = "done " + name + " -> out/" + placed;
    if (doneName.empty()) line += " (the input stays in " + input + ": " + error + ")";
    return {line};
}

FileOutcome ClaimArea::Failed(const std::string& name, const std::string& reason) {
    std::string error;
    std::string placed = MoveToFreeName(ClaimedPath(name), m_folder.Error(), name, &error);
    if (placed.empty()) {
        return {"failed " + name + ": " + OneLine(reason) + " (the input stays in " +
                ClaimedPath(name) + ": " + error + ")"};
    }
    std::ofstream log(m_folder.Error() + "/" + placed + ".log", std::ios::binary | std::ios::trunc);
    log << name << ": " << reason << "\n";
    return {"failed " + name + " -> error/" + placed + ": " + OneLine(reason)};
}

FileOutcome ClaimArea::Returned(const std::string& name) {
    std::string error;
    std::string placed = MoveToFreeName(ClaimedPath(name), m_folder.In(), name, &error);
    if (placed.empty()) return {"kept " + name + " in " + ClaimedPath(name) + ": " + error};
    return {"returned " + name + " -> in/" + placed};
}

void ClaimArea::ClearMade() {
    std::error_code ignored;
    for (const fs::directory_entry& entry : fs::directory_iterator(MadeFolder(), ignored)) {
        fs::remove_all(entry.path(), ignored);
    }
}

std::vector<FileOutcome> ClaimArea::Recover() {
    std::vector<FileOutcome> outcomes;
    for (const std::string& name : VisibleNames(m_path + "/commit")) {
        outcomes.push_back(Succeeded(name, ReadSmallFile(m_path + "/commit/" + name)));
    }
    for (const std::string& name : VisibleNames(m_path + "/claimed")) {
        outcomes.push_back(Returned(name));
    }
    return outcomes;
}

std::vector<FileOutcome> ClaimArea::Close() {
    std::vector<FileOutcome> outcomes = Recover();
    // Whatever is left (an input that could not be moved) stays for the next look.
    if (VisibleNames(m_path + "/claimed").empty() && VisibleNames(m_path + "/commit").empty()) {
        std::error_code ignored;
        fs::remove_all(m_path, ignored);
    }
    return outcomes;
}

std::vector<FileOutcome> ClaimArea::RecoverAbandoned(const HotFolder& folder) {
    std::vector<FileOutcome> outcomes;
    for (const std::string& name : VisibleNames(folder.Work())) {
        std::string path = folder.Work() + "/" + name;
        if (!fs::is_directory(path)) continue;
        int lock = TakeLock(path);
        if (lock < 0) continue;  // its watcher still runs
        ClaimArea area(folder, path, lock);
        for (FileOutcome& outcome : area.Close()) outcomes.push_back(std::move(outcome));
    }
    return outcomes;
}

}  // namespace desktop
