// The imposition server's interface as its clients see it: the class, interface and type
// library identities, and IGridaneCom, a dual interface whose members stand in the type
// library's declaration order. Every property is put-only; getGridaneFile returns a status
// text (empty on success) that the caller frees with SysFreeString.
#pragma once

#include "com/Dispatch.h"
#include "com/EmbeddedTypeLibrary.h"

namespace com {

inline constexpr CLSID CLSID_GridaneCom = GuidLiteral("{99D24111-7D5E-43B1-8A0C-2146D223C1FF}");
inline constexpr Guid LIBID_GridaneLib = GuidLiteral("{88168888-A0CE-459F-A821-A03272C9F6CC}");
inline constexpr char kGridaneModuleName[] = "libgridane.so";

class IGridaneCom : public IDispatch {
  public:
    static constexpr IID kIid = GuidLiteral("{FF3E0222-C598-45F4-BD3F-B0E53601E459}");

    virtual HRESULT getGridaneFile(BSTR m_intputFile, BSTR m_outputFile, BSTR* pVal) = 0;
    virtual HRESULT put_duplicate(int32_t newVal) = 0;
    virtual HRESULT put_down(int32_t newVal) = 0;
    virtual HRESULT put_up4(int32_t newVal) = 0;
    virtual HRESULT put_ab(int32_t newVal) = 0;
    virtual HRESULT put_ab4(int32_t newVal) = 0;
    virtual HRESULT put_e(int32_t newVal) = 0;
    virtual HRESULT put_s(int32_t newVal) = 0;
    virtual HRESULT put_split(int32_t newVal) = 0;
    virtual HRESULT put_rightmargin(int32_t newVal) = 0;
    virtual HRESULT put_cropbox(BSTR newVal) = 0;
    virtual HRESULT put_mediabox(BSTR newVal) = 0;
    virtual HRESULT put_bottommargin(int32_t newVal) = 0;
    virtual HRESULT put_seq(BSTR newVal) = 0;
    virtual HRESULT put_duplex(int32_t newVal) = 0;
    virtual HRESULT put_duplex1423(int32_t newVal) = 0;
    virtual HRESULT put_duplex4123(int32_t newVal) = 0;
    virtual HRESULT put_up3x2(int32_t newVal) = 0;
    virtual HRESULT put_up2x3(int32_t newVal) = 0;
    virtual HRESULT put_ab6(int32_t newVal) = 0;
    virtual HRESULT put_outer_in(int32_t newVal) = 0;
    virtual HRESULT put_up2to1(int32_t newVal) = 0;
    virtual HRESULT put_offset_split(int32_t newVal) = 0;
    virtual HRESULT put_up2to1h(int32_t newVal) = 0;
    virtual HRESULT put_rotateLeft(int32_t newVal) = 0;
    virtual HRESULT put_rotateRight(int32_t newVal) = 0;
    virtual HRESULT put_ab8(int32_t newVal) = 0;
    virtual HRESULT put_ab10(int32_t newVal) = 0;
    virtual HRESULT put_ab12(int32_t newVal) = 0;
    virtual HRESULT put_up4x2(int32_t newVal) = 0;
    virtual HRESULT put_up2x4(int32_t newVal) = 0;
    virtual HRESULT put_up5x2(int32_t newVal) = 0;
    virtual HRESULT put_up2x5(int32_t newVal) = 0;
    virtual HRESULT put_up6x2(int32_t newVal) = 0;
    virtual HRESULT put_up2x6(int32_t newVal) = 0;
    virtual HRESULT put_up4x3(int32_t newVal) = 0;
    virtual HRESULT put_up3x4(int32_t newVal) = 0;
    virtual HRESULT put_up3(int32_t newVal) = 0;
    virtual HRESULT put_up3down(int32_t newVal) = 0;
    virtual HRESULT put_ab3(int32_t newVal) = 0;
    virtual HRESULT put_duplex1342(int32_t newVal) = 0;
    virtual HRESULT put_cropbox2(BSTR newVal) = 0;
    virtual HRESULT put_mediabox2(BSTR newVal) = 0;

  protected:
    ~IGridaneCom() = default;
};

inline constexpr IID IID_IGridaneCom = IGridaneCom::kIid;

// The description of GridaneLib: the library, IGridaneCom with its DISPIDs and help strings,
// and the GridaneCom class.
const EmbeddedTypeLibrary& GridaneTypeLibrary();

}  // namespace com
