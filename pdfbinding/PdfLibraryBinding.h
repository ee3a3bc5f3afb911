// The run-time binding of the DPL PDF library ("printpdf.dll", libprintpdf.so here).
//
// A `PdfLibraryBinding` owns the loaded library and one library instance: construction loads
// the library by name, looks up every entry point by its exact name and creates the instance;
// destruction releases the instance and frees the library. The function pointers are valid
// only while the binding lives. Every entry point takes the instance id (`InstanceId()`)
// first. One binding serves one use; bindings are neither copied nor moved.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/SharedLibrary.h"
#include "printpdf/dpl.h"

class PdfLibraryBinding {
  public:
    static constexpr std::string_view kLibraryName = "printpdf.dll";

    explicit PdfLibraryBinding(std::string_view libraryName = kLibraryName);
    ~PdfLibraryBinding();
    PdfLibraryBinding(const PdfLibraryBinding&) = delete;
    PdfLibraryBinding& operator=(const PdfLibraryBinding&) = delete;

    // True when the library loaded and every entry point was found.
    bool IsUsable() const { return !m_failed; }
    int InstanceId() const { return m_instanceId; }
    // The entry points the library lacked, for diagnostics.
    const std::vector<std::string>& MissingNames() const { return m_missingNames; }

    // One pointer per entry point, named as the library names it; null when it was not found.
#define PDF_BINDING_MEMBER(name) decltype(&::name) name = nullptr;
    DPL_FOR_EACH_ENTRY_POINT(PDF_BINDING_MEMBER)
#undef PDF_BINDING_MEMBER

  private:
    platform::SharedLibrary m_library;
    int m_instanceId = 0;
    bool m_failed = false;
    std::vector<std::string> m_missingNames;
};
