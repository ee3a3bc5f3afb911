// One engine object driven from a program through the component runtime, the way the desktop
// program drives it: created by class identifier (or, when the class is not registered, from
// its server module in the library folder beside the program), its properties put by name
// through late binding, and its job method invoked by name. Everything it knows of the engine
// comes from the engine's contract.
//
// The client owns the thread's component initialisation and the object; both end with it.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "com/ComPtr.h"
#include "com/ComponentContract.h"
#include "com/Dispatch.h"
#include "com/Hresult.h"
#include "com/ProgressSink.h"
#include "com/TypeLibrary.h"

namespace com {

class EngineClient {
  public:
    explicit EngineClient(const ComponentContract& contract);
    ~EngineClient();
    EngineClient(const EngineClient&) = delete;
    EngineClient& operator=(const EngineClient&) = delete;

    // S_OK once the object exists, else why it could not be made (see HresultMessage).
    HRESULT CreationResult() const { return m_created; }

    // Puts property `name` from its text: DISP_E_UNKNOWNNAME, DISP_E_TYPEMISMATCH, or what
    // the object answers.
    HRESULT Put(std::string_view name, std::string_view value);

    // Hands `sink` to the object through IProgressReporting (E_NOINTERFACE when the object
    // has none). The sink must outlive the client or be replaced by nullptr first.
    HRESULT SetProgressSink(IProgressSink* sink);

    // Calls the job method with `arguments` (missing ones are empty) and gives the status
    // text it returns (empty on success).
    HRESULT RunJob(const std::vector<std::string>& arguments, std::string* status);

  private:
    const ComponentContract& m_contract;
    TypeLibrary m_library;
    bool m_initialized = false;
    HRESULT m_created = E_FAIL;
    ComPtr<IDispatch> m_object;
};

}  // namespace com
