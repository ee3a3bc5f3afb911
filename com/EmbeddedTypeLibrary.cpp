#include "com/EmbeddedTypeLibrary.h"

#include <stdexcept>

namespace com {

EmbeddedTypeLibrary::EmbeddedTypeLibrary(const char* text) : m_text(text) {
    std::string error;
    std::optional<TypeLibrary> parsed = ReadTypeLibraryText(m_text, &error);
    if (!parsed) throw std::logic_error("malformed embedded type library: " + error);
    m_library = std::move(*parsed);
}

EmbeddedTypeLibrary::EmbeddedTypeLibrary(const TypeLibrary& library)
    : EmbeddedTypeLibrary(WriteTypeLibraryText(library).c_str()) {}

const InterfaceDescription& EmbeddedTypeLibrary::Interface(std::string_view name) const {
    const InterfaceDescription* found = m_library.FindInterface(name);
    if (found == nullptr) throw std::logic_error("type library lacks " + std::string(name));
    return *found;
}

const ClassDescription& EmbeddedTypeLibrary::Class(std::string_view name) const {
    const ClassDescription* found = m_library.FindClass(name);
    if (found == nullptr) throw std::logic_error("type library lacks " + std::string(name));
    return *found;
}

}  // namespace com
