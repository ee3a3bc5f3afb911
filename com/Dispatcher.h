// The late-bound half of a dual object: looks members up in the interface description,
// checks the call (member kind, argument count and types, calling thread) and hands the
// arguments to the member's handler. Dual objects route their vtable members through the same
// `Invoke`, so both calling paths behave alike.
//
// A handler receives the arguments in call order, already checked against the description;
// for a member with a result it fills `result` (the dispatcher frees it when the caller did
// not ask for it). The description must outlive the dispatcher (servers keep theirs static).
#pragma once

#include <functional>
#include <map>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "com/Apartment.h"
#include "com/Dispatch.h"
#include "com/TypeLibrary.h"

namespace com {

using MemberHandler = std::function<HRESULT(std::span<const Variant> args, Variant* result)>;
using MemberHandlers = std::map<DISPID, MemberHandler>;

// Handlers for the usual member shapes. Texts are handed over as UTF-8. A put that throws
// fails with E_OUTOFMEMORY (out of memory) or E_UNEXPECTED; a text method that throws returns
// "Unexpected exception" as its text, since these servers report outcomes only as text.
MemberHandler IntegerPut(std::function<void(int32_t)> put);
MemberHandler TextPut(std::function<void(const std::string&)> put);
MemberHandler TextMethod(std::function<std::string(const std::vector<std::string>&)> call);

// Handlers for every property put of `description`, each calling the by-name setter of its
// type with the member's name. A setter that answers false (it knows no such property) makes
// the put fail with DISP_E_MEMBERNOTFOUND; one that throws, as IntegerPut and TextPut do.
using NamedIntegerPut = std::function<bool(std::string_view name, int32_t value)>;
using NamedTextPut = std::function<bool(std::string_view name, const std::string& value)>;
MemberHandlers PropertyHandlers(const InterfaceDescription& description, NamedIntegerPut putInteger,
                                NamedTextPut putText);

class Dispatcher {
  public:
    Dispatcher(const InterfaceDescription& description, MemberHandlers handlers);

    HRESULT GetIDsOfNames(const char16_t* const* names, uint32_t count, DISPID* ids) const;
    HRESULT Invoke(DISPID id, uint16_t flags, std::span<const Variant> args, Variant* result) const;
    HRESULT CheckThread() const { return m_apartment.CheckThread(); }

  private:
    HRESULT CheckArguments(const MemberDescription& member, std::span<const Variant> args) const;

    const InterfaceDescription& m_description;
    MemberHandlers m_handlers;
    ApartmentAffinity m_apartment;
};

}  // namespace com
