// Wide strings that cross the component boundary.
//
// A BSTR points at UTF-16 characters that end with a 0 and are preceded by their length in
// bytes (32 bits). `SysAllocString` and `SysAllocStringLen` allocate one, `SysFreeString`
// frees it (nullptr is allowed and means the empty string), `SysStringLen` counts its
// characters. A string that a call returns belongs to the caller, who frees it.
// `Bstr` owns one BSTR and frees it on destruction; `Out()` hands its slot to a call that
// returns a string.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace com {

using BSTR = char16_t*;

// nullptr when memory runs out or `length` is too large to be counted in 32 bits of bytes.
BSTR SysAllocString(const char16_t* text);
BSTR SysAllocStringLen(const char16_t* text, uint32_t length);
void SysFreeString(BSTR text);
uint32_t SysStringLen(BSTR text);

// The characters of a string received as an argument, up to its first 0. Reads only what a
// plain 0-terminated string holds too, so that callers may pass either; nullptr is empty.
std::u16string_view ArgumentText(const char16_t* text);

class Bstr {
  public:
    Bstr() = default;
    explicit Bstr(std::u16string_view text);
    ~Bstr() { SysFreeString(m_text); }
    Bstr(const Bstr&) = delete;
    Bstr& operator=(const Bstr&) = delete;
    Bstr(Bstr&& other) noexcept : m_text(other.Detach()) {}
    Bstr& operator=(Bstr&& other) noexcept;

    static Bstr FromUtf8(std::string_view text);
    // Takes over a string allocated by SysAllocString.
    static Bstr Attach(BSTR text);

    BSTR Get() const { return m_text; }
    // Frees the string held and gives the slot to a call that fills it.
    BSTR* Out();
    BSTR Detach();

    bool IsNull() const { return m_text == nullptr; }
    uint32_t Length() const { return SysStringLen(m_text); }
    std::u16string_view View() const { return {m_text ? m_text : u"", Length()}; }
    std::string ToUtf8() const;

  private:
    BSTR m_text = nullptr;
};

}  // namespace com
