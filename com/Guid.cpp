#include "com/Guid.h"

#include <cstdio>

namespace com {

std::string ToString(const Guid& guid) {
    char text[39];
    std::snprintf(text, sizeof text, "{%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}",
                  unsigned(guid.data1), unsigned(guid.data2), unsigned(guid.data3), guid.data4[0],
                  guid.data4[1], guid.data4[2], guid.data4[3], guid.data4[4], guid.data4[5],
                  guid.data4[6], guid.data4[7]);
    return text;
}

}  // namespace com
