#include "com/EngineClient.h"

#include "com/LateBinding.h"
#include "com/Runtime.h"
#include "platform/Utf.h"

namespace com {

EngineClient::EngineClient(const ComponentContract& contract)
    : m_contract(contract), m_library(TypeLibraryOf(contract)) {
    m_initialized = SUCCEEDED(CoInitialize());
    m_created = m_initialized ? CreateRegisteredOrBeside(contract.clsid, contract.moduleName,
                                                         IDispatch::kIid, m_object.Put())
                              : CO_E_NOTINITIALIZED;
}

EngineClient::~EngineClient() {
    if (m_object) SetProgressSinkOf(*m_object.Get(), nullptr);
    m_object.Reset();
    if (m_initialized) CoUninitialize();
}

HRESULT EngineClient::Put(std::string_view name, std::string_view value) {
    if (!m_object) return m_created;
    return PutPropertyFromText(m_object.Get(), m_library.interfaces.front(), name, value);
}

HRESULT EngineClient::SetProgressSink(IProgressSink* sink) {
    if (!m_object) return m_created;
    return SetProgressSinkOf(*m_object.Get(), sink);
}

HRESULT EngineClient::RunJob(const std::vector<std::string>& arguments, std::string* status) {
    if (!m_object) return m_created;
    std::u16string method = platform::Utf8ToUtf16(std::string(m_contract.job.name));
    const char16_t* names[] = {method.c_str()};
    DISPID id = DISPID_UNKNOWN;
    if (HRESULT hr = m_object->GetIDsOfNames(names, 1, &id); FAILED(hr)) return hr;

    std::vector<Bstr> texts;
    std::vector<Variant> args;
    for (size_t i = 0; i < m_contract.job.textParams.size(); ++i) {
        texts.push_back(Bstr::FromUtf8(i < arguments.size() ? arguments[i] : ""));
    }
    for (const Bstr& text : texts) args.push_back(Variant::String(text.Get()));
    Variant result;
    HRESULT hr = m_object->Invoke(id, DISPATCH_METHOD, args, &result);
    if (SUCCEEDED(hr)) *status = result.vt == VT_BSTR ? Bstr::Attach(result.bstrVal).ToUtf8() : "";
    if (result.vt != VT_BSTR) VariantClear(&result);
    return hr;
}

}  // namespace com
