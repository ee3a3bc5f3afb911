#include "com/GridaneInterface.h"

namespace com {
namespace {

constexpr char kGridaneTypeLibraryText[] = R"(# The imposition server's type library
library GridaneLib {88168888-A0CE-459F-A821-A03272C9F6CC} 1.0 "Gridane 1.0 Type Library"
interface IGridaneCom {FF3E0222-C598-45F4-BD3F-B0E53601E459} IDispatch "IGridaneCom Interface" dual oleautomation
method 5 getGridaneFile "method getGridaneFile" in BSTR m_intputFile, in BSTR m_outputFile, retval BSTR pVal
propput 6 duplicate "property duplicate" in long newVal
propput 7 down "property down" in long newVal
propput 8 up4 "property up4" in long newVal
propput 9 ab "property ab" in long newVal
propput 10 ab4 "property ab4" in long newVal
propput 11 e "property e" in long newVal
propput 12 s "property s" in long newVal
propput 30 split "property split" in long newVal
propput 31 rightmargin "property rightmargin" in long newVal
propput 35 cropbox "property cropbox" in BSTR newVal
propput 36 mediabox "property mediabox" in BSTR newVal
propput 37 bottommargin "property bottommargin" in long newVal
propput 38 seq "property seq" in BSTR newVal
propput 39 duplex "property duplex" in long newVal
propput 40 duplex1423 "property duplex1423" in long newVal
propput 41 duplex4123 "property duplex4123" in long newVal
propput 42 up3x2 "property up3x2" in long newVal
propput 43 up2x3 "property up2x3" in long newVal
propput 44 ab6 "property ab6" in long newVal
propput 45 outer_in "property outer_in" in long newVal
propput 46 up2to1 "property up2to1" in long newVal
propput 47 offset_split "property offset_split" in long newVal
propput 48 up2to1h "property up2to1h" in long newVal
propput 49 rotateLeft "property rotateLeft" in long newVal
propput 50 rotateRight "property rotateRight" in long newVal
propput 51 ab8 "property ab8" in long newVal
propput 52 ab10 "property ab10" in long newVal
propput 53 ab12 "property ab12" in long newVal
propput 54 up4x2 "property up4x2" in long newVal
propput 55 up2x4 "property up2x4" in long newVal
propput 56 up5x2 "property up5x2" in long newVal
propput 57 up2x5 "property up2x5" in long newVal
propput 58 up6x2 "property up6x2" in long newVal
propput 59 up2x6 "property up2x6" in long newVal
propput 60 up4x3 "property up4x3" in long newVal
propput 61 up3x4 "property up3x4" in long newVal
propput 62 up3 "property up3" in long newVal
propput 63 up3down "property up3down" in long newVal
propput 64 ab3 "property ab3" in long newVal
propput 65 duplex1342 "property duplex1342" in long newVal
propput 66 cropbox2 "property cropbox2" in BSTR newVal
propput 67 mediabox2 "property mediabox2" in BSTR newVal
coclass GridaneCom {99D24111-7D5E-43B1-8A0C-2146D223C1FF} "GridaneCom Class" IGridaneCom
)";

}  // namespace

const EmbeddedTypeLibrary& GridaneTypeLibrary() {
    static const EmbeddedTypeLibrary library(kGridaneTypeLibraryText);
    return library;
}

}  // namespace com
