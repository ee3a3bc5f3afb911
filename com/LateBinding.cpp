#include "com/LateBinding.h"

#include <charconv>

#include "platform/Utf.h"

namespace com {

HRESULT PutPropertyFromText(IDispatch* object, const InterfaceDescription& description,
                            std::string_view name, std::string_view value) {
    if (object == nullptr) return E_POINTER;
    const MemberDescription* member = description.FindMember(name);
    if (member == nullptr || member->kind != MemberKind::PropertyPut) return DISP_E_UNKNOWNNAME;
    std::u16string wideName = platform::Utf8ToUtf16(name);
    const char16_t* names[] = {wideName.c_str()};
    DISPID id = DISPID_UNKNOWN;
    if (HRESULT hr = object->GetIDsOfNames(names, 1, &id); FAILED(hr)) return hr;
    if (member->params[0].type == ParamType::Long) {
        int32_t number = 0;
        const char* end = value.data() + value.size();
        auto [stop, error] = std::from_chars(value.data(), end, number);
        if (value.empty() || stop != end || error != std::errc()) return DISP_E_TYPEMISMATCH;
        Variant arg = Variant::Long(number);
        return object->Invoke(id, DISPATCH_PROPERTYPUT, {&arg, 1}, nullptr);
    }
    Bstr text = Bstr::FromUtf8(value);
    Variant arg = Variant::String(text.Get());
    return object->Invoke(id, DISPATCH_PROPERTYPUT, {&arg, 1}, nullptr);
}

}  // namespace com
