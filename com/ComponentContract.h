// The contract of a component with one dual interface, one job method and put-only
// properties, written once as lists beside the component and read by everything that needs
// it: the abstract interface and the object's vtable, the dispatch table and the type library
// (both from `TypeLibraryOf`), a command's options and its help text, and the component's own
// setting puts.
//
// A component writes its properties as an X-macro list whose entries have the form
//
//   X(name, dispid, kind, defaultText, helpString, setting, meaning)
//
// `kind` is Flag, Integer or Text; an empty `helpString` stands for "property <name>";
// `setting` is the member of the component's settings record the property fills (only the
// component's own code uses it). The macros below expand such entries.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

#include "com/Dispatch.h"
#include "com/EmbeddedTypeLibrary.h"
#include "com/Guid.h"
#include "com/ServerRegistration.h"
#include "com/TypeLibrary.h"

namespace com {

enum class PropertyKind {
    Flag,     // a 32-bit integer kept as "is not zero"
    Integer,  // a 32-bit integer kept as given
    Text,     // a wide string
};

struct PropertyContract {
    std::string_view name;
    DISPID dispId;
    PropertyKind kind;
    std::string_view defaultText;  // as the help text shows it; empty for an empty text
    std::string_view helpString;   // the type library's
    std::string_view meaning;      // one line for a command's help
};

// The job method: string arguments in call order and a string result.
struct MethodContract {
    std::string_view name;
    DISPID dispId;
    std::string_view helpString;
    std::span<const std::string_view> textParams;
    std::string_view resultName;
};

struct ComponentContract {
    std::string_view libraryName;
    Guid libId;
    std::string_view libraryHelp;
    std::string_view interfaceName;
    IID iid;
    std::string_view interfaceHelp;
    std::string_view className;
    CLSID clsid;
    std::string_view classHelp;
    const char* moduleName;  // the server module, "libname.so"
    ServerIdentity identity;
    MethodContract job;
    std::span<const PropertyContract> properties;

    // The property of that name (exact spelling), or nullptr.
    const PropertyContract* FindProperty(std::string_view name) const;
};

// The type library the contract describes: the library (version 1.0), the interface with the
// job method first and the properties in list order, and the class.
TypeLibrary TypeLibraryOf(const ComponentContract& contract);

}  // namespace com

// The argument type of a property put of each kind.
#define VELMORA_PROPERTY_ARG_Flag int32_t
#define VELMORA_PROPERTY_ARG_Integer int32_t
#define VELMORA_PROPERTY_ARG_Text ::com::BSTR
#define VELMORA_PROPERTY_ARG(kind) VELMORA_PROPERTY_ARG_##kind

// An entry of the list as a `PropertyContract` initializer.
#define VELMORA_PROPERTY_CONTRACT(name, dispid, kind, defaultText, help, setting, meaning)       \
    ::com::PropertyContract{#name,                                                               \
                            dispid,                                                              \
                            ::com::PropertyKind::kind,                                           \
                            defaultText,                                                         \
                            std::string_view(help).empty() ? std::string_view("property " #name) \
                                                           : std::string_view(help),             \
                            meaning},

// An entry as a pure virtual put of the abstract interface.
#define VELMORA_DECLARE_PUT(name, dispid, kind, ...) \
    virtual ::com::HRESULT put_##name(VELMORA_PROPERTY_ARG(kind) newVal) = 0;

// An entry as a put of a DispatchObject, going through the handler of its DISPID.
#define VELMORA_FORWARD_PUT(name, dispid, kind, ...)                        \
    ::com::HRESULT put_##name(VELMORA_PROPERTY_ARG(kind) newVal) override { \
        return Put(dispid, newVal);                                         \
    }
