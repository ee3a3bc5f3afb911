// The batch list: the rows of input files that one job imposes in a run, the list files they
// are kept in, and the ways rows are added (a file, a folder scan, a wildcard pattern).
//
// Plain data and functions without any window: the batch window shows a `BatchList` and
// forwards its commands here; the batch run (BatchRun.h) walks its rows.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace desktop {

inline constexpr char kUseYes[] = "Yes";
inline constexpr char kUseNo[] = "No";
inline constexpr char kUseYesNoStamp[] = "Yes, No Stamp";  // kept in files, skipped by a run
inline constexpr char kStatusReady[] = "Ready.";

// Column widths of the window's list: "Use", "Filename", "Status".
inline constexpr int kBatchColumnWidths[] = {82, 385, 90};

struct BatchRow {
    std::string use = kUseYes;
    std::string path;
    std::string status = kStatusReady;

    bool operator==(const BatchRow&) const = default;
};

struct BatchList {
    std::vector<BatchRow> rows;
    std::string outputFolder;
    std::string listFileName = "default.lst";

    void AddFile(std::string path) { rows.push_back({kUseYes, std::move(path), kStatusReady}); }
    // A click on the row's Use cell: "Yes" -> "No" (status emptied), "Yes, No Stamp" -> "No",
    // "No" or empty -> "Yes" (status "Ready.").
    void ToggleUse(size_t row);
    // Swap the row with its neighbour; the index the row now has (unchanged at an end).
    size_t MoveUp(size_t row);
    size_t MoveDown(size_t row);
    // Removes the rows at `selected` (any order, duplicates allowed).
    void DeleteRows(std::vector<size_t> selected);
    // The rows' paths in list order, or reversed: what "Open All" visits.
    std::vector<std::string> PathsToOpen(bool reverse) const;
};

// One row as a list-file line, without its line end: "~" for "No", "+" for "Yes, No Stamp",
// then the path and two "|".
std::string ListFileLine(const BatchRow& row);
// The row a list-file line makes, its line end already removed.
BatchRow RowFromListLine(std::string_view line);

struct ListFileRead {
    bool opened = false;                // false: the file cannot be read; rows unchanged
    std::vector<std::string> messages;  // lines that were refused, or the file as a whole
};

// Appends the rows of list file `name`. A line holding nothing but line-end characters is
// skipped; a line whose path is longer than 254 characters is refused with a message naming
// the line, and the other lines still make their rows. A file larger than 1 MiB (or one that
// never ends) is refused whole with a message: no row is added.
ListFileRead ReadListFile(const std::string& name, std::vector<BatchRow>* rows);
// Writes every row, each line ended by CR-LF; false when the file cannot be written.
bool WriteListFile(const std::string& name, const std::vector<BatchRow>& rows);

// Appends a row for each file under `folder` whose path, lower-cased, holds ".pdf", or whose
// name says a converter takes it (MatchingConversionKind), depth
// first, sub-folders where they are met; names beginning with "." and linked folders are
// not entered. `keepGoing` is asked with the folder being read before each entry; false
// stops the scan there. Returns false when it was stopped.
bool ScanFolder(const std::string& folder, std::vector<BatchRow>* rows,
                const std::function<bool(const std::string& folder)>& keepGoing = {});

// The question before every row of the list is removed: "Clear all 61 rows of the list?".
std::string ClearAllQuestion(size_t rows);

// True when a command-line name is a pattern ("*" or "?" in it).
bool IsWildcardPattern(std::string_view name);
// The files (no folders, no names beginning with ".") that `pattern` matches, sorted.
std::vector<std::string> FilesMatching(const std::string& pattern);

}  // namespace desktop
