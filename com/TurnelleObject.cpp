#include "com/TurnelleObject.h"

namespace com {

TurnelleObject::TurnelleObject(MemberHandlers handlers)
    : DispatchObject(TurnelleTypeLibrary().Interface("ITurnelleCom"), std::move(handlers)) {}

HRESULT CreateTurnelleObject(const IID& iid, void** object, MemberHandlers handlers) {
    return CreateDispatchObject<TurnelleObject>(iid, object, std::move(handlers));
}

}  // namespace com
