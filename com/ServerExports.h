// The functions every in-process server module exports with C linkage, by name, and their
// types as a client binds them.
//
//   DllGetClassObject(clsid, iid, object)  the class factory of a class the module serves
//   DllCanUnloadNow()                      S_OK when no object and no lock of it is alive
//   DllRegisterServer() / DllUnregisterServer()  writes / removes the module's registry keys
//   DllGetTypeLibText()                    the embedded type library description (static text)
#pragma once

#include "com/Guid.h"
#include "com/Hresult.h"

namespace com {

using DllGetClassObjectFunction = HRESULT(const CLSID& clsid, const IID& iid, void** object);
using DllCanUnloadNowFunction = HRESULT();
using DllRegisterServerFunction = HRESULT();
using DllGetTypeLibTextFunction = const char*();

inline constexpr char kDllGetClassObject[] = "DllGetClassObject";
inline constexpr char kDllCanUnloadNow[] = "DllCanUnloadNow";
inline constexpr char kDllRegisterServer[] = "DllRegisterServer";
inline constexpr char kDllUnregisterServer[] = "DllUnregisterServer";
inline constexpr char kDllGetTypeLibText[] = "DllGetTypeLibText";

}  // namespace com
