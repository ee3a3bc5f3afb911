// Puts a property by its name from a text, through GetIDsOfNames and Invoke, the way a
// late-bound client (a command line, a script) does. The interface description says whether
// the property takes an integer (the text must then be a whole decimal number that fits in
// 32 bits) or a string.
#pragma once

#include <string>
#include <string_view>

#include "com/Dispatch.h"
#include "com/TypeLibrary.h"

namespace com {

// DISP_E_UNKNOWNNAME for a name that is no property put of `description`, DISP_E_TYPEMISMATCH
// for an integer property given anything but a number; otherwise what the object answers.
HRESULT PutPropertyFromText(IDispatch* object, const InterfaceDescription& description,
                            std::string_view name, std::string_view value);

}  // namespace com
