// A 128-bit globally unique identifier: the identity of a class (CLSID), an interface (IID) or
// a type library (LIBID). A plain value; `ParseGuid` reads and `ToString` writes the braced
// form "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}" (hex digits of either case are read, upper
// case is written). `GuidLiteral` parses at compile time, so identities can stand in code as
// they are written in the identity tables.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace com {

struct Guid {
    uint32_t data1 = 0;
    uint16_t data2 = 0;
    uint16_t data3 = 0;
    std::array<uint8_t, 8> data4{};

    friend constexpr bool operator==(const Guid&, const Guid&) = default;
    friend constexpr auto operator<=>(const Guid&, const Guid&) = default;
};

using CLSID = Guid;
using IID = Guid;

namespace detail {

constexpr int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// Reads `digits` hex digits at `text[pos]`; -1 when one is not a hex digit.
constexpr int64_t HexField(std::string_view text, size_t pos, size_t digits) {
    int64_t value = 0;
    for (size_t i = 0; i < digits; ++i) {
        int digit = HexValue(text[pos + i]);
        if (digit < 0) return -1;
        value = value * 16 + digit;
    }
    return value;
}

}  // namespace detail

// Parses the braced form; nullopt for anything else (missing braces, wrong length, misplaced
// dashes, non-hex digits).
constexpr std::optional<Guid> ParseGuid(std::string_view text) {
    if (text.size() != 38 || text.front() != '{' || text.back() != '}') return std::nullopt;
    if (text[9] != '-' || text[14] != '-' || text[19] != '-' || text[24] != '-') {
        return std::nullopt;
    }
    int64_t d1 = detail::HexField(text, 1, 8);
    int64_t d2 = detail::HexField(text, 10, 4);
    int64_t d3 = detail::HexField(text, 15, 4);
    if (d1 < 0 || d2 < 0 || d3 < 0) return std::nullopt;
    Guid guid{uint32_t(d1), uint16_t(d2), uint16_t(d3), {}};
    constexpr size_t kByteStarts[8] = {20, 22, 25, 27, 29, 31, 33, 35};
    for (size_t i = 0; i < 8; ++i) {
        int64_t byte = detail::HexField(text, kByteStarts[i], 2);
        if (byte < 0) return std::nullopt;
        guid.data4[i] = uint8_t(byte);
    }
    return guid;
}

// For identities written in code: a malformed text does not compile.
consteval Guid GuidLiteral(std::string_view text) {
    std::optional<Guid> guid = ParseGuid(text);
    if (!guid) throw "malformed GUID literal";
    return *guid;
}

std::string ToString(const Guid& guid);

}  // namespace com
