// UTF-8 <-> UTF-16 conversion for the component and library boundaries, where texts are
// wide strings. Malformed input never fails: each bad sequence becomes U+FFFD.
#pragma once

#include <string>
#include <string_view>

namespace platform {

std::u16string Utf8ToUtf16(std::string_view text);
std::string Utf16ToUtf8(std::u16string_view text);

}  // namespace platform
