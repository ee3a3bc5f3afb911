// Helpers for tests that drive server modules through the runtime: a registry of the test's
// own, registration as regsvr does it, whether a module is loaded, and COM on the thread.
#pragma once

#include <dlfcn.h>

#include <string>
#include <thread>

#include <gtest/gtest.h>

#include "com/ComPtr.h"
#include "com/Registry.h"
#include "com/RegistryFiles.h"
#include "com/Runtime.h"
#include "com/ServerExports.h"
#include "platform/SharedLibrary.h"
#include "testing/ScopedEnvironment.h"
#include "testing/Scratch.h"

namespace com_test {

// A server module of the build tree, in build/lib/velmora.
inline std::string BuiltModule(const std::string& fileName) {
    return testing_support::BuildDir() + "/lib/velmora/" + fileName;
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
    testing_support::ScopedEnvironment m_environment{"VELMORA_REGISTRY", m_path};
};

// COM initialised on the current thread while the object lives; unused modules go with it.
class ComOnThisThread {
  public:
    ComOnThisThread() { com::CoInitialize(); }
    ~ComOnThisThread() { com::CoUninitialize(); }
    ComOnThisThread(const ComOnThisThread&) = delete;
    ComOnThisThread& operator=(const ComOnThisThread&) = delete;
};

// Creates an object the way the main window does: IUnknown in every context, run, then the
// interface wanted.
template <class Interface>
com::HRESULT CreateLikeTheMainWindow(const com::CLSID& clsid, com::ComPtr<Interface>* object) {
    com::ComPtr<com::IUnknown> unknown;
    com::HRESULT hr =
        com::CoCreateInstance(clsid, nullptr, com::CLSCTX_ALL, com::IUnknown::kIid, unknown.Put());
    if (com::FAILED(hr)) return hr;
    if (com::HRESULT run = com::OleRun(unknown.Get()); com::FAILED(run)) return run;
    return unknown.As(object);
}

// The checks every server must pass: asked for `Other`, it gives no object; `call` on another
// thread than the creating one is refused; the module stays loaded while the object lives and
// unloads once it is gone.
template <class Interface, class Other, class Call>
void ExpectApartmentAndLifetimeRules(const com::CLSID& clsid, const std::string& modulePath,
                                     Call call) {
    com::ComPtr<Other> other;
    EXPECT_EQ(com::CoCreateInstance(clsid, nullptr, com::CLSCTX_ALL, Other::kIid, other.Put()),
              com::E_NOINTERFACE);
    EXPECT_FALSE(other);
    {
        com::ComPtr<Interface> object;
        ASSERT_EQ(CreateLikeTheMainWindow(clsid, &object), com::S_OK);
        com::HRESULT fromOtherThread = com::S_OK;
        std::thread([&] { fromOtherThread = call(object.Get()); }).join();
        EXPECT_EQ(fromOtherThread, com::RPC_E_WRONG_THREAD);
        EXPECT_EQ(call(object.Get()), com::S_OK);
        com::CoFreeUnusedLibraries();
        EXPECT_TRUE(IsLoaded(modulePath));
    }
    com::CoFreeUnusedLibraries();
    EXPECT_FALSE(IsLoaded(modulePath));
}

}  // namespace com_test
