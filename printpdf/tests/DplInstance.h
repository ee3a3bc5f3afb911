// A library instance for the tests of the DPL entry points, released when the test ends,
// with the UTF-8 to UTF-16 conversion the entry points want.
#pragma once

#include <string>

#include "platform/Utf.h"
#include "printpdf/dpl.h"

namespace printpdf_tests {

class DplInstance {
  public:
    DplInstance() : m_id(DPLCreateLibrary()) {}
    ~DplInstance() { DPLReleaseLibrary(m_id); }
    DplInstance(const DplInstance&) = delete;
    DplInstance& operator=(const DplInstance&) = delete;
    int Id() const { return m_id; }

  private:
    int m_id;
};

// Holds the converted text for the duration of the call it is passed to.
inline std::u16string W(const std::string& text) {
    return platform::Utf8ToUtf16(text);
}

}  // namespace printpdf_tests
