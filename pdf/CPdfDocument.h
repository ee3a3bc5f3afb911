// CPdfDocument: an open input PDF file and its cross-reference table.
//
// Open reads only the header, the tail and the cross-reference sections; objects are read
// on demand through GetXRef().Resolve. The document owns the file and the table; objects
// resolved from it must not be used after Close (or destruction).
#pragma once

#include <memory>
#include <string>

#include "pdf/CPdfStream.h"
#include "pdf/CPdfWarnings.h"
#include "pdf/CPdfXRef.h"
#include "platform/FileSpace.h"

namespace platform {
class ReadFile;
}

class CPdfDocument {
  public:
    CPdfDocument();
    ~CPdfDocument();
    CPdfDocument(const CPdfDocument&) = delete;
    CPdfDocument& operator=(const CPdfDocument&) = delete;

    // Opens `path` in the normal reading mode. Throws CPdfException ("Can't open file",
    // "PDF file was damaged", "PDF file is encrypted", the cross-reference messages); a
    // failed open leaves the document closed. `space` says where the file is.
    void Open(const std::string& path, platform::FileSpace space = {});
    void Close();
    bool IsOpen() const { return m_open; }

    CPdfXRef& GetXRef() const { return *m_xref; }
    // What the reader (and the engine reading through it) got past in this document: kept
    // after Close, emptied by the next Open.
    CPdfWarnings& Warnings() { return m_warnings; }
    const CPdfWarnings& Warnings() const { return m_warnings; }
    const platform::ReadFile& GetFile() const { return *m_file; }
    std::shared_ptr<const platform::ReadFile> ShareFile() const { return m_file; }

  private:
    // Moves the file stream's start to "%PDF-" when it lies in the first 1023 bytes.
    void FindHeader();

    bool m_open = false;
    std::shared_ptr<platform::ReadFile> m_file;
    CPdfStreamPtr m_fileStream;
    std::unique_ptr<CPdfXRef> m_xref;
    CPdfWarnings m_warnings;
};
