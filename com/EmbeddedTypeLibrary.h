// A type library description that a server keeps as text, parsed once when first used. A
// malformed text is a defect of the server: constructing it throws std::logic_error. The
// text is static and outlives the object.
#pragma once

#include <string_view>

#include "com/TypeLibrary.h"

namespace com {

class EmbeddedTypeLibrary {
  public:
    explicit EmbeddedTypeLibrary(const char* text);
    const char* Text() const { return m_text; }
    const TypeLibrary& Library() const { return m_library; }
    // The named interface or class; std::logic_error when the description lacks it.
    const InterfaceDescription& Interface(std::string_view name) const;
    const ClassDescription& Class(std::string_view name) const;

  private:
    const char* m_text;
    TypeLibrary m_library;
};

}  // namespace com
