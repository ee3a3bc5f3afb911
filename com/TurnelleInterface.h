// The rotation server's interface as its clients see it: the class, interface and type
// library identities, and ITurnelleCom, a dual interface whose members stand in the type
// library's declaration order. Every property is put-only; getTurnelleFile returns a status
// text (empty on success) that the caller frees with SysFreeString.
#pragma once

#include "com/Dispatch.h"
#include "com/EmbeddedTypeLibrary.h"

namespace com {

inline constexpr CLSID CLSID_TurnelleCom = GuidLiteral("{11D24184-7D5E-43B1-8A0C-2146D223C1FF}");
inline constexpr Guid LIBID_TurnelleLib = GuidLiteral("{71168875-A0CE-459F-A821-A03272C9F6BA}");
inline constexpr char kTurnelleModuleName[] = "libturnelle.so";

class ITurnelleCom : public IDispatch {
  public:
    static constexpr IID kIid = GuidLiteral("{113E0243-C598-45F4-BD3F-B0E53601E459}");

    // `m_params` is accepted and not used.
    virtual HRESULT getTurnelleFile(BSTR m_intputFile, BSTR m_outputFile, BSTR m_params,
                                    BSTR* pVal) = 0;
    virtual HRESULT put_type(int32_t newVal) = 0;
    virtual HRESULT put_rotateAngle(int32_t newVal) = 0;
    virtual HRESULT put_rotatePages(BSTR newVal) = 0;
    virtual HRESULT put_force(int32_t newVal) = 0;

  protected:
    ~ITurnelleCom() = default;
};

inline constexpr IID IID_ITurnelleCom = ITurnelleCom::kIid;

// The description of TurnelleLib: the library, ITurnelleCom with its DISPIDs and help
// strings, and the TurnelleCom class.
const EmbeddedTypeLibrary& TurnelleTypeLibrary();

}  // namespace com
