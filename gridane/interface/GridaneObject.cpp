#include "gridane/interface/GridaneObject.h"

namespace com {

GridaneObject::GridaneObject(MemberHandlers handlers, ProgressSinkSetter setSink)
    : ReportingDispatchObject(GridaneTypeLibrary().Interface("IGridaneCom"), std::move(handlers),
                              std::move(setSink)) {}

HRESULT CreateGridaneObject(const IID& iid, void** object, MemberHandlers handlers,
                            ProgressSinkSetter setSink) {
    return CreateDispatchObject<GridaneObject>(iid, object, std::move(handlers),
                                               std::move(setSink));
}

}  // namespace com
