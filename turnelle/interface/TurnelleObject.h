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

    TURNELLE_JOB_METHOD(VELMORA_FORWARD_JOB)
    TURNELLE_PROPERTIES(VELMORA_FORWARD_PUT)
};

HRESULT CreateTurnelleObject(const IID& iid, void** object, MemberHandlers handlers,
                             ProgressSinkSetter setSink = {});

}  // namespace com
