// The imposition server's interface as its clients see it: the class, interface and type
// library identities, IGridaneCom (a dual interface whose members stand in the type library's
// declaration order) and the contract they come from. Every property is put-only;
// getGridaneFile returns a status text (empty on success) that the caller frees with
// SysFreeString. A client links this target (gridane_interface), not the engine.
#pragma once

#include "com/ComponentContract.h"
#include "com/Dispatch.h"
#include "com/EmbeddedTypeLibrary.h"
#include "com/InterfacePuts.h"
#include "gridane/interface/GridaneMembers.h"

namespace com {

inline constexpr CLSID CLSID_GridaneCom = GuidLiteral("{99D24111-7D5E-43B1-8A0C-2146D223C1FF}");
inline constexpr Guid LIBID_GridaneLib = GuidLiteral("{88168888-A0CE-459F-A821-A03272C9F6CC}");
inline constexpr char kGridaneModuleName[] = "libgridane.so";
inline constexpr DISPID kDispidGetGridaneFile = GRIDANE_JOB_METHOD(VELMORA_JOB_DISPID);

class IGridaneCom : public IDispatch {
  public:
    static constexpr IID kIid = GuidLiteral("{FF3E0222-C598-45F4-BD3F-B0E53601E459}");

    GRIDANE_JOB_METHOD(VELMORA_DECLARE_JOB)
    GRIDANE_PROPERTIES(VELMORA_DECLARE_PUT)

  protected:
    ~IGridaneCom() = default;
};

inline constexpr IID IID_IGridaneCom = IGridaneCom::kIid;

// The contract of GridaneCom: identities, getGridaneFile and the properties of
// GridaneMembers.h in their order.
const ComponentContract& GridaneContract();

// IGridaneCom's put of every property, by the property's name, for clients that put settings
// by name (see PutByName).
std::span<const InterfacePut<IGridaneCom>> GridaneInterfacePuts();

// The description of GridaneLib made from the contract.
const EmbeddedTypeLibrary& GridaneTypeLibrary();

}  // namespace com
