// A number as the library writes it into page dictionaries and content streams.
#pragma once

#include <charconv>
#include <string>

namespace printpdf {

// At most four decimals and no trailing zeros, with a decimal point whatever the process's
// locale says (the desktop program runs in the user's locale, where printf may write a comma).
inline std::string PdfNumber(double value) {
    char text[64];
    auto [end, error] = std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, 4);
    std::string number = error == std::errc() ? std::string(text, end) : std::string("0");
    while (number.find('.') != std::string::npos && number.back() == '0') number.pop_back();
    if (number.back() == '.') number.pop_back();
    return number == "-0" ? "0" : number;
}

}  // namespace printpdf
