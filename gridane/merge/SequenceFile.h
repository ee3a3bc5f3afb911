// Sequence files: a small text file holding four page numbers from which the page order of the
// sheets is continued as two arithmetic progressions.
//
// The parsing and the progressions are pure functions over the text and the job's numbers;
// `ReadSequenceFile` adds the file access and raises the fixed messages. Nothing here keeps
// state between calls.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/FileSpace.h"

namespace gridane {

// The four cells of one sheet side made from a sequence file (cells 0 to 3; in two-cell mode
// cells 2 and 3 stay 0). A value below 1 is a blank cell.
using SequenceCells = std::array<int32_t, 4>;

inline constexpr const char* kSequenceWrongPath = "wrong path to the sequence file\n";
inline constexpr const char* kSequenceCorrupted = "corrupted sequence file\n";
inline constexpr const char* kSequenceTooFew = "incorrect pages in sequence file, should be 4\n";
inline constexpr const char* kSequenceOverlap = "page numbers overlap in the sequence file\n";

// The four numbers W, X, Y, Z in the form "W,X <white space> Y,Z", or the failure text.
struct SequenceNumbers {
    std::array<int32_t, 4> numbers{};
    const char* error = nullptr;  // null on success, else one of the texts above
};

// Parses the beginning of `text`; everything after the fourth number is ignored. The scan
// never reads past the end of `text` (it needs no terminating zero).
SequenceNumbers ParseSequenceText(std::string_view text);

// The job's numbers the progressions are bounded by.
struct SequenceRange {
    int32_t firstPage = 1;     // `s`
    int32_t lastPage = 99999;  // `e`
    int32_t pageCount = 0;     // number of page records
    bool fourCells = false;    // `up4`
};

// Continues the two progressions from W, X, Y, Z: one record per sheet side.
std::vector<SequenceCells> ContinueSequence(const std::array<int32_t, 4>& numbers,
                                            const SequenceRange& range);

// Reads the file at `path` and returns its sheet records; raises `CPdfException` with one of
// the texts above when the file cannot be read or does not hold four distinct numbers.
std::vector<SequenceCells> ReadSequenceFile(const std::string& path, const SequenceRange& range,
                                            platform::FileSpace files = {});

}  // namespace gridane
