// A GridaneCom object: IGridaneCom over a table of member handlers keyed by DISPID, which
// the server fills with the engine's setters and its getGridaneFile. Vtable members and
// Invoke by DISPID go through the same handlers. Made by CreateGridaneObject; lives until its
// last Release, on the thread that made it.
#pragma once

#include "com/DispatchObject.h"
#include "com/GridaneInterface.h"
#include "com/ServerRegistration.h"

namespace com {

inline constexpr ServerIdentity kGridaneServerIdentity{"GridaneCom", "Gridane.GridaneCom.1",
                                                       "Gridane.GridaneCom", "Apartment", false};

inline constexpr DISPID kDispidGetGridaneFile = 5;

class GridaneObject final : public DispatchObject<IGridaneCom> {
  public:
    explicit GridaneObject(MemberHandlers handlers);

    HRESULT getGridaneFile(BSTR m_intputFile, BSTR m_outputFile, BSTR* pVal) override {
        return CallForText(kDispidGetGridaneFile, {m_intputFile, m_outputFile}, pVal);
    }
    HRESULT put_duplicate(int32_t newVal) override { return Put(6, newVal); }
    HRESULT put_down(int32_t newVal) override { return Put(7, newVal); }
    HRESULT put_up4(int32_t newVal) override { return Put(8, newVal); }
    HRESULT put_ab(int32_t newVal) override { return Put(9, newVal); }
    HRESULT put_ab4(int32_t newVal) override { return Put(10, newVal); }
    HRESULT put_e(int32_t newVal) override { return Put(11, newVal); }
    HRESULT put_s(int32_t newVal) override { return Put(12, newVal); }
    HRESULT put_split(int32_t newVal) override { return Put(30, newVal); }
    HRESULT put_rightmargin(int32_t newVal) override { return Put(31, newVal); }
    HRESULT put_cropbox(BSTR newVal) override { return Put(35, newVal); }
    HRESULT put_mediabox(BSTR newVal) override { return Put(36, newVal); }
    HRESULT put_bottommargin(int32_t newVal) override { return Put(37, newVal); }
    HRESULT put_seq(BSTR newVal) override { return Put(38, newVal); }
    HRESULT put_duplex(int32_t newVal) override { return Put(39, newVal); }
    HRESULT put_duplex1423(int32_t newVal) override { return Put(40, newVal); }
    HRESULT put_duplex4123(int32_t newVal) override { return Put(41, newVal); }
    HRESULT put_up3x2(int32_t newVal) override { return Put(42, newVal); }
    HRESULT put_up2x3(int32_t newVal) override { return Put(43, newVal); }
    HRESULT put_ab6(int32_t newVal) override { return Put(44, newVal); }
    HRESULT put_outer_in(int32_t newVal) override { return Put(45, newVal); }
    HRESULT put_up2to1(int32_t newVal) override { return Put(46, newVal); }
    HRESULT put_offset_split(int32_t newVal) override { return Put(47, newVal); }
    HRESULT put_up2to1h(int32_t newVal) override { return Put(48, newVal); }
    HRESULT put_rotateLeft(int32_t newVal) override { return Put(49, newVal); }
    HRESULT put_rotateRight(int32_t newVal) override { return Put(50, newVal); }
    HRESULT put_ab8(int32_t newVal) override { return Put(51, newVal); }
    HRESULT put_ab10(int32_t newVal) override { return Put(52, newVal); }
    HRESULT put_ab12(int32_t newVal) override { return Put(53, newVal); }
    HRESULT put_up4x2(int32_t newVal) override { return Put(54, newVal); }
    HRESULT put_up2x4(int32_t newVal) override { return Put(55, newVal); }
    HRESULT put_up5x2(int32_t newVal) override { return Put(56, newVal); }
    HRESULT put_up2x5(int32_t newVal) override { return Put(57, newVal); }
    HRESULT put_up6x2(int32_t newVal) override { return Put(58, newVal); }
    HRESULT put_up2x6(int32_t newVal) override { return Put(59, newVal); }
    HRESULT put_up4x3(int32_t newVal) override { return Put(60, newVal); }
    HRESULT put_up3x4(int32_t newVal) override { return Put(61, newVal); }
    HRESULT put_up3(int32_t newVal) override { return Put(62, newVal); }
    HRESULT put_up3down(int32_t newVal) override { return Put(63, newVal); }
    HRESULT put_ab3(int32_t newVal) override { return Put(64, newVal); }
    HRESULT put_duplex1342(int32_t newVal) override { return Put(65, newVal); }
    HRESULT put_cropbox2(BSTR newVal) override { return Put(66, newVal); }
    HRESULT put_mediabox2(BSTR newVal) override { return Put(67, newVal); }
};

HRESULT CreateGridaneObject(const IID& iid, void** object, MemberHandlers handlers);

}  // namespace com
