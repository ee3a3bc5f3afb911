// Body measures of an object's raw text, used to find objects of a second document that are
// identical to objects already written: the body is the text after the object header, and
// both measures leave out the generation and keyword of every reference ("0 R"), so that
// objects that differ only in those still compare equal. Pure functions.
#pragma once

#include <cstdint>
#include <string_view>

namespace gridane {

struct BodyMeasure {
    uint32_t size = 0;      // bytes other than blanks, carriage returns and line feeds
    uint32_t checksum = 0;  // CRC-32 of the bytes, read backwards, all bits set at the start

    bool operator==(const BodyMeasure&) const = default;
};

// The text after "n g obj" and the one byte after "obj"; the whole text without a header.
std::string_view ObjectBody(std::string_view raw);

BodyMeasure MeasureBody(std::string_view body);

}  // namespace gridane
