// The interface of the counter test server: a dual object that adds up the steps put into it
// and describes its total. Shared by the test server module and the tests that drive it.
#pragma once

#include "com/Dispatch.h"
#include "com/EmbeddedTypeLibrary.h"
#include "com/ServerRegistration.h"

namespace counter_test {

inline constexpr com::CLSID CLSID_Counter =
    com::GuidLiteral("{5C3F30FE-CFE0-4697-9F1C-B87713FEA7F6}");
inline constexpr com::Guid LIBID_CounterLib =
    com::GuidLiteral("{B3506EDF-BF08-4AD3-A11E-5B4931F0CA46}");
inline constexpr char kModuleName[] = "libcomtestcounter.so";

inline constexpr com::ServerIdentity kIdentity{"Counter", "ComTest.Counter.1", "ComTest.Counter",
                                               "Apartment", true};

class ICounter : public com::IDispatch {
  public:
    static constexpr com::IID kIid = com::GuidLiteral("{6F2156AD-388E-485F-AE4B-207EA9F305FD}");

    // "<prefix><label>=<total>"
    virtual com::HRESULT describe(com::BSTR prefix, com::BSTR* pVal) = 0;
    virtual com::HRESULT put_step(int32_t newVal) = 0;
    virtual com::HRESULT put_label(com::BSTR newVal) = 0;
    // Its handler throws; the text says so.
    virtual com::HRESULT explode(com::BSTR* pVal) = 0;

  protected:
    ~ICounter() = default;
};

inline const com::EmbeddedTypeLibrary& CounterTypeLibrary() {
    static const com::EmbeddedTypeLibrary library(R"(
library CounterLib {B3506EDF-BF08-4AD3-A11E-5B4931F0CA46} 2.1 "Counter test library"
interface ICounter {6F2156AD-388E-485F-AE4B-207EA9F305FD} IDispatch "ICounter Interface" dual
method 1 describe "method describe" in BSTR prefix, retval BSTR pVal
propput 2 step "property step" in long newVal
propput 3 label "property label" in BSTR newVal
method 4 explode "method explode" retval BSTR pVal
coclass Counter {5C3F30FE-CFE0-4697-9F1C-B87713FEA7F6} "Counter Class" ICounter
)");
    return library;
}

}  // namespace counter_test
