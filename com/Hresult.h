// Result codes of the component runtime and their message texts.
//
// An HRESULT is a 32-bit code: negative means failure. `HresultMessage` gives the text a
// failure shows to the user: the runtime's own message for the codes it knows, else
// "IDispatch error #N" for codes a server defines (0x80040201 to 0x8004FFFF, N being the code
// less 0x80040200), else "Unknown error 0x%0lX". `ComError` carries a failing code as an
// exception for clients that end a call on the first failure.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

namespace com {

using HRESULT = int32_t;

constexpr HRESULT MakeHresult(uint32_t code) {
    return static_cast<HRESULT>(code);
}
constexpr bool SUCCEEDED(HRESULT hr) {
    return hr >= 0;
}
constexpr bool FAILED(HRESULT hr) {
    return hr < 0;
}

inline constexpr HRESULT S_OK = 0;
inline constexpr HRESULT S_FALSE = 1;
inline constexpr HRESULT E_UNEXPECTED = MakeHresult(0x8000FFFF);
inline constexpr HRESULT E_NOTIMPL = MakeHresult(0x80004001);
inline constexpr HRESULT E_NOINTERFACE = MakeHresult(0x80004002);
inline constexpr HRESULT E_POINTER = MakeHresult(0x80004003);
inline constexpr HRESULT E_ABORT = MakeHresult(0x80004004);
inline constexpr HRESULT E_FAIL = MakeHresult(0x80004005);
inline constexpr HRESULT E_ACCESSDENIED = MakeHresult(0x80070005);
inline constexpr HRESULT E_OUTOFMEMORY = MakeHresult(0x8007000E);
inline constexpr HRESULT E_INVALIDARG = MakeHresult(0x80070057);
inline constexpr HRESULT DISP_E_MEMBERNOTFOUND = MakeHresult(0x80020003);
inline constexpr HRESULT DISP_E_TYPEMISMATCH = MakeHresult(0x80020005);
inline constexpr HRESULT DISP_E_UNKNOWNNAME = MakeHresult(0x80020006);
inline constexpr HRESULT DISP_E_BADPARAMCOUNT = MakeHresult(0x8002000E);
inline constexpr HRESULT TYPE_E_LIBNOTREGISTERED = MakeHresult(0x8002801D);
inline constexpr HRESULT TYPE_E_CANTLOADLIBRARY = MakeHresult(0x80029C4A);
inline constexpr HRESULT RPC_E_WRONG_THREAD = MakeHresult(0x8001010E);
inline constexpr HRESULT CLASS_E_NOAGGREGATION = MakeHresult(0x80040110);
inline constexpr HRESULT CLASS_E_CLASSNOTAVAILABLE = MakeHresult(0x80040111);
inline constexpr HRESULT REGDB_E_READREGDB = MakeHresult(0x80040150);
inline constexpr HRESULT REGDB_E_WRITEREGDB = MakeHresult(0x80040151);
inline constexpr HRESULT REGDB_E_CLASSNOTREG = MakeHresult(0x80040154);
inline constexpr HRESULT CO_E_NOTINITIALIZED = MakeHresult(0x800401F0);
inline constexpr HRESULT CO_E_ERRORINDLL = MakeHresult(0x800401F9);
// A server module that is not where the registry says, or is not a loadable library.
inline constexpr HRESULT CO_E_MODULENOTFOUND = MakeHresult(0x8007007E);
inline constexpr HRESULT CO_E_BADMODULE = MakeHresult(0x800700C1);

std::string HresultMessage(HRESULT hr);

class ComError : public std::runtime_error {
  public:
    explicit ComError(HRESULT hr) : std::runtime_error(HresultMessage(hr)), m_hr(hr) {}
    HRESULT Code() const { return m_hr; }

  private:
    HRESULT m_hr;
};

// Throws `ComError` when `hr` is a failure; returns it otherwise.
inline HRESULT ThrowIfFailed(HRESULT hr) {
    if (FAILED(hr)) throw ComError(hr);
    return hr;
}

}  // namespace com
