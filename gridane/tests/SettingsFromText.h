// Test helper: settings from a line like "up4 ab4 e=10 ab=0 cropbox=0,0,612,792", each word
// a property put through the property table (a bare name puts 1).
#pragma once

#include <sstream>
#include <stdexcept>
#include <string>

#include "gridane/PropertyTable.h"

namespace gridane::test {

// Calls put(settingPut, numberValue, textValue) for every word of `text`.
template <typename Put>
void ForEachSettingWord(const std::string& text, Put put) {
    std::istringstream words(text);
    std::string word;
    while (words >> word) {
        size_t equals = word.find('=');
        std::string name = word.substr(0, equals);
        std::string value = equals == std::string::npos ? "1" : word.substr(equals + 1);
        const SettingPut* property = com::FindNamed(GridaneSettingPuts(), name);
        if (property == nullptr) throw std::invalid_argument("no property " + name);
        bool isText = property->kind == com::PropertyKind::Text;
        put(*property, isText ? 0 : std::stoi(value), value);
    }
}

inline JobSettings SettingsFromText(const std::string& text) {
    JobSettings settings;
    ForEachSettingWord(text, [&](const SettingPut& p, int32_t number, const std::string& value) {
        if (p.kind == com::PropertyKind::Text) {
            p.putText(settings, value);
        } else {
            p.putNumber(settings, number);
        }
    });
    return settings;
}

}  // namespace gridane::test
