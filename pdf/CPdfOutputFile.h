// The output PDF while a writer writes it: a byte-counting file and its cross-reference entries
// (index = object number), whose offsets are taken only from the file's own byte count.
//
// The bytes go through a `platform::ReplaceFile`, which `Commit` puts in place once everything
// is written. A run that fails half-way, by its own error or because the disk refused bytes,
// leaves an earlier file of that name as it was and no partial file behind: the object removes
// its private file unless it was committed.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "pdf/CPdfXRefWriter.h"
#include "platform/ReplaceFile.h"

class CPdfOutputFile {
  public:
    CPdfOutputFile() = default;
    ~CPdfOutputFile();
    CPdfOutputFile(const CPdfOutputFile&) = delete;
    CPdfOutputFile& operator=(const CPdfOutputFile&) = delete;

    // Creates the private file for `path` with `entryCount` free entries; false when it
    // cannot be created (no folder, no permission) or `path` names something that must not be
    // replaced (a folder, a device, a file that may not be written). `space` says where.
    bool Create(const std::string& path, size_t entryCount = 0, platform::FileSpace space = {});
    bool IsOpen() const { return m_file.IsOpen(); }
    const std::string& Path() const { return m_path; }

    void Write(std::string_view bytes);
    int64_t Position() const { return m_file.Position(); }

    // Records that object `number` starts at the current position (the table grows to hold it).
    void BeginObject(int number, int generation);
    // A new object number at the end of the table, starting at the current position.
    int BeginNewObject();
    bool IsWritten(int number) const;
    std::vector<CPdfOutputEntry>& Entries() { return m_entries; }

    // Writes the cross-reference table (entry 0 as the free-list head) and the trailer.
    void Finish(int rootNumber, int infoNumber);
    // Flushes, closes and renames the file into place. False when any write, the close or the
    // rename failed; the private file is removed then and the target left as it was.
    bool Commit();
    // Closes and removes the private file (nothing when committed or never created).
    void Abandon();
    // Why the last Create or Commit failed, as the system words it ("No space left on
    // device"); empty when it did not say.
    std::string FailureReason() const;
    // ": " and that reason, or nothing when there is none: for the end of a failure message.
    std::string FailureReasonSuffix() const;

  private:
    platform::ReplaceFile m_file;
    std::string m_path;
    int m_error = 0;  // the error number of the last failure of Create or Commit
    std::vector<CPdfOutputEntry> m_entries;
};
