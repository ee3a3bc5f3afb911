#include "com/TurnelleInterface.h"

namespace com {
namespace {

constexpr char kTurnelleTypeLibraryText[] = R"(# The rotation server's type library
library TurnelleLib {71168875-A0CE-459F-A821-A03272C9F6BA} 1.0 "Turnelle 1.0 Type Library"
interface ITurnelleCom {113E0243-C598-45F4-BD3F-B0E53601E459} IDispatch "ITurnelleCom Interface" dual oleautomation
method 5 getTurnelleFile "method getTurnelleFile" in BSTR m_intputFile, in BSTR m_outputFile, in BSTR m_params, retval BSTR pVal
propput 6 type "property m_ret" in long newVal
propput 7 rotateAngle "property m_Rotate" in long newVal
propput 8 rotatePages "property m_strRotatePagesList" in BSTR newVal
propput 9 force "property force" in long newVal
coclass TurnelleCom {11D24184-7D5E-43B1-8A0C-2146D223C1FF} "TurnelleCom Class" ITurnelleCom
)";

}  // namespace

const EmbeddedTypeLibrary& TurnelleTypeLibrary() {
    static const EmbeddedTypeLibrary library(kTurnelleTypeLibraryText);
    return library;
}

}  // namespace com
