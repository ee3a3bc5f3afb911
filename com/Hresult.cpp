#include "com/Hresult.h"

#include <cstdio>

namespace com {
namespace {

struct KnownCode {
    HRESULT code;
    const char* message;
};

constexpr KnownCode kKnownCodes[] = {
    {S_OK, "The operation completed successfully."},
    {E_UNEXPECTED, "Catastrophic failure"},
    {E_NOTIMPL, "Not implemented"},
    {E_NOINTERFACE, "No such interface supported"},
    {E_POINTER, "Invalid pointer"},
    {E_ABORT, "Operation aborted"},
    {E_FAIL, "Unspecified error"},
    {E_ACCESSDENIED, "General access denied error"},
    {E_OUTOFMEMORY, "Not enough memory resources are available to complete this operation."},
    {E_INVALIDARG, "The parameter is incorrect."},
    {DISP_E_MEMBERNOTFOUND, "Member not found."},
    {DISP_E_TYPEMISMATCH, "Type mismatch."},
    {DISP_E_UNKNOWNNAME, "Unknown name."},
    {DISP_E_BADPARAMCOUNT, "Invalid number of parameters."},
    {TYPE_E_LIBNOTREGISTERED, "Library not registered."},
    {TYPE_E_CANTLOADLIBRARY, "Error loading type library/module."},
    {RPC_E_WRONG_THREAD,
     "The application called an interface that was marshalled for a different thread."},
    {CLASS_E_NOAGGREGATION, "Class does not support aggregation (or class object is remote)"},
    {CLASS_E_CLASSNOTAVAILABLE, "ClassFactory cannot supply requested class"},
    {REGDB_E_READREGDB, "Could not read key from registry"},
    {REGDB_E_WRITEREGDB, "Could not write key to registry"},
    {REGDB_E_CLASSNOTREG, "Class not registered"},
    {CO_E_NOTINITIALIZED, "CoInitialize has not been called."},
    {CO_E_ERRORINDLL, "Error in the server module"},
    {CO_E_MODULENOTFOUND, "The specified module could not be found."},
    {CO_E_BADMODULE, "The specified module is not a valid shared library."},
};

// Codes that servers define for their own failures.
constexpr uint32_t kServerCodesFirst = 0x80040200;
constexpr uint32_t kServerCodesLast = 0x8004FFFF;

}  // namespace

std::string HresultMessage(HRESULT hr) {
    for (const KnownCode& known : kKnownCodes) {
        if (known.code == hr) return known.message;
    }
    uint32_t code = static_cast<uint32_t>(hr);
    char text[40];
    if (code > kServerCodesFirst && code <= kServerCodesLast) {
        std::snprintf(text, sizeof text, "IDispatch error #%d", int(code - kServerCodesFirst));
    } else {
        std::snprintf(text, sizeof text, "Unknown error 0x%0lX", static_cast<unsigned long>(code));
    }
    return text;
}

}  // namespace com
