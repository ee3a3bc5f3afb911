#include "com/Runtime.h"

#include <filesystem>

#include "com/ModuleCache.h"
#include "com/RegistryFiles.h"
#include "com/ServerRegistration.h"
#include "platform/SharedLibrary.h"

namespace com {
namespace {

thread_local int t_initializeCount = 0;

// The module registered for the class, or the failure that stops the look-up.
HRESULT FindInprocServer(const CLSID& clsid, uint32_t context, std::string* modulePath) {
    if ((context & CLSCTX_INPROC_SERVER) == 0) return REGDB_E_CLASSNOTREG;
    HRESULT hr = ReadRegistryValue(ClassKey(clsid) + "\\InprocServer32", "", modulePath);
    if (FAILED(hr)) return hr;
    if (hr == S_FALSE || modulePath->empty()) return REGDB_E_CLASSNOTREG;
    return S_OK;
}

HRESULT CreateFromFactory(IClassFactory* factory, const IID& iid, void** object) {
    HRESULT hr = factory->CreateInstance(nullptr, iid, object);
    factory->Release();
    return hr;
}

HRESULT CreateThroughModule(const std::string& modulePath, const CLSID& clsid, const IID& iid,
                            void** object) {
    IClassFactory* factory = nullptr;
    HRESULT hr = GetClassObjectFromModule(modulePath, clsid, IClassFactory::kIid,
                                          reinterpret_cast<void**>(&factory));
    if (FAILED(hr)) return hr;
    if (factory == nullptr) return CO_E_ERRORINDLL;
    return CreateFromFactory(factory, iid, object);
}

// Checks shared by every creation path; clears the result slot.
HRESULT BeginCreation(void** object) {
    if (object == nullptr) return E_POINTER;
    *object = nullptr;
    if (t_initializeCount == 0) return CO_E_NOTINITIALIZED;
    return S_OK;
}

}  // namespace

HRESULT CoInitialize(void*) {
    return t_initializeCount++ == 0 ? S_OK : S_FALSE;
}

void CoUninitialize() {
    if (t_initializeCount == 0) return;
    if (--t_initializeCount == 0) UnloadUnusedModules();
}

bool IsComInitializedOnThisThread() {
    return t_initializeCount > 0;
}

HRESULT CoGetClassObject(const CLSID& clsid, uint32_t context, const IID& iid, void** object) {
    if (HRESULT hr = BeginCreation(object); FAILED(hr)) return hr;
    std::string modulePath;
    if (HRESULT hr = FindInprocServer(clsid, context, &modulePath); FAILED(hr)) return hr;
    return GetClassObjectFromModule(modulePath, clsid, iid, object);
}

HRESULT CoCreateInstance(const CLSID& clsid, IUnknown* outer, uint32_t context, const IID& iid,
                         void** object) {
    if (HRESULT hr = BeginCreation(object); FAILED(hr)) return hr;
    if (outer != nullptr) return CLASS_E_NOAGGREGATION;
    std::string modulePath;
    if (HRESULT hr = FindInprocServer(clsid, context, &modulePath); FAILED(hr)) return hr;
    return CreateThroughModule(modulePath, clsid, iid, object);
}

HRESULT CreateInstanceFromModule(const std::string& modulePath, const CLSID& clsid, const IID& iid,
                                 void** object) {
    if (HRESULT hr = BeginCreation(object); FAILED(hr)) return hr;
    return CreateThroughModule(modulePath, clsid, iid, object);
}

HRESULT CreateRegisteredOrBeside(const CLSID& clsid, const std::string& moduleName, const IID& iid,
                                 void** object) {
    HRESULT hr = CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, iid, object);
    if (hr != REGDB_E_CLASSNOTREG) return hr;
    std::string besidePath = platform::LibraryFolder() + "/" + moduleName;
    return CreateInstanceFromModule(besidePath, clsid, iid, object);
}

HRESULT OleRun(IUnknown* object) {
    return object != nullptr ? S_OK : E_INVALIDARG;
}

HRESULT CLSIDFromProgID(const std::string& progId, CLSID* clsid) {
    if (clsid == nullptr) return E_POINTER;
    std::string text;
    HRESULT hr = ReadRegistryValue(progId + "\\CLSID", "", &text);
    if (FAILED(hr)) return hr;
    std::optional<Guid> parsed = ParseGuid(text);
    if (hr == S_FALSE || !parsed) return REGDB_E_CLASSNOTREG;
    *clsid = *parsed;
    return S_OK;
}

void CoFreeUnusedLibraries() {
    UnloadUnusedModules();
}

}  // namespace com
