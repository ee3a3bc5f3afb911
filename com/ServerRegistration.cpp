#include "com/ServerRegistration.h"

#include <filesystem>

#include "com/RegistryFiles.h"
#include "com/ServerExports.h"
#include "platform/SharedLibrary.h"

namespace com {
namespace {

// The registry names each type library's module per platform; ours is this one.
constexpr char kPlatformKey[] = "linux";

std::string InterfaceKey(const IID& iid) {
    return "Interface\\" + ToString(iid);
}

}  // namespace

std::string ClassKey(const CLSID& clsid) {
    return "CLSID\\" + ToString(clsid);
}

std::string TypeLibraryKey(const TypeLibrary& library) {
    return "TypeLib\\" + ToString(library.libId) + "\\" + library.VersionText();
}

std::string TypeLibraryModuleKey(const TypeLibrary& library) {
    return TypeLibraryKey(library) + "\\0\\" + kPlatformKey;
}

HRESULT WriteServerKeys(Registry& registry, const ServerIdentity& identity,
                        const TypeLibrary& library, const std::string& modulePath) {
    const ClassDescription* description = library.FindClass(identity.className);
    if (description == nullptr) return E_INVALIDARG;
    const std::string clsid = ToString(description->clsid);
    const std::string classKey = ClassKey(description->clsid);
    const std::string& classHelp = description->helpString;
    const std::string libId = ToString(library.libId);
    const std::string progId = identity.progId;
    const std::string independentProgId = identity.versionIndependentProgId;
    const std::string libraryKey = TypeLibraryKey(library);

    bool stored =
        registry.SetValue(progId, "", classHelp) &&
        registry.SetValue(progId + "\\CLSID", "", clsid) &&
        registry.SetValue(independentProgId, "", classHelp) &&
        registry.SetValue(independentProgId + "\\CLSID", "", clsid) &&
        registry.SetValue(independentProgId + "\\CurVer", "", progId) &&
        registry.SetValue(classKey, "", classHelp) &&
        registry.SetValue(classKey + "\\ProgID", "", progId) &&
        registry.SetValue(classKey + "\\VersionIndependentProgID", "", independentProgId) &&
        registry.SetValue(classKey + "\\InprocServer32", "", modulePath) &&
        registry.SetValue(classKey + "\\InprocServer32", "ThreadingModel",
                          identity.threadingModel) &&
        registry.SetValue(classKey + "\\TypeLib", "", libId) &&
        (!identity.programmable || registry.CreateKey(classKey + "\\Programmable")) &&
        registry.SetValue(libraryKey, "", library.helpString) &&
        registry.SetValue(TypeLibraryModuleKey(library), "", modulePath) &&
        registry.SetValue(libraryKey + "\\FLAGS", "", "0") &&
        registry.SetValue(libraryKey + "\\HELPDIR", "",
                          std::filesystem::path(modulePath).parent_path().string());
    for (const InterfaceDescription& interface : library.interfaces) {
        std::string key = InterfaceKey(interface.iid);
        stored = stored && registry.SetValue(key, "", interface.name) &&
                 registry.SetValue(key + "\\TypeLib", "", libId) &&
                 registry.SetValue(key + "\\TypeLib", "Version", library.VersionText());
    }
    return stored ? S_OK : E_INVALIDARG;
}

HRESULT RemoveServerKeys(Registry& registry, const ServerIdentity& identity,
                         const TypeLibrary& library) {
    const ClassDescription* description = library.FindClass(identity.className);
    if (description == nullptr) return E_INVALIDARG;
    bool removed = registry.DeleteTree(identity.progId);
    removed |= registry.DeleteTree(identity.versionIndependentProgId);
    removed |= registry.DeleteTree(ClassKey(description->clsid));
    removed |= registry.DeleteTree(TypeLibraryKey(library));
    // The library's own key goes with its last registered version.
    std::string allVersions = "TypeLib\\" + ToString(library.libId);
    if (!registry.HasSubkeys(allVersions)) registry.DeleteTree(allVersions);
    for (const InterfaceDescription& interface : library.interfaces) {
        removed |= registry.DeleteTree(InterfaceKey(interface.iid));
    }
    return removed ? S_OK : S_FALSE;
}

HRESULT LoadTypeLibraryFromModule(const std::string& modulePath, TypeLibrary* library) {
    if (library == nullptr) return E_POINTER;
    platform::SharedLibrary module;
    if (!module.Open(modulePath)) return TYPE_E_CANTLOADLIBRARY;
    auto* text = module.Get<DllGetTypeLibTextFunction>(kDllGetTypeLibText);
    if (text == nullptr) return TYPE_E_CANTLOADLIBRARY;
    std::optional<TypeLibrary> parsed = ReadTypeLibraryText(text(), nullptr);
    if (!parsed) return TYPE_E_CANTLOADLIBRARY;
    *library = std::move(*parsed);
    return S_OK;
}

HRESULT LoadRegTypeLib(const Guid& libId, uint16_t major, uint16_t minor, TypeLibrary* library) {
    TypeLibrary wanted;
    wanted.libId = libId;
    wanted.majorVersion = major;
    wanted.minorVersion = minor;
    std::string modulePath;
    HRESULT hr = ReadRegistryValue(TypeLibraryModuleKey(wanted), "", &modulePath);
    if (FAILED(hr)) return hr;
    if (hr == S_FALSE) return TYPE_E_LIBNOTREGISTERED;
    return LoadTypeLibraryFromModule(modulePath, library);
}

}  // namespace com
