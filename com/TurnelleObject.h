// A TurnelleCom object: ITurnelleCom over a table of member handlers keyed by DISPID, which
// the server fills with the engine's setters and its getTurnelleFile. Vtable members and
// Invoke by DISPID go through the same handlers. Made by CreateTurnelleObject; lives until
// its last Release, on the thread that made it.
#pragma once

#include "com/DispatchObject.h"
#include "com/ServerRegistration.h"
#include "com/TurnelleInterface.h"

namespace com {

inline constexpr ServerIdentity kTurnelleServerIdentity{"TurnelleCom", "Turnelle.TurnelleCom.1",
                                                        "Turnelle.TurnelleCom", "Apartment", true};

inline constexpr DISPID kDispidGetTurnelleFile = 5;

class TurnelleObject final : public DispatchObject<ITurnelleCom> {
  public:
    explicit TurnelleObject(MemberHandlers handlers);

    HRESULT getTurnelleFile(BSTR m_intputFile, BSTR m_outputFile, BSTR m_params,
                            BSTR* pVal) override {
        return CallForText(kDispidGetTurnelleFile, {m_intputFile, m_outputFile, m_params}, pVal);
    }
    HRESULT put_type(int32_t newVal) override { return Put(6, newVal); }
    HRESULT put_rotateAngle(int32_t newVal) override { return Put(7, newVal); }
    HRESULT put_rotatePages(BSTR newVal) override { return Put(8, newVal); }
    HRESULT put_force(int32_t newVal) override { return Put(9, newVal); }
};

HRESULT CreateTurnelleObject(const IID& iid, void** object, MemberHandlers handlers);

}  // namespace com
