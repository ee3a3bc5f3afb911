// The registry keys of one in-process server class and of its type library.
//
// `WriteServerKeys` writes the ProgIDs (each with CLSID, the version-independent one with
// CurVer), the CLSID key (ProgID, VersionIndependentProgID, InprocServer32 = module path with
// ThreadingModel, TypeLib, and Programmable when asked), the type library key (version,
// module path, FLAGS, HELPDIR) and each interface's key; `RemoveServerKeys` removes them.
#pragma once

#include <string>

#include "com/Hresult.h"
#include "com/Registry.h"
#include "com/TypeLibrary.h"

namespace com {

// What a server module says about itself besides its type library.
struct ServerIdentity {
    const char* className;                 // the coclass of the type library
    const char* progId;                    // versioned, "Maker.Class.1"
    const char* versionIndependentProgId;  // "Maker.Class"
    const char* threadingModel;            // "Apartment"
    bool programmable;
};

// E_INVALIDARG when the type library lacks the class or a value cannot be stored (a module
// path holding a line break).
HRESULT WriteServerKeys(Registry& registry, const ServerIdentity& identity,
                        const TypeLibrary& library, const std::string& modulePath);
// S_FALSE when there was nothing to remove.
HRESULT RemoveServerKeys(Registry& registry, const ServerIdentity& identity,
                         const TypeLibrary& library);

// "CLSID\{...}": the key under which a class is registered.
std::string ClassKey(const CLSID& clsid);

// The key of the type library's version ("TypeLib\{LIBID}\1.0") and the value under it that
// names the module holding the description.
std::string TypeLibraryKey(const TypeLibrary& library);
std::string TypeLibraryModuleKey(const TypeLibrary& library);

// Reads the description of a registered type library from the module the registry names:
// TYPE_E_LIBNOTREGISTERED when it is not registered, TYPE_E_CANTLOADLIBRARY when the module
// cannot be loaded, lacks DllGetTypeLibText or holds a malformed description.
HRESULT LoadRegTypeLib(const Guid& libId, uint16_t major, uint16_t minor, TypeLibrary* library);
HRESULT LoadTypeLibraryFromModule(const std::string& modulePath, TypeLibrary* library);

}  // namespace com
