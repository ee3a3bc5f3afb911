// What an in-process server module is made of, and its exported entry points.
//
// A server module describes itself with a `ServerModule` (its embedded type library, its
// registry identity and the function that makes its object) and exports the entry points of
// ServerExports.h with VELMORA_COM_SERVER(definition), `definition` being a function that
// returns the module's `const ServerModule&`. Every entry point catches what is thrown below
// it and answers E_UNEXPECTED (or E_OUTOFMEMORY) instead.
#pragma once

#include <string>

#include "com/EmbeddedTypeLibrary.h"
#include "com/ServerExports.h"
#include "com/ServerRegistration.h"
#include "com/TypeLibrary.h"
#include "com/Unknown.h"
#include "platform/PartialFiles.h"

namespace com {

struct ServerModule {
    const EmbeddedTypeLibrary& typeLibrary;
    ServerIdentity identity;
    // Makes a new object and asks it for `iid`.
    HRESULT (*createObject)(const IID& iid, void** object);
};

// The bodies of the exported entry points. `addressInModule` is any address inside the
// module, by which it finds its own path.
HRESULT ServerGetClassObject(const ServerModule& module, const CLSID& clsid, const IID& iid,
                             void** object);
HRESULT ServerCanUnloadNow();
HRESULT ServerRegister(const ServerModule& module, const void* addressInModule);
HRESULT ServerUnregister(const ServerModule& module);

// Runs `body`, turning anything it throws into a failing result.
template <class Body>
HRESULT GuardEntryPoint(Body&& body) noexcept {
    try {
        return body();
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    } catch (...) {
        return E_UNEXPECTED;
    }
}

}  // namespace com

#define VELMORA_COM_SERVER(definition)                                                      \
    extern "C" com::HRESULT DllGetClassObject(const com::CLSID& clsid, const com::IID& iid, \
                                              void** object) {                              \
        return com::GuardEntryPoint(                                                        \
            [&] { return com::ServerGetClassObject(definition(), clsid, iid, object); });   \
    }                                                                                       \
    extern "C" com::HRESULT DllCanUnloadNow() {                                             \
        return com::ServerCanUnloadNow();                                                   \
    }                                                                                       \
    extern "C" com::HRESULT DllRegisterServer() {                                           \
        return com::GuardEntryPoint([] {                                                    \
            return com::ServerRegister(definition(),                                        \
                                       reinterpret_cast<const void*>(&DllRegisterServer));  \
        });                                                                                 \
    }                                                                                       \
    extern "C" com::HRESULT DllUnregisterServer() {                                         \
        return com::GuardEntryPoint([] { return com::ServerUnregister(definition()); });    \
    }                                                                                       \
    extern "C" void VelmoraJoinPartialFileRemoval() {                                       \
        platform::JoinPartialFileRemoval();                                                 \
    }                                                                                       \
    extern "C" const char* DllGetTypeLibText() {                                            \
        try {                                                                               \
            return definition().typeLibrary.Text();                                         \
        } catch (...) {                                                                     \
            return "";                                                                      \
        }                                                                                   \
    }
