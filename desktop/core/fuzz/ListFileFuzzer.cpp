// Feeds arbitrary bytes to both list-file readers: the engines' file list (line by line, with
// each line's output name) and the batch window's list file (as a file), then checks that every
// row read is written back as a line that reads as the same row. Any crash, leak, hang or
// sanitizer report, or a row that changes on the round trip, is a finding.
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <vector>

#include "desktop/core/BatchList.h"
#include "fuzz/MemoryFileName.h"
#include "platform/FileList.h"

namespace {

void ReadEngineFileList(const uint8_t* data, size_t size) {
    std::istringstream list(std::string(reinterpret_cast<const char*>(data), size));
    platform::FileListReader reader(list, platform::kMaxFileNameLength);
    while (auto line = reader.Next()) {
        if (line->tooLong) {
            platform::NameTooLongMessage(line->text);
            continue;
        }
        platform::IsFileListName(line->text);
        platform::ListLineOutputName("-f/out", line->text);
        platform::ListLineOutputName("-o/out/all.pdf", line->text);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    ReadEngineFileList(data, size);

    static fuzz::MemoryFileName file("batch.lst");
    std::vector<desktop::BatchRow> rows;
    // The file is in memory and always readable: a refused file or line adds no row.
    if (!desktop::ReadListFile(file.Hold(data, size), &rows).opened) std::abort();
    for (const desktop::BatchRow& row : rows) {
        if (desktop::RowFromListLine(desktop::ListFileLine(row)) != row) std::abort();
    }
    return 0;
}
