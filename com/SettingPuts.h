// A component's own side of its contract: for every property of its list, how a put changes
// the component's settings record. Expanded from the same X-macro list as the interface, so
// the setting each property fills is named in the list and nowhere else:
//
//   constexpr com::SettingPut<MySettings> kPuts[] = {
//       MY_PROPERTIES(VELMORA_SETTING_PUT_OF(MySettings))};
//
// A flag must fill a bool, an integer an int32_t; a text fills a std::string as given, or any
// other type for which `AssignSettingText(T&, std::string_view)` is found (for example a box
// parsed from its text). A mismatch does not compile.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <type_traits>

#include "com/ComponentContract.h"

namespace com {

template <class Settings>
struct SettingPut {
    std::string_view name;
    PropertyKind kind;
    void (*putNumber)(Settings&, int32_t);         // Flag and Integer properties
    void (*putText)(Settings&, std::string_view);  // Text properties
};

inline void AssignSettingText(std::string& field, std::string_view text) {
    field = std::string(text);
}

template <auto Member, class Settings>
void PutFlagSetting(Settings& settings, int32_t value) {
    static_assert(std::is_same_v<std::remove_reference_t<decltype(settings.*Member)>, bool>);
    settings.*Member = value != 0;
}

template <auto Member, class Settings>
void PutIntegerSetting(Settings& settings, int32_t value) {
    static_assert(std::is_same_v<std::remove_reference_t<decltype(settings.*Member)>, int32_t>);
    settings.*Member = value;
}

template <auto Member, class Settings>
void PutTextSetting(Settings& settings, std::string_view text) {
    AssignSettingText(settings.*Member, text);
}

// Puts `value` into the setting of property `name`; false when there is no such property of
// a number kind.
template <class Settings>
bool PutSetting(std::span<const SettingPut<Settings>> puts, Settings& settings,
                std::string_view name, int32_t value) {
    const SettingPut<Settings>* put = FindNamed(puts, name);
    if (put == nullptr || put->putNumber == nullptr) return false;
    put->putNumber(settings, value);
    return true;
}

// The same for a text property.
template <class Settings>
bool PutSetting(std::span<const SettingPut<Settings>> puts, Settings& settings,
                std::string_view name, std::string_view value) {
    const SettingPut<Settings>* put = FindNamed(puts, name);
    if (put == nullptr || put->putText == nullptr) return false;
    put->putText(settings, value);
    return true;
}

}  // namespace com

#define VELMORA_SETTING_PUTS_Flag(S, setting) &::com::PutFlagSetting<&S::setting, S>, nullptr
#define VELMORA_SETTING_PUTS_Integer(S, setting) &::com::PutIntegerSetting<&S::setting, S>, nullptr
#define VELMORA_SETTING_PUTS_Text(S, setting) nullptr, &::com::PutTextSetting<&S::setting, S>
// One entry of a list as a `SettingPut<S>` initializer; S is the settings record.
#define VELMORA_SETTING_PUT(S, name, kind, setting) \
    ::com::SettingPut<S>{#name, ::com::PropertyKind::kind, VELMORA_SETTING_PUTS_##kind(S, setting)},
