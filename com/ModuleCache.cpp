#include "com/ModuleCache.h"

#include <filesystem>
#include <map>
#include <mutex>

#include "com/ServerExports.h"
#include "platform/SharedLibrary.h"

namespace com {
namespace {

struct LoadedModule {
    platform::SharedLibrary library;
    DllGetClassObjectFunction* getClassObject = nullptr;
    DllCanUnloadNowFunction* canUnloadNow = nullptr;
};

// Recursive, and held while a module's code runs, so that no other thread unloads a module
// between finding it and using it, while a server may still create objects of another.
// Both are never destroyed: a module unloaded at exit would pull code from under objects that
// other static objects of the program may still release.
std::recursive_mutex& CacheMutex() {
    static auto* mutex = new std::recursive_mutex;
    return *mutex;
}

std::map<std::string, LoadedModule>& Modules() {
    static auto* modules = new std::map<std::string, LoadedModule>;
    return *modules;
}

HRESULT Load(const std::string& path, LoadedModule** loaded) {
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error)) return CO_E_MODULENOTFOUND;
    std::string key = std::filesystem::canonical(path, error).string();
    auto& modules = Modules();
    if (auto found = modules.find(key); found != modules.end()) {
        *loaded = &found->second;
        return S_OK;
    }
    LoadedModule module;
    if (!module.library.Open(key)) return CO_E_BADMODULE;
    module.getClassObject = module.library.Get<DllGetClassObjectFunction>(kDllGetClassObject);
    module.canUnloadNow = module.library.Get<DllCanUnloadNowFunction>(kDllCanUnloadNow);
    if (module.getClassObject == nullptr) return CO_E_ERRORINDLL;
    *loaded = &modules.emplace(key, std::move(module)).first->second;
    return S_OK;
}

}  // namespace

HRESULT GetClassObjectFromModule(const std::string& path, const CLSID& clsid, const IID& iid,
                                 void** object) {
    std::lock_guard lock(CacheMutex());
    LoadedModule* module = nullptr;
    if (HRESULT hr = Load(path, &module); FAILED(hr)) return hr;
    return module->getClassObject(clsid, iid, object);
}

void UnloadUnusedModules() {
    std::lock_guard lock(CacheMutex());
    auto& modules = Modules();
    for (auto it = modules.begin(); it != modules.end();) {
        // A module that cannot tell is kept: unloading it under a live object would crash.
        bool unused = it->second.canUnloadNow != nullptr && it->second.canUnloadNow() == S_OK;
        it = unused ? modules.erase(it) : std::next(it);
    }
}

}  // namespace com
