// The server modules this process has loaded, shared by every thread. A module is loaded once
// per path and kept until it says, through DllCanUnloadNow, that nothing of it is alive.
#pragma once

#include <string>

#include "com/Guid.h"
#include "com/Hresult.h"

namespace com {

// Loads the module at `path` (or finds it loaded) and asks its DllGetClassObject.
HRESULT GetClassObjectFromModule(const std::string& path, const CLSID& clsid, const IID& iid,
                                 void** object);

// Unloads every module that can be unloaded now.
void UnloadUnusedModules();

}  // namespace com
