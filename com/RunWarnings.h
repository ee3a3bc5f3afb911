// IRunWarnings: a second interface an engine object may offer beside its automation interface,
// giving what the last job call got past in its inputs (damaged page-tree nodes skipped, table
// entries treated as free, streams that could not be decoded). It is not in the type library,
// so the automation contract stays as it is; a client asks for it with QueryInterface, and an
// object without it answers E_NOINTERFACE.
//
// A server offers it by putting a handler under kDispidRunWarnings among the member handlers
// of its DispatchObject (a TextMethod without arguments); that DISPID is never dispatched.
#pragma once

#include "com/Bstr.h"
#include "com/Dispatch.h"
#include "com/Unknown.h"

namespace com {

class IRunWarnings : public IUnknown {
  public:
    static constexpr IID kIid = GuidLiteral("{8FF4358F-0CB2-4B30-9426-F4737E4270BF}");

    // The warnings of the last job call, one line each ("warning: TEXT"), the last line telling
    // how many more were not listed when there were too many; an empty text when none. *text
    // is a new string that the caller frees.
    virtual HRESULT GetRunWarnings(BSTR* text) = 0;

  protected:
    ~IRunWarnings() = default;
};

// The handler key of the warnings method: outside every type library's DISPIDs.
inline constexpr DISPID kDispidRunWarnings = -7000;

}  // namespace com
