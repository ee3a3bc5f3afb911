// A type library description that a server embeds: made from its text (parsed once when first
// used) or from a description (written as text, and read back so that both forms agree). A
// malformed description is a defect of the server: constructing it throws std::logic_error.
#pragma once

#include <string>
#include <string_view>

#include "com/TypeLibrary.h"

namespace com {

class EmbeddedTypeLibrary {
  public:
    explicit EmbeddedTypeLibrary(const char* text);
    explicit EmbeddedTypeLibrary(const TypeLibrary& library);
    const char* Text() const { return m_text.c_str(); }
    const TypeLibrary& Library() const { return m_library; }
    // The named interface or class; std::logic_error when the description lacks it.
    const InterfaceDescription& Interface(std::string_view name) const;
    const ClassDescription& Class(std::string_view name) const;

  private:
    std::string m_text;
    TypeLibrary m_library;
};

}  // namespace com
