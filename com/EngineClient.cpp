#include "com/EngineClient.h"

#include "com/GridaneInterface.h"
#include "com/LateBinding.h"
#include "com/RunWarnings.h"
#include "com/Runtime.h"
#include "com/TurnelleInterface.h"
#include "platform/Utf.h"

namespace com {

const EngineClass& GridaneEngine() {
    static const EngineClass engine{CLSID_GridaneCom, kGridaneModuleName, &GridaneTypeLibrary,
                                    "IGridaneCom",    "getGridaneFile",   2};
    return engine;
}

const EngineClass& TurnelleEngine() {
    static const EngineClass engine{CLSID_TurnelleCom, kTurnelleModuleName, &TurnelleTypeLibrary,
                                    "ITurnelleCom",    "getTurnelleFile",   3};
    return engine;
}

EngineClient::EngineClient(const EngineClass& engine) : m_engine(engine) {
    m_initialized = SUCCEEDED(CoInitialize());
    m_created = m_initialized ? CreateRegisteredOrBeside(engine.clsid, engine.moduleName,
                                                         IDispatch::kIid, m_object.Put())
                              : CO_E_NOTINITIALIZED;
}

EngineClient::~EngineClient() {
    m_object.Reset();
    if (m_initialized) CoUninitialize();
}

HRESULT EngineClient::Put(std::string_view name, std::string_view value) {
    if (!m_object) return m_created;
    const InterfaceDescription& description =
        m_engine.typeLibrary().Interface(m_engine.interfaceName);
    return PutPropertyFromText(m_object.Get(), description, name, value);
}

HRESULT EngineClient::RunJob(const std::vector<std::string>& arguments, std::string* status) {
    if (!m_object) return m_created;
    std::u16string method = platform::Utf8ToUtf16(m_engine.jobMethod);
    const char16_t* names[] = {method.c_str()};
    DISPID id = DISPID_UNKNOWN;
    if (HRESULT hr = m_object->GetIDsOfNames(names, 1, &id); FAILED(hr)) return hr;

    std::vector<Bstr> texts;
    std::vector<Variant> args;
    for (int i = 0; i < m_engine.jobTextArguments; ++i) {
        texts.push_back(Bstr::FromUtf8(i < static_cast<int>(arguments.size()) ? arguments[i] : ""));
    }
    for (const Bstr& text : texts) args.push_back(Variant::String(text.Get()));
    Variant result;
    HRESULT hr = m_object->Invoke(id, DISPATCH_METHOD, args, &result);
    if (SUCCEEDED(hr)) *status = result.vt == VT_BSTR ? Bstr::Attach(result.bstrVal).ToUtf8() : "";
    if (result.vt != VT_BSTR) VariantClear(&result);
    return hr;
}

HRESULT EngineClient::RunWarnings(std::string* warnings) {
    warnings->clear();
    if (!m_object) return m_created;
    IRunWarnings* source = nullptr;
    HRESULT hr = m_object->QueryInterface(IRunWarnings::kIid, reinterpret_cast<void**>(&source));
    if (FAILED(hr)) return hr;
    BSTR text = nullptr;
    hr = source->GetRunWarnings(&text);
    source->Release();
    if (SUCCEEDED(hr) && text != nullptr) *warnings = Bstr::Attach(text).ToUtf8();
    return hr;
}

}  // namespace com
