#include "com/Bstr.h"

#include <cstdlib>
#include <cstring>
#include <new>
#include <utility>

#include "platform/Utf.h"

namespace com {
namespace {

using LengthPrefix = uint32_t;

LengthPrefix* PrefixOf(BSTR text) {
    return reinterpret_cast<LengthPrefix*>(text) - 1;
}

}  // namespace

BSTR SysAllocStringLen(const char16_t* text, uint32_t length) {
    // The prefix counts bytes in 32 bits; the allocation adds the prefix and the final 0.
    constexpr uint64_t kMaxLength = (UINT32_MAX - sizeof(LengthPrefix) - 2) / 2;
    if (length > kMaxLength) return nullptr;
    size_t bytes = sizeof(LengthPrefix) + (size_t(length) + 1) * sizeof(char16_t);
    auto* block = static_cast<LengthPrefix*>(std::malloc(bytes));
    if (block == nullptr) return nullptr;
    *block = length * uint32_t(sizeof(char16_t));
    BSTR result = reinterpret_cast<BSTR>(block + 1);
    if (text != nullptr) {
        std::memcpy(result, text, length * sizeof(char16_t));
    } else {
        std::memset(result, 0, length * sizeof(char16_t));
    }
    result[length] = 0;
    return result;
}

BSTR SysAllocString(const char16_t* text) {
    if (text == nullptr) return nullptr;
    return SysAllocStringLen(text, uint32_t(std::char_traits<char16_t>::length(text)));
}

void SysFreeString(BSTR text) {
    if (text != nullptr) std::free(PrefixOf(text));
}

uint32_t SysStringLen(BSTR text) {
    return text == nullptr ? 0 : *PrefixOf(text) / uint32_t(sizeof(char16_t));
}

std::u16string_view ArgumentText(const char16_t* text) {
    return text == nullptr ? std::u16string_view() : std::u16string_view(text);
}

Bstr::Bstr(std::u16string_view text) {
    if (text.size() > UINT32_MAX) throw std::bad_alloc();
    m_text = SysAllocStringLen(text.data(), uint32_t(text.size()));
    if (m_text == nullptr) throw std::bad_alloc();
}

Bstr& Bstr::operator=(Bstr&& other) noexcept {
    if (this != &other) {
        SysFreeString(m_text);
        m_text = other.Detach();
    }
    return *this;
}

Bstr Bstr::FromUtf8(std::string_view text) {
    return Bstr(platform::Utf8ToUtf16(text));
}

Bstr Bstr::Attach(BSTR text) {
    Bstr result;
    result.m_text = text;
    return result;
}

BSTR* Bstr::Out() {
    SysFreeString(std::exchange(m_text, nullptr));
    return &m_text;
}

BSTR Bstr::Detach() {
    return std::exchange(m_text, nullptr);
}

std::string Bstr::ToUtf8() const {
    return platform::Utf16ToUtf8(View());
}

}  // namespace com
