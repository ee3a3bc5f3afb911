#include "desktop/core/EngineObjects.h"

#include <variant>

#include "com/Bstr.h"
#include "com/Runtime.h"
#include "desktop/core/UiPort.h"

namespace desktop {

namespace {

using com::ComPtr;
using com::HRESULT;
using com::IGridaneCom;

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
    SetProgressSink(nullptr);
    m_gridane.Reset();
    m_turnelle.Reset();
    if (m_initialized) com::CoUninitialize();
}

// An object without IProgressReporting (a test's stand-in) just reports nowhere.
void EngineObjects::SetProgressSink(com::IProgressSink* sink) {
    m_sink = sink;
    if (m_gridane) com::SetProgressSinkOf(*m_gridane.Get(), sink);
    if (m_turnelle) com::SetProgressSinkOf(*m_turnelle.Get(), sink);
}

void EngineObjects::ReleaseGridane() {
    if (m_gridane) com::SetProgressSinkOf(*m_gridane.Get(), nullptr);
    m_gridane.Reset();
}

void PutGridaneProperty(com::IGridaneCom* gridane, const PropertyPut& put) {
    Require(gridane);
    com::HRESULT hr = std::visit(
        [&](const auto& value) {
            return com::PutByName(com::GridaneInterfacePuts(), *gridane, put.name, value);
        },
        put.value);
    com::ThrowIfFailed(hr);
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
