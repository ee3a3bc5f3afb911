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
// component's own code uses it). Its job method is a list of one entry,
//
//   X(name, dispid, helpString, result, param...)
//
// with one to three string parameters and a string result. The macros below expand both.
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

// The first entry of a contract-made table whose `name` is `name`, or nullptr.
template <class Entry>
const Entry* FindNamed(std::span<const Entry> entries, std::string_view name) {
    for (const Entry& entry : entries) {
        if (entry.name == name) return &entry;
    }
    return nullptr;
}

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
    std::string_view helpString;  // empty for "method <name>"
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

// `help`, or `fallback` when it is empty: the help strings a list leaves out.
constexpr std::string_view HelpOr(std::string_view help, std::string_view fallback) {
    return help.empty() ? fallback : help;
}

constexpr MethodContract JobContract(std::string_view name, DISPID dispId, std::string_view help,
                                     std::span<const std::string_view> params,
                                     std::string_view result) {
    return {name, dispId, help, params, result};
}

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
#define VELMORA_PROPERTY_CONTRACT(name, dispid, kind, defaultText, help, setting, meaning) \
    ::com::PropertyContract{#name,                                                         \
                            dispid,                                                        \
                            ::com::PropertyKind::kind,                                     \
                            defaultText,                                                   \
                            ::com::HelpOr(help, "property " #name),                        \
                            meaning},

// An entry as a pure virtual put of the abstract interface.
#define VELMORA_DECLARE_PUT(name, dispid, kind, ...) \
    virtual ::com::HRESULT put_##name(VELMORA_PROPERTY_ARG(kind) newVal) = 0;

// An entry as a put of a DispatchObject, going through the handler of its DISPID.
#define VELMORA_FORWARD_PUT(name, dispid, kind, ...)                        \
    ::com::HRESULT put_##name(VELMORA_PROPERTY_ARG(kind) newVal) override { \
        return Put(dispid, newVal);                                         \
    }

// The job method's string parameters, one to three, as a parameter list and as names.
#define VELMORA_CAT_(a, b) a##b
#define VELMORA_CAT(a, b) VELMORA_CAT_(a, b)
#define VELMORA_ARITY_(_1, _2, _3, count, ...) count
#define VELMORA_ARITY(...) VELMORA_ARITY_(__VA_ARGS__, 3, 2, 1, 0)
#define VELMORA_BSTR_PARAMS_1(a) ::com::BSTR a
#define VELMORA_BSTR_PARAMS_2(a, b) ::com::BSTR a, ::com::BSTR b
#define VELMORA_BSTR_PARAMS_3(a, b, c) ::com::BSTR a, ::com::BSTR b, ::com::BSTR c
#define VELMORA_BSTR_PARAMS(...) \
    VELMORA_CAT(VELMORA_BSTR_PARAMS_, VELMORA_ARITY(__VA_ARGS__))(__VA_ARGS__)
#define VELMORA_PARAM_NAMES_1(a) #a
#define VELMORA_PARAM_NAMES_2(a, b) #a, #b
#define VELMORA_PARAM_NAMES_3(a, b, c) #a, #b, #c

// The job method's DISPID.
#define VELMORA_JOB_DISPID(name, dispid, ...) dispid
// Its parameter names, for the array a `MethodContract` points at.
#define VELMORA_JOB_PARAM_NAMES(name, dispid, help, result, ...) \
    VELMORA_CAT(VELMORA_PARAM_NAMES_, VELMORA_ARITY(__VA_ARGS__))(__VA_ARGS__)
// Its `MethodContract`; the parameter names are those of an array `kJobParams` in scope,
// made with VELMORA_JOB_PARAM_NAMES. An empty `help` stands for "method <name>".
#define VELMORA_JOB_CONTRACT(name, dispid, help, result, ...) \
    ::com::JobContract(#name, dispid, help, kJobParams, #result)

// Its pure virtual declaration in the abstract interface.
#define VELMORA_DECLARE_JOB(name, dispid, help, result, ...) \
    virtual ::com::HRESULT name(VELMORA_BSTR_PARAMS(__VA_ARGS__), ::com::BSTR* result) = 0;
// Its implementation in a DispatchObject, going through the handler of its DISPID.
#define VELMORA_FORWARD_JOB(name, dispid, help, result, ...)                              \
    ::com::HRESULT name(VELMORA_BSTR_PARAMS(__VA_ARGS__), ::com::BSTR* result) override { \
        return CallForText(dispid, {__VA_ARGS__}, result);                                \
    }
