#include "com/GridaneObject.h"

namespace com {

GridaneObject::GridaneObject(MemberHandlers handlers)
    : DispatchObject(GridaneTypeLibrary().Interface("IGridaneCom"), std::move(handlers)) {}

HRESULT CreateGridaneObject(const IID& iid, void** object, MemberHandlers handlers) {
    return CreateDispatchObject<GridaneObject>(iid, object, std::move(handlers));
}

}  // namespace com
