#include "gridane/TextFormat.h"

#include <charconv>

#include <cstdarg>
#include <cstdio>

#include "platform/ClassicNumbers.h"

namespace gridane {

std::string FormatText(const char* format, ...) {
    platform::ClassicNumbers decimalPoint;
    va_list args;
    va_start(args, format);
    va_list again;
    va_copy(again, args);
    int length = std::vsnprintf(nullptr, 0, format, args);
    va_end(args);
    std::string text;
    if (length > 0) {
        text.resize(static_cast<size_t>(length) + 1);
        std::vsnprintf(text.data(), text.size(), format, again);
        text.resize(static_cast<size_t>(length));
    }
    va_end(again);
    return text;
}

namespace {

void AppendFixed(std::string& text, double value, int decimals, const char* format) {
    char digits[400];
    auto [end, error] =
        std::to_chars(digits, digits + sizeof digits, value, std::chars_format::fixed, decimals);
    if (error == std::errc()) {
        text.append(digits, end);
    } else {
        text += FormatText(format, value);
    }
}

}  // namespace

void AppendNumbers(std::string& text, std::initializer_list<double> values) {
    for (double value : values) {
        AppendTwoDecimals(text, value);
        text += ' ';
    }
}

void AppendTwoDecimals(std::string& text, double value) {
    AppendFixed(text, value, 2, "%.2f");
}

void AppendSixDecimals(std::string& text, double value) {
    AppendFixed(text, value, 6, "%f");
}

}  // namespace gridane
