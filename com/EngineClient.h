// One engine object driven from a command-line program through the component runtime, the
// way the desktop program drives it: created by class identifier (or, when the class is not
// registered, from its server module in the library folder beside the program), its
// properties put by name through late binding, and its job method invoked by name.
//
// The client owns the thread's component initialisation and the object; both end with it.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "com/ComPtr.h"
#include "com/Dispatch.h"
#include "com/EmbeddedTypeLibrary.h"
#include "com/Guid.h"
#include "com/Hresult.h"

namespace com {

struct EngineClass {
    CLSID clsid;
    const char* moduleName;                       // e.g. "libgridane.so"
    const EmbeddedTypeLibrary& (*typeLibrary)();  // describes the interface below
    const char* interfaceName;                    // e.g. "IGridaneCom"
    const char* jobMethod;                        // e.g. "getGridaneFile"
    int jobTextArguments;                         // string arguments the job method takes
};

const EngineClass& GridaneEngine();
const EngineClass& TurnelleEngine();

class EngineClient {
  public:
    explicit EngineClient(const EngineClass& engine);
    ~EngineClient();
    EngineClient(const EngineClient&) = delete;
    EngineClient& operator=(const EngineClient&) = delete;

    // S_OK once the object exists, else why it could not be made (see HresultMessage).
    HRESULT CreationResult() const { return m_created; }

    // Puts property `name` from its text: DISP_E_UNKNOWNNAME, DISP_E_TYPEMISMATCH, or what
    // the object answers.
    HRESULT Put(std::string_view name, std::string_view value);

    // Calls the job method with `arguments` (missing ones are empty) and gives the status
    // text it returns (empty on success).
    HRESULT RunJob(const std::vector<std::string>& arguments, std::string* status);

    // The warnings of the last job call as the object gives them (IRunWarnings): one line
    // each, empty when none. E_NOINTERFACE when the object does not give them.
    HRESULT RunWarnings(std::string* warnings);

  private:
    const EngineClass& m_engine;
    bool m_initialized = false;
    HRESULT m_created = E_FAIL;
    ComPtr<IDispatch> m_object;
};

}  // namespace com
