#include "pdfbinding/PdfLibraryBinding.h"

PdfLibraryBinding::PdfLibraryBinding(std::string_view libraryName) {
    if (!m_library.OpenByName(libraryName)) {
        m_failed = true;
        return;
    }
    // A missing name makes the binding unusable, but the lookups go on so that every
    // missing name is known.
#define PDF_BINDING_LOOKUP(name)                                         \
    name = reinterpret_cast<decltype(&::name)>(m_library.Symbol(#name)); \
    if (name == nullptr) {                                               \
        m_failed = true;                                                 \
        m_missingNames.emplace_back(#name);                              \
    }
    DPL_FOR_EACH_ENTRY_POINT(PDF_BINDING_LOOKUP)
#undef PDF_BINDING_LOOKUP
    if (DPLCreateLibrary != nullptr) m_instanceId = DPLCreateLibrary();
}

PdfLibraryBinding::~PdfLibraryBinding() {
    if (m_instanceId > 0 && DPLReleaseLibrary != nullptr) DPLReleaseLibrary(m_instanceId);
    m_library.Close();
}
