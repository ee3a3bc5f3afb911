// Late binding: members reached by number (DISPID) instead of by vtable slot.
//
// `GetIDsOfNames` maps member names (case does not matter) to DISPIDs; `Invoke` calls the
// member with arguments in call order (first argument first) and, for a method with a result,
// fills `result`, which then belongs to the caller (free it with VariantClear). Arguments are
// 32-bit integers or strings; they stay the caller's.
#pragma once

#include <cstdint>
#include <span>

#include "com/Bstr.h"
#include "com/Unknown.h"

namespace com {

using DISPID = int32_t;
inline constexpr DISPID DISPID_UNKNOWN = -1;

inline constexpr uint16_t DISPATCH_METHOD = 0x1;
inline constexpr uint16_t DISPATCH_PROPERTYGET = 0x2;
inline constexpr uint16_t DISPATCH_PROPERTYPUT = 0x4;

enum VARTYPE : uint16_t { VT_EMPTY = 0, VT_I4 = 3, VT_BSTR = 8 };

// A tagged argument or result value. It does not free its string by itself.
struct Variant {
    VARTYPE vt = VT_EMPTY;
    int32_t lVal = 0;
    BSTR bstrVal = nullptr;

    static Variant Long(int32_t value) { return {VT_I4, value, nullptr}; }
    static Variant String(BSTR value) { return {VT_BSTR, 0, value}; }
};

// Frees the string a variant holds and empties it.
void VariantClear(Variant* value);

class IDispatch : public IUnknown {
  public:
    static constexpr IID kIid = GuidLiteral("{00020400-0000-0000-C000-000000000046}");

    // Fills `ids[i]` for each of `count` names; DISP_E_UNKNOWNNAME when any is unknown (its id
    // is then DISPID_UNKNOWN).
    virtual HRESULT GetIDsOfNames(const char16_t* const* names, uint32_t count, DISPID* ids) = 0;
    // DISP_E_MEMBERNOTFOUND for an unknown DISPID or a member of another kind than `flags`
    // asks for, DISP_E_BADPARAMCOUNT and DISP_E_TYPEMISMATCH for wrong arguments.
    virtual HRESULT Invoke(DISPID id, uint16_t flags, std::span<const Variant> args,
                           Variant* result) = 0;

  protected:
    ~IDispatch() = default;
};

}  // namespace com
