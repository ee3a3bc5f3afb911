// The client side of the component runtime: per-thread initialisation, object creation by
// class identifier through the registry, and the loaded server modules.
//
// A thread calls CoInitialize before it creates objects and CoUninitialize when done (calls
// nest; the first returns S_OK, later ones S_FALSE). Objects are apartment-threaded: they
// answer only on the thread that created them (RPC_E_WRONG_THREAD elsewhere).
// Server modules stay loaded while anything of theirs is alive; CoFreeUnusedLibraries, and
// the last CoUninitialize of a thread, unload the modules whose DllCanUnloadNow says so.
#pragma once

#include <string>

#include "com/Guid.h"
#include "com/Hresult.h"
#include "com/Unknown.h"

namespace com {

HRESULT CoInitialize(void* reserved = nullptr);
void CoUninitialize();
bool IsComInitializedOnThisThread();

// Finds `InprocServer32` of the class in the registry, loads the module and asks its class
// factory for an object and `iid`. *object is nullptr on failure: E_POINTER (no slot),
// CO_E_NOTINITIALIZED, CLASS_E_NOAGGREGATION (an outer object is given),
// REGDB_E_CLASSNOTREG (no in-process server registered in `context`), REGDB_E_READREGDB,
// CO_E_MODULENOTFOUND, CO_E_BADMODULE, CO_E_ERRORINDLL (no DllGetClassObject), or what the
// factory answers (E_NOINTERFACE among them).
HRESULT CoCreateInstance(const CLSID& clsid, IUnknown* outer, uint32_t context, const IID& iid,
                         void** object);
HRESULT CoGetClassObject(const CLSID& clsid, uint32_t context, const IID& iid, void** object);

// The same creation from a module named by path, without the registry: for programs that
// ship their server beside them and run before it is registered.
HRESULT CreateInstanceFromModule(const std::string& modulePath, const CLSID& clsid, const IID& iid,
                                 void** object);

// By class identifier when the class is registered, else from `moduleName` in the library
// folder beside the program (../lib from the program's folder).
HRESULT CreateRegisteredOrBeside(const CLSID& clsid, const std::string& moduleName, const IID& iid,
                                 void** object);

// In-process objects run as soon as they exist; kept for clients that ask.
HRESULT OleRun(IUnknown* object);

// The class registered under a ProgID ("Gridane.GridaneCom"); REGDB_E_CLASSNOTREG when none.
HRESULT CLSIDFromProgID(const std::string& progId, CLSID* clsid);

void CoFreeUnusedLibraries();

}  // namespace com
