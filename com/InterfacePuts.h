// A client's side of a component's contract: for every property of the component's list, the
// interface's own put, found by the property's name. Expanded from the same X-macro list as
// the interface, so a client that puts settings by name calls the vtable directly and needs no
// table of its own:
//
//   #define MY_INTERFACE_PUT(name, dispid, kind, ...) VELMORA_INTERFACE_PUT(IMyCom, name, kind)
//   constexpr com::InterfacePut<IMyCom> kPuts[] = {MY_PROPERTIES(MY_INTERFACE_PUT)};
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

#include "com/Bstr.h"
#include "com/ComponentContract.h"
#include "com/Hresult.h"

namespace com {

template <class Interface>
struct InterfacePut {
    std::string_view name;
    HRESULT (Interface::*putNumber)(int32_t);  // Flag and Integer properties
    HRESULT (Interface::*putText)(BSTR);       // Text properties
};

// Puts `value` through the object's put of property `name`: DISP_E_UNKNOWNNAME when there is
// no such property of a number kind, else what the object answers.
template <class Interface>
HRESULT PutByName(std::span<const InterfacePut<Interface>> puts, Interface& object,
                  std::string_view name, int32_t value) {
    const InterfacePut<Interface>* put = FindNamed(puts, name);
    if (put == nullptr || put->putNumber == nullptr) return DISP_E_UNKNOWNNAME;
    return (object.*(put->putNumber))(value);
}

// The same for a text property; the text is handed over as a BSTR the call owns.
template <class Interface>
HRESULT PutByName(std::span<const InterfacePut<Interface>> puts, Interface& object,
                  std::string_view name, std::string_view utf8) {
    const InterfacePut<Interface>* put = FindNamed(puts, name);
    if (put == nullptr || put->putText == nullptr) return DISP_E_UNKNOWNNAME;
    Bstr text = Bstr::FromUtf8(utf8);
    return (object.*(put->putText))(text.Get());
}

}  // namespace com

#define VELMORA_INTERFACE_PUTS_Flag(I, name) &I::put_##name, nullptr
#define VELMORA_INTERFACE_PUTS_Integer(I, name) &I::put_##name, nullptr
#define VELMORA_INTERFACE_PUTS_Text(I, name) nullptr, &I::put_##name
// One entry of a list as an `InterfacePut<I>` initializer; I is the interface.
#define VELMORA_INTERFACE_PUT(I, name, kind) \
    ::com::InterfacePut<I>{#name, VELMORA_INTERFACE_PUTS_##kind(I, name)},
