// Opening PDF bytes as a document, for the reader and writer tests.
#pragma once

#include <memory>
#include <string>

#include "pdf/CPdfDocument.h"
#include "pdf/CPdfException.h"
#include "testing/Scratch.h"

namespace pdf_test {

// A document opened from bytes written to a scratch file, which lives as long as it.
class OpenedBytes {
  public:
    explicit OpenedBytes(const std::string& bytes) : m_path(m_dir.File("in.pdf")) {
        testing_support::WriteWholeFile(m_path, bytes);
        m_document.Open(m_path);
    }
    CPdfXRef& XRef() { return m_document.GetXRef(); }
    CPdfDocument& Document() { return m_document; }
    const std::string& Path() const { return m_path; }

  private:
    testing_support::ScratchDir m_dir;
    std::string m_path;
    CPdfDocument m_document;
};

// The message an open of `bytes` fails with, or "" when it opens.
inline std::string OpenFailure(const std::string& bytes) {
    try {
        OpenedBytes opened(bytes);
        return "";
    } catch (const CPdfException& e) {
        return e.GetMessage();
    }
}

}  // namespace pdf_test
