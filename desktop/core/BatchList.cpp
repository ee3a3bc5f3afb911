#include "desktop/core/BatchList.h"

#include "desktop/core/Conversion.h"

#include <glob.h>
#include <sys/stat.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <optional>

#include "desktop/core/KeyValueLines.h"
#include "platform/ReplaceFile.h"

namespace desktop {

namespace {

namespace fs = std::filesystem;

bool IsLineEnd(char c) {
    return c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

std::string Lower(std::string_view text) {
    std::string lower(text);
    for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return lower;
}

bool IsHidden(const fs::path& path) {
    std::string name = path.filename().string();
    return !name.empty() && name[0] == '.';
}

// The lines of a list file as text-mode reading gives them: a CR-LF counts as one line end.
std::vector<std::string_view> ListFileLines(std::string_view bytes) {
    std::vector<std::string_view> lines;
    size_t start = 0;
    while (start < bytes.size()) {
        size_t feed = bytes.find('\n', start);
        size_t end = feed == std::string_view::npos ? bytes.size() : feed;
        lines.push_back(bytes.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}

std::string_view WithoutLineEnds(std::string_view line) {
    while (!line.empty() && IsLineEnd(line.back())) line.remove_suffix(1);
    return line;
}

std::vector<fs::directory_entry> SortedEntries(const std::string& folder) {
    std::vector<fs::directory_entry> entries;
    std::error_code error;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        entries.push_back(*it);
    }
    std::sort(entries.begin(), entries.end(),
              [](const auto& a, const auto& b) { return a.path() < b.path(); });
    return entries;
}

}  // namespace

void BatchList::ToggleUse(size_t row) {
    if (row >= rows.size()) return;
    BatchRow& target = rows[row];
    if (target.use == kUseYes) {
        target.use = kUseNo;
        target.status.clear();
    } else if (target.use == kUseYesNoStamp) {
        target.use = kUseNo;
    } else {
        target.use = kUseYes;
        target.status = kStatusReady;
    }
}

size_t BatchList::MoveUp(size_t row) {
    if (row == 0 || row >= rows.size()) return row;
    std::swap(rows[row], rows[row - 1]);
    return row - 1;
}

size_t BatchList::MoveDown(size_t row) {
    if (row + 1 >= rows.size()) return row;
    std::swap(rows[row], rows[row + 1]);
    return row + 1;
}

void BatchList::DeleteRows(std::vector<size_t> selected) {
    std::sort(selected.begin(), selected.end());
    selected.erase(std::unique(selected.begin(), selected.end()), selected.end());
    for (auto it = selected.rbegin(); it != selected.rend(); ++it) {
        if (*it < rows.size()) rows.erase(rows.begin() + static_cast<std::ptrdiff_t>(*it));
    }
}

std::vector<std::string> BatchList::PathsToOpen(bool reverse) const {
    std::vector<std::string> paths;
    for (const BatchRow& row : rows) paths.push_back(row.path);
    if (reverse) std::reverse(paths.begin(), paths.end());
    return paths;
}

std::string ListFileLine(const BatchRow& row) {
    std::string prefix = row.use == kUseNo ? "~" : row.use == kUseYesNoStamp ? "+" : "";
    return prefix + row.path + "||";
}

BatchRow RowFromListLine(std::string_view line) {
    std::string_view path = line.substr(0, line.find('|'));
    if (!path.empty() && path[0] == '~') return {kUseNo, std::string(path.substr(1)), kStatusReady};
    if (!path.empty() && path[0] == '+') {
        return {kUseYesNoStamp, std::string(path.substr(1)), kStatusReady};
    }
    return {kUseYes, std::string(path), kStatusReady};
}

ListFileRead ReadListFile(const std::string& name, std::vector<BatchRow>* rows) {
    std::optional<std::string> bytes = ReadTextFile(name, kMaxConfigFileBytes + 1);
    if (!bytes) return {};
    if (bytes->size() > kMaxConfigFileBytes) {
        return {true,
                {name + " is larger than " + std::to_string(kMaxConfigFileBytes) +
                 " bytes and is no list file: no row was read"}};
    }
    ListFileRead read;
    read.opened = true;
    std::vector<std::string_view> lines = ListFileLines(*bytes);
    for (size_t i = 0; i < lines.size(); ++i) {
        std::string_view line = WithoutLineEnds(lines[i]);
        if (line.empty()) continue;
        BatchRow row = RowFromListLine(line);
        if (row.path.size() > kMaxValueLength) {
            read.messages.push_back(
                TooLongMessage(FileLinePlace(name, static_cast<int>(i) + 1), "the file name"));
            continue;
        }
        rows->push_back(std::move(row));
    }
    return read;
}

bool WriteListFile(const std::string& name, const std::vector<BatchRow>& rows) {
    std::string text;
    for (const BatchRow& row : rows) text += ListFileLine(row) + "\r\n";
    return platform::ReplaceFileWith(name, text).empty();
}

bool ScanFolder(const std::string& folder, std::vector<BatchRow>* rows,
                const std::function<bool(const std::string&)>& keepGoing) {
    for (const fs::directory_entry& entry : SortedEntries(folder)) {
        if (keepGoing && !keepGoing(folder)) return false;
        if (IsHidden(entry.path())) continue;
        std::error_code error;
        if (entry.is_directory(error) && !entry.is_symlink(error)) {
            if (!ScanFolder(entry.path().string(), rows, keepGoing)) return false;
        } else if (entry.is_regular_file(error) &&
                   (Lower(entry.path().string()).find(".pdf") != std::string::npos ||
                    MatchingConversionKind(entry.path().string()))) {
            rows->push_back({kUseYes, entry.path().string(), kStatusReady});
        }
    }
    return true;
}

std::string ClearAllQuestion(size_t rows) {
    return "Clear all " + std::to_string(rows) + (rows == 1 ? " row" : " rows") + " of the list?";
}

bool IsWildcardPattern(std::string_view name) {
    return name.find_first_of("*?") != std::string_view::npos;
}

std::vector<std::string> FilesMatching(const std::string& pattern) {
    std::vector<std::string> files;
    glob_t matches{};
    if (::glob(pattern.c_str(), 0, nullptr, &matches) == 0) {
        for (size_t i = 0; i < matches.gl_pathc; ++i) {
            fs::path path = matches.gl_pathv[i];
            struct stat info {};
            if (!IsHidden(path) && ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode)) {
                files.push_back(path.string());
            }
        }
    }
    ::globfree(&matches);
    return files;
}

}  // namespace desktop
