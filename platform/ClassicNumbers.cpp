#include "platform/ClassicNumbers.h"

namespace platform {

namespace {

locale_t ClassicLocale() {
    // Made once and kept for the life of the process.
    static const locale_t classic = ::newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(0));
    return classic;
}

}  // namespace

ClassicNumbers::ClassicNumbers() : m_previous(::uselocale(ClassicLocale())) {}

ClassicNumbers::~ClassicNumbers() {
    ::uselocale(m_previous);
}

}  // namespace platform
