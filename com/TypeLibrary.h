// The description of a server's type library: the library, its interfaces with their members
// (DISPIDs, names, help strings, parameters, in declaration order) and its classes.
//
// A server embeds the description as text and hands it out through its exported
// `DllGetTypeLibText`; `ReadTypeLibraryText` turns the text into a `TypeLibrary` and
// `WriteTypeLibraryText` writes one back. The text has one declaration a line ('#' starts a
// comment), strings in double quotes (\" and \\ inside):
//
//   library NAME {LIBID} MAJOR.MINOR "help"
//   interface NAME {IID} PARENT "help" [dual] [oleautomation]
//   method DISPID NAME "help" [in|retval TYPE NAME[,]]...
//   propput DISPID NAME "help" in TYPE NAME
//   coclass NAME {CLSID} "help" DEFAULT-INTERFACE
//
// TYPE is `long` (32-bit integer) or `BSTR`. Members belong to the interface above them.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "com/Dispatch.h"
#include "com/Guid.h"

namespace com {

enum class ParamType { Long, Bstr };

struct ParamDescription {
    std::string name;
    ParamType type = ParamType::Long;
    bool isRetval = false;  // the method's result, not passed as an argument
};

enum class MemberKind { Method, PropertyPut };

struct MemberDescription {
    DISPID dispId = 0;
    std::string name;
    MemberKind kind = MemberKind::Method;
    std::string helpString;
    std::vector<ParamDescription> params;

    size_t ArgumentCount() const;
    bool HasResult() const { return !params.empty() && params.back().isRetval; }
};

struct InterfaceDescription {
    std::string name;
    IID iid;
    std::string parent;
    std::string helpString;
    bool dual = false;
    bool oleAutomation = false;
    std::vector<MemberDescription> members;

    const MemberDescription* FindMember(DISPID dispId) const;
    // Names are matched without regard to case.
    const MemberDescription* FindMember(std::string_view name) const;
};

struct ClassDescription {
    std::string name;
    CLSID clsid;
    std::string helpString;
    std::string defaultInterface;
};

struct TypeLibrary {
    std::string name;
    Guid libId;
    uint16_t majorVersion = 1;
    uint16_t minorVersion = 0;
    std::string helpString;
    std::vector<InterfaceDescription> interfaces;
    std::vector<ClassDescription> classes;

    const InterfaceDescription* FindInterface(const IID& iid) const;
    const InterfaceDescription* FindInterface(std::string_view name) const;
    const ClassDescription* FindClass(std::string_view name) const;
    // "MAJOR.MINOR", as the registry keys name the version.
    std::string VersionText() const;
};

// nullopt with `error` set ("line N: ...") when the text is malformed or inconsistent
// (duplicate DISPIDs or names in an interface, a property put without exactly one argument,
// a result that is not the last parameter, a class naming an interface not described).
std::optional<TypeLibrary> ReadTypeLibraryText(std::string_view text, std::string* error);
std::string WriteTypeLibraryText(const TypeLibrary& library);

}  // namespace com
