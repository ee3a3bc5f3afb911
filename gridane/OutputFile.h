// The output PDF while it is written: a byte-counting file and the output cross-reference
// entries (index = object number), which are filled only from the file's own byte count.
//
// The bytes go to a temporary file beside the output name, which `Commit` renames into place:
// a run that fails half-way leaves the user's earlier file of that name untouched and no
// partial file behind. The object owns the temporary file and removes it unless committed.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "pdf/CPdfXRefWriter.h"
#include "platform/File.h"

namespace gridane {

class OutputFile {
  public:
    OutputFile() = default;
    ~OutputFile();
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    // Creates the temporary file for `path`; false when it cannot be created (no folder, no
    // permission, an existing file of that name that may not be written).
    bool Create(const std::string& path, size_t entryCount);

    void Write(std::string_view bytes) { m_file.Write(bytes); }
    int64_t Position() const { return m_file.Position(); }

    // Records that object `number` starts at the current position.
    void BeginObject(int number, int generation);
    // A new object number at the end of the table, starting at the current position.
    int BeginNewObject();
    bool IsWritten(int number) const;
    std::vector<CPdfOutputEntry>& Entries() { return m_entries; }

    // Writes the cross-reference table and the trailer.
    void Finish(int rootNumber, int infoNumber);
    // Flushes, closes and renames the file into place; throws CPdfException when any write,
    // the close or the rename failed (the temporary file is removed then).
    void Commit();

  private:
    void Abandon();

    platform::WriteFile m_file;
    std::string m_path;
    std::string m_tempPath;
    std::vector<CPdfOutputEntry> m_entries;
};

}  // namespace gridane
