#include "gridane/merge/BodyMeasure.h"

#include <zlib.h>

#include <string>

#include "pdf/CPdfRawEdit.h"

namespace gridane {

std::string_view ObjectBody(std::string_view raw) {
    auto header = ReadObjectHeader(raw);
    if (!header) return raw;
    size_t start = std::min(raw.size(), header->end + 1);
    return raw.substr(start);
}

BodyMeasure MeasureBody(std::string_view body) {
    // The measured bytes in backward order, with every "x R" (a blank before the R) and the
    // byte before the blank left out.
    std::string kept;
    kept.reserve(body.size());
    BodyMeasure measure;
    size_t i = body.size();
    while (i > 0) {
        char c = body[i - 1];
        if (c == 'R' && i >= 2 && body[i - 2] == ' ') {
            i = i >= 3 ? i - 3 : 0;
            continue;
        }
        kept += c;
        if (c != ' ' && c != '\r' && c != '\n') ++measure.size;
        --i;
    }
    // zlib's crc32 starts from all bits set and inverts at the end; undo the final inversion.
    uLong crc =
        crc32(0L, reinterpret_cast<const Bytef*>(kept.data()), static_cast<uInt>(kept.size()));
    measure.checksum = static_cast<uint32_t>(~crc);
    return measure;
}

}  // namespace gridane
