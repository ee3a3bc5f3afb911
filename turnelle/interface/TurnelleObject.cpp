#include "turnelle/interface/TurnelleObject.h"

namespace com {

TurnelleObject::TurnelleObject(MemberHandlers handlers, ProgressSinkSetter setSink)
    : ReportingDispatchObject(TurnelleTypeLibrary().Interface("ITurnelleCom"), std::move(handlers),
                              std::move(setSink)) {}

HRESULT CreateTurnelleObject(const IID& iid, void** object, MemberHandlers handlers,
                             ProgressSinkSetter setSink) {
    return CreateDispatchObject<TurnelleObject>(iid, object, std::move(handlers),
                                                std::move(setSink));
}

}  // namespace com
