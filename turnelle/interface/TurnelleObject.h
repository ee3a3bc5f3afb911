// A TurnelleCom object: ITurnelleCom over a table of member handlers keyed by DISPID, which
// the server fills with the module's setters and its getTurnelleFile, and IProgressReporting,
// whose sink goes to the module. Vtable members and Invoke by DISPID go through the same
// handlers. Made by CreateTurnelleObject; lives until its last Release, on the thread that
// made it.
#pragma once

#include "com/ReportingDispatchObject.h"
#include "turnelle/interface/TurnelleInterface.h"

namespace com {

class TurnelleObject final : public ReportingDispatchObject<ITurnelleCom> {
  public:
    TurnelleObject(MemberHandlers handlers, ProgressSinkSetter setSink);

    HRESULT getTurnelleFile(BSTR m_intputFile, BSTR m_outputFile, BSTR m_params,
                            BSTR* pVal) override {
        return CallForText(kDispidGetTurnelleFile, {m_intputFile, m_outputFile, m_params}, pVal);
    }
    TURNELLE_PROPERTIES(VELMORA_FORWARD_PUT)
};

HRESULT CreateTurnelleObject(const IID& iid, void** object, MemberHandlers handlers,
                             ProgressSinkSetter setSink = {});

}  // namespace com
