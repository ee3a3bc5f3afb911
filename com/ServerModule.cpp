#include "com/ServerModule.h"

#include <dlfcn.h>

#include <atomic>
#include <filesystem>
#include <iostream>
#include <new>

#include "com/ModuleLifetime.h"
#include "com/RegistryFiles.h"

namespace com {
namespace {

// The class factory of a module's one class. It counts as a live object of its module, so
// that the module stays loaded while a client holds it.
class ClassFactory final : public IClassFactory {
  public:
    explicit ClassFactory(const ServerModule& module) : m_module(module) {
        module_lifetime::ObjectCreated();
    }

    HRESULT QueryInterface(const IID& iid, void** object) override {
        if (object == nullptr) return E_POINTER;
        *object = nullptr;
        if (iid != IClassFactory::kIid && iid != IUnknown::kIid) return E_NOINTERFACE;
        *object = static_cast<IClassFactory*>(this);
        AddRef();
        return S_OK;
    }
    uint32_t AddRef() override { return ++m_references; }
    uint32_t Release() override {
        uint32_t left = --m_references;
        if (left == 0) delete this;  // the factory owns itself, like every component object
        return left;
    }

    HRESULT CreateInstance(IUnknown* outer, const IID& iid, void** object) override {
        if (object == nullptr) return E_POINTER;
        *object = nullptr;
        if (outer != nullptr) return CLASS_E_NOAGGREGATION;
        return GuardEntryPoint([&] { return m_module.createObject(iid, object); });
    }
    HRESULT LockServer(bool lock) override {
        lock ? module_lifetime::Lock() : module_lifetime::Unlock();
        return S_OK;
    }

  private:
    ~ClassFactory() { module_lifetime::ObjectDestroyed(); }

    const ServerModule& m_module;
    std::atomic<uint32_t> m_references{1};
};

const ClassDescription& ClassOf(const ServerModule& module) {
    return module.typeLibrary.Class(module.identity.className);
}

std::string ModulePath(const void* addressInModule) {
    Dl_info info{};
    if (::dladdr(addressInModule, &info) == 0 || info.dli_fname == nullptr) return "";
    std::error_code error;
    std::filesystem::path path = std::filesystem::canonical(info.dli_fname, error);
    return error ? std::string(info.dli_fname) : path.string();
}

void ReportRegistryProblem(const std::string& problem) {
    if (!problem.empty()) std::cerr << problem << "\n";
}

}  // namespace

HRESULT ServerGetClassObject(const ServerModule& module, const CLSID& clsid, const IID& iid,
                             void** object) {
    if (object == nullptr) return E_POINTER;
    *object = nullptr;
    if (clsid != ClassOf(module).clsid) return CLASS_E_CLASSNOTAVAILABLE;
    auto* factory = new (std::nothrow) ClassFactory(module);
    if (factory == nullptr) return E_OUTOFMEMORY;
    HRESULT hr = factory->QueryInterface(iid, object);
    factory->Release();
    return hr;
}

HRESULT ServerCanUnloadNow() {
    return module_lifetime::CanUnload() ? S_OK : S_FALSE;
}

HRESULT ServerRegister(const ServerModule& module, const void* addressInModule) {
    std::string modulePath = ModulePath(addressInModule);
    if (modulePath.empty()) return E_UNEXPECTED;
    std::string problem;
    HRESULT hr = UpdateRegistryFile(
        RegistryPathForWriting(),
        [&](Registry& registry) {
            return WriteServerKeys(registry, module.identity, module.typeLibrary.Library(),
                                   modulePath);
        },
        &problem);
    ReportRegistryProblem(problem);
    return hr;
}

HRESULT ServerUnregister(const ServerModule& module) {
    std::string problem;
    HRESULT hr = UpdateRegistryFile(
        RegistryPathForWriting(),
        [&](Registry& registry) {
            return RemoveServerKeys(registry, module.identity, module.typeLibrary.Library());
        },
        &problem);
    ReportRegistryProblem(problem);
    return hr;
}

}  // namespace com
