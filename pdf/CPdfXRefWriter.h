// The classic cross-reference table and trailer that every writer of the system ends its
// output with, in one fixed layout.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace platform {
class WriteFile;
}

struct CPdfOutputEntry {
    int64_t offset = 0;  // byte offset of the object in the output
    int generation = 0;
    bool inUse = false;
};

// Writes the table at the output's current position, then the trailer with Size, Root and
// (when `infoNum` is not 0) Info; the references take their entries' generations.
// `entries` is indexed by object number, entry 0 included (always written as the free-list
// head). Raises CPdfException when an offset is 10^9 or more, which the ten-digit column
// cannot hold; nothing is written then.
void WriteXRefAndTrailer(platform::WriteFile& out, const std::vector<CPdfOutputEntry>& entries,
                         int rootNum, int infoNum);

// The same text, for a table that starts at `tablePosition` of the output.
std::string XRefAndTrailerText(const std::vector<CPdfOutputEntry>& entries, int rootNum,
                               int infoNum, int64_t tablePosition);
