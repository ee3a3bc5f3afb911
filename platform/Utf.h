// UTF-8 <-> UTF-16 conversion for the component and library boundaries, where texts are
// wide strings. File names on Linux are bytes, not always valid UTF-8, so the conversion is
// lossless for any byte string: each byte that is not part of a valid UTF-8 sequence becomes a
// lone low surrogate U+DC80..U+DCFF (byte 0x80..0xFF), and such a surrogate becomes that byte
// again on the way back. Utf16ToUtf8(Utf8ToUtf16(bytes)) == bytes for every `bytes`.
// Other unpaired surrogates in a wide string become U+FFFD.
#pragma once

#include <string>
#include <string_view>

namespace platform {

std::u16string Utf8ToUtf16(std::string_view text);
std::string Utf16ToUtf8(std::u16string_view text);

}  // namespace platform
