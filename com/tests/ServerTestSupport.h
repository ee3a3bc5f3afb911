// Helpers for tests that drive server modules through the runtime: a registry of the test's
// own, registration as regsvr does it, whether a module is loaded, and COM on the thread.
#pragma once

#include <dlfcn.h>

#include <string>

#include "com/Registry.h"
#include "com/RegistryFiles.h"
#include "com/Runtime.h"
#include "com/ServerExports.h"
#include "com/tests/ScopedEnvironment.h"
#include "platform/SharedLibrary.h"
#include "testing/Scratch.h"

namespace com_test {

// A server module of the build tree, in build/lib.
inline std::string BuiltModule(const std::string& fileName) {
    return testing_support::BuildDir() + "/lib/" + fileName;
}

inline bool IsLoaded(const std::string& path) {
    void* handle = ::dlopen(path.c_str(), RTLD_NOW | RTLD_NOLOAD);
    if (handle != nullptr) ::dlclose(handle);
    return handle != nullptr;
}

// Runs DllRegisterServer or DllUnregisterServer of the module, as regsvr does.
inline com::HRESULT CallModuleEntry(const std::string& modulePath, const char* entryName) {
    platform::SharedLibrary module;
    if (!module.Open(modulePath)) return com::CO_E_BADMODULE;
    auto* entry = module.Get<com::DllRegisterServerFunction>(entryName);
    return entry != nullptr ? entry() : com::CO_E_ERRORINDLL;
}

// An empty registry in a scratch folder that the runtime uses while the object lives.
class ScratchRegistry {
  public:
    const std::string& Path() const { return m_path; }
    com::HRESULT Register(const std::string& modulePath) {
        return CallModuleEntry(modulePath, com::kDllRegisterServer);
    }
    com::HRESULT Unregister(const std::string& modulePath) {
        return CallModuleEntry(modulePath, com::kDllUnregisterServer);
    }
    com::Registry Load() const {
        com::Registry registry;
        com::LoadRegistryFile(m_path, &registry);
        return registry;
    }

  private:
    testing_support::ScratchDir m_scratch;
    std::string m_path = m_scratch.File("registry");
    ScopedEnvironment m_environment{"VELMORA_REGISTRY", m_path};
};

// COM initialised on the current thread while the object lives; unused modules go with it.
class ComOnThisThread {
  public:
    ComOnThisThread() { com::CoInitialize(); }
    ~ComOnThisThread() { com::CoUninitialize(); }
    ComOnThisThread(const ComOnThisThread&) = delete;
    ComOnThisThread& operator=(const ComOnThisThread&) = delete;
};

}  // namespace com_test
