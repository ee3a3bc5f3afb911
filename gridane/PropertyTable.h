// The settings object's properties in one table: name, dispatch id, kind, default and meaning,
// with how a put changes `JobSettings`. The settings object, the command line and the help text
// all read this table, so a property is described in exactly one place.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

#include "gridane/JobSettings.h"

namespace gridane {

enum class PropertyKind {
    Flag,     // a 32-bit integer stored as "is not zero"
    Integer,  // a 32-bit integer stored as given
    Text,     // a text: a box string or a file name
};

struct PropertyInfo {
    std::string_view name;  // as the automation interface spells it
    int dispid;
    PropertyKind kind;
    std::string_view defaultText;
    std::string_view meaning;
    void (*putNumber)(JobSettings&, int32_t);         // Flag and Integer properties
    void (*putText)(JobSettings&, std::string_view);  // Text properties
};

// Every property, in the interface's declaration order.
std::span<const PropertyInfo> GridaneProperties();

// The property of that name (exact spelling), or nullptr.
const PropertyInfo* FindProperty(std::string_view name);

// The longest text a text property or a file name may have (the settings were held in
// buffers of 255 characters).
inline constexpr size_t kMaxTextLength = 254;

}  // namespace gridane
