// A GridaneCom object: IGridaneCom over a table of member handlers keyed by DISPID, which
// the server fills with the engine's setters and its getGridaneFile, and IProgressReporting,
// whose sink goes to the engine. Vtable members and Invoke by DISPID go through the same
// handlers. Made by CreateGridaneObject; lives until its last Release, on the thread that
// made it.
#pragma once

#include "com/ReportingDispatchObject.h"
#include "gridane/interface/GridaneInterface.h"

namespace com {

class GridaneObject final : public ReportingDispatchObject<IGridaneCom> {
  public:
    GridaneObject(MemberHandlers handlers, ProgressSinkSetter setSink);

    GRIDANE_JOB_METHOD(VELMORA_FORWARD_JOB)
    GRIDANE_PROPERTIES(VELMORA_FORWARD_PUT)
};

HRESULT CreateGridaneObject(const IID& iid, void** object, MemberHandlers handlers,
                            ProgressSinkSetter setSink = {});

}  // namespace com
