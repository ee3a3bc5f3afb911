// Small conversions between the core's UTF-8 texts and Qt's strings.
#pragma once

#include <QString>
#include <string>
#include <string_view>

namespace desktop::ui {

inline QString Q(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

inline std::string S(const QString& text) {
    return text.toStdString();
}

}  // namespace desktop::ui
