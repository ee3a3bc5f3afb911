#include "desktop/core/EngineObjects.h"

#include <map>
#include <string_view>

#include "com/Bstr.h"
#include "com/Runtime.h"
#include "desktop/core/UiPort.h"

namespace desktop {

namespace {

using com::ComPtr;
using com::HRESULT;
using com::IGridaneCom;

using IntPut = HRESULT (IGridaneCom::*)(int32_t);
using TextPut = HRESULT (IGridaneCom::*)(com::BSTR);

// The imposition engine's property puts by the names its automation interface gives them.
const std::map<std::string_view, IntPut>& IntPuts() {
    static const std::map<std::string_view, IntPut> puts = {
        {"duplicate", &IGridaneCom::put_duplicate},
        {"down", &IGridaneCom::put_down},
        {"up4", &IGridaneCom::put_up4},
        {"ab", &IGridaneCom::put_ab},
        {"ab4", &IGridaneCom::put_ab4},
        {"e", &IGridaneCom::put_e},
        {"s", &IGridaneCom::put_s},
        {"split", &IGridaneCom::put_split},
        {"rightmargin", &IGridaneCom::put_rightmargin},
        {"bottommargin", &IGridaneCom::put_bottommargin},
        {"duplex", &IGridaneCom::put_duplex},
        {"duplex1423", &IGridaneCom::put_duplex1423},
        {"duplex4123", &IGridaneCom::put_duplex4123},
        {"up3x2", &IGridaneCom::put_up3x2},
        {"up2x3", &IGridaneCom::put_up2x3},
        {"ab6", &IGridaneCom::put_ab6},
        {"outer_in", &IGridaneCom::put_outer_in},
        {"up2to1", &IGridaneCom::put_up2to1},
        {"offset_split", &IGridaneCom::put_offset_split},
        {"up2to1h", &IGridaneCom::put_up2to1h},
        {"rotateLeft", &IGridaneCom::put_rotateLeft},
        {"rotateRight", &IGridaneCom::put_rotateRight},
        {"ab8", &IGridaneCom::put_ab8},
        {"ab10", &IGridaneCom::put_ab10},
        {"ab12", &IGridaneCom::put_ab12},
        {"up4x2", &IGridaneCom::put_up4x2},
        {"up2x4", &IGridaneCom::put_up2x4},
        {"up5x2", &IGridaneCom::put_up5x2},
        {"up2x5", &IGridaneCom::put_up2x5},
        {"up6x2", &IGridaneCom::put_up6x2},
        {"up2x6", &IGridaneCom::put_up2x6},
        {"up4x3", &IGridaneCom::put_up4x3},
        {"up3x4", &IGridaneCom::put_up3x4},
        {"up3", &IGridaneCom::put_up3},
        {"up3down", &IGridaneCom::put_up3down},
        {"ab3", &IGridaneCom::put_ab3},
        {"duplex1342", &IGridaneCom::put_duplex1342},
    };
    return puts;
}

const std::map<std::string_view, TextPut>& TextPuts() {
    static const std::map<std::string_view, TextPut> puts = {
        {"cropbox", &IGridaneCom::put_cropbox},   {"mediabox", &IGridaneCom::put_mediabox},
        {"cropbox2", &IGridaneCom::put_cropbox2}, {"mediabox2", &IGridaneCom::put_mediabox2},
        {"seq", &IGridaneCom::put_seq},
    };
    return puts;
}

template <class Interface>
Interface* Require(Interface* object) {
    if (object == nullptr) throw com::ComError(com::E_POINTER);
    return object;
}

std::string TakeStatus(com::BSTR status) {
    return status != nullptr ? com::Bstr::Attach(status).ToUtf8() : std::string();
}

// Creates the object of `clsid` as the program always has: asked for IUnknown, run, then
// asked for `Interface`. A missing interface leaves `object` empty and is no failure.
template <class Interface>
HRESULT CreateEngine(const com::CLSID& clsid, const char* moduleName, ComPtr<Interface>* object) {
    ComPtr<com::IUnknown> unknown;
    HRESULT hr =
        com::CreateRegisteredOrBeside(clsid, moduleName, com::IUnknown::kIid, unknown.Put());
    if (com::FAILED(hr)) return hr;
    com::OleRun(unknown.Get());
    hr = unknown->QueryInterface(Interface::kIid, object->Put());
    return hr == com::E_NOINTERFACE ? com::S_OK : hr;
}

}  // namespace

EngineObjects::EngineObjects(UiPort& ui) {
    m_initialized = com::SUCCEEDED(com::CoInitialize());
    m_created = CreateEngine(com::CLSID_GridaneCom, com::kGridaneModuleName, &m_gridane);
    if (com::SUCCEEDED(m_created)) {
        m_created = CreateEngine(com::CLSID_TurnelleCom, com::kTurnelleModuleName, &m_turnelle);
    }
    if (com::FAILED(m_created)) {
        ui.Message(ComFailureText(m_created));
        m_gridane.Reset();
        m_turnelle.Reset();
        if (m_initialized) com::CoUninitialize();
        m_initialized = false;
    }
}

EngineObjects::EngineObjects(ComPtr<com::IGridaneCom> gridane, ComPtr<com::ITurnelleCom> turnelle)
    : m_gridane(std::move(gridane)), m_turnelle(std::move(turnelle)) {}

EngineObjects::~EngineObjects() {
    m_gridane.Reset();
    m_turnelle.Reset();
    if (m_initialized) com::CoUninitialize();
}

void PutGridaneProperty(com::IGridaneCom* gridane, const PropertyPut& put) {
    Require(gridane);
    if (const int32_t* number = std::get_if<int32_t>(&put.value)) {
        auto found = IntPuts().find(put.name);
        if (found == IntPuts().end()) throw com::ComError(com::DISP_E_UNKNOWNNAME);
        com::ThrowIfFailed((gridane->*found->second)(*number));
        return;
    }
    auto found = TextPuts().find(put.name);
    if (found == TextPuts().end()) throw com::ComError(com::DISP_E_UNKNOWNNAME);
    com::Bstr text = com::Bstr::FromUtf8(std::get<std::string>(put.value));
    com::ThrowIfFailed((gridane->*found->second)(text.Get()));
}

void PutGridaneProperties(com::IGridaneCom* gridane, const std::vector<PropertyPut>& puts) {
    for (const PropertyPut& put : puts) PutGridaneProperty(gridane, put);
}

std::string GetGridaneFile(com::IGridaneCom* gridane, const std::string& input,
                           const std::string& output) {
    com::Bstr in = com::Bstr::FromUtf8(input);
    com::Bstr out = com::Bstr::FromUtf8(output);
    com::BSTR status = nullptr;
    com::ThrowIfFailed(Require(gridane)->getGridaneFile(in.Get(), out.Get(), &status));
    return TakeStatus(status);
}

void PutTurnelleSettings(com::ITurnelleCom* turnelle, const TurnelleSettings& settings) {
    Require(turnelle);
    if (settings.type) com::ThrowIfFailed(turnelle->put_type(*settings.type));
    com::ThrowIfFailed(turnelle->put_rotateAngle(settings.rotateAngle));
    com::ThrowIfFailed(turnelle->put_force(settings.force));
}

std::string GetTurnelleFile(com::ITurnelleCom* turnelle, const std::string& input,
                            const std::string& output, const std::string& parameters) {
    com::Bstr in = com::Bstr::FromUtf8(input);
    com::Bstr out = com::Bstr::FromUtf8(output);
    com::Bstr params = com::Bstr::FromUtf8(parameters);
    com::BSTR status = nullptr;
    com::ThrowIfFailed(
        Require(turnelle)->getTurnelleFile(in.Get(), out.Get(), params.Get(), &status));
    return TakeStatus(status);
}

std::string ComFailureText(com::HRESULT hr) {
    return com::HresultMessage(hr);
}

}  // namespace desktop
