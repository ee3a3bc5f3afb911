// The rotation server's interface as its clients see it: the class, interface and type
// library identities, ITurnelleCom (a dual interface whose members stand in the type library's
// declaration order) and the contract they come from. Every property is put-only;
// getTurnelleFile returns a status text (empty on success) that the caller frees with
// SysFreeString. A client links this target (turnelle_interface), not the module.
#pragma once

#include "com/ComponentContract.h"
#include "com/Dispatch.h"
#include "com/EmbeddedTypeLibrary.h"
#include "turnelle/interface/TurnelleMembers.h"

namespace com {

inline constexpr CLSID CLSID_TurnelleCom = GuidLiteral("{11D24184-7D5E-43B1-8A0C-2146D223C1FF}");
inline constexpr Guid LIBID_TurnelleLib = GuidLiteral("{71168875-A0CE-459F-A821-A03272C9F6BA}");
inline constexpr char kTurnelleModuleName[] = "libturnelle.so";
inline constexpr DISPID kDispidGetTurnelleFile = TURNELLE_JOB_METHOD(VELMORA_JOB_DISPID);

class ITurnelleCom : public IDispatch {
  public:
    static constexpr IID kIid = GuidLiteral("{113E0243-C598-45F4-BD3F-B0E53601E459}");

    TURNELLE_JOB_METHOD(VELMORA_DECLARE_JOB)
    TURNELLE_PROPERTIES(VELMORA_DECLARE_PUT)

  protected:
    ~ITurnelleCom() = default;
};

inline constexpr IID IID_ITurnelleCom = ITurnelleCom::kIid;

// The contract of TurnelleCom: identities, getTurnelleFile and the properties of
// TurnelleMembers.h in their order.
const ComponentContract& TurnelleContract();

// The description of TurnelleLib made from the contract.
const EmbeddedTypeLibrary& TurnelleTypeLibrary();

}  // namespace com
