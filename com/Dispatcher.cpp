#include "com/Dispatcher.h"

#include <new>
#include <type_traits>

#include "platform/Utf.h"

namespace com {
namespace {

VARTYPE VariantTypeOf(ParamType type) {
    return type == ParamType::Long ? VT_I4 : VT_BSTR;
}

uint16_t FlagFor(MemberKind kind) {
    return kind == MemberKind::PropertyPut ? DISPATCH_PROPERTYPUT : DISPATCH_METHOD;
}

// Runs a put; `action` returns whether the property was known (void actions always are).
template <class Action>
HRESULT GuardedPut(Action&& action) {
    try {
        if constexpr (std::is_void_v<decltype(action())>) {
            action();
            return S_OK;
        } else {
            return action() ? S_OK : DISP_E_MEMBERNOTFOUND;
        }
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    } catch (...) {
        return E_UNEXPECTED;
    }
}

}  // namespace

void VariantClear(Variant* value) {
    if (value == nullptr) return;
    if (value->vt == VT_BSTR) SysFreeString(value->bstrVal);
    *value = Variant();
}

MemberHandler IntegerPut(std::function<void(int32_t)> put) {
    return [put = std::move(put)](std::span<const Variant> args, Variant*) {
        return GuardedPut([&] { put(args[0].lVal); });
    };
}

MemberHandler TextPut(std::function<void(const std::string&)> put) {
    return [put = std::move(put)](std::span<const Variant> args, Variant*) {
        return GuardedPut([&] { put(platform::Utf16ToUtf8(ArgumentText(args[0].bstrVal))); });
    };
}

MemberHandler TextMethod(std::function<std::string(const std::vector<std::string>&)> call) {
    return [call = std::move(call)](std::span<const Variant> args, Variant* result) {
        std::string text;
        try {
            std::vector<std::string> texts;
            for (const Variant& arg : args) {
                texts.push_back(platform::Utf16ToUtf8(ArgumentText(arg.bstrVal)));
            }
            text = call(texts);
        } catch (...) {
            text = "Unexpected exception";
        }
        std::u16string wide = platform::Utf8ToUtf16(text);
        BSTR returned = SysAllocStringLen(wide.data(), uint32_t(wide.size()));
        if (returned == nullptr) return E_OUTOFMEMORY;
        *result = Variant::String(returned);
        return S_OK;
    };
}

MemberHandlers PropertyHandlers(const InterfaceDescription& description, NamedIntegerPut putInteger,
                                NamedTextPut putText) {
    MemberHandlers handlers;
    for (const MemberDescription& member : description.members) {
        if (member.kind != MemberKind::PropertyPut) continue;
        std::string name = member.name;
        if (member.params[0].type == ParamType::Long) {
            handlers[member.dispId] = [putInteger, name](std::span<const Variant> args, Variant*) {
                return GuardedPut([&] { return putInteger(name, args[0].lVal); });
            };
        } else {
            handlers[member.dispId] = [putText, name](std::span<const Variant> args, Variant*) {
                return GuardedPut([&] {
                    return putText(name, platform::Utf16ToUtf8(ArgumentText(args[0].bstrVal)));
                });
            };
        }
    }
    return handlers;
}

Dispatcher::Dispatcher(const InterfaceDescription& description, MemberHandlers handlers)
    : m_description(description), m_handlers(std::move(handlers)) {}

HRESULT Dispatcher::GetIDsOfNames(const char16_t* const* names, uint32_t count, DISPID* ids) const {
    if (HRESULT hr = CheckThread(); FAILED(hr)) return hr;
    if ((names == nullptr || ids == nullptr) && count > 0) return E_POINTER;
    HRESULT hr = S_OK;
    for (uint32_t i = 0; i < count; ++i) {
        std::string name = platform::Utf16ToUtf8(ArgumentText(names[i]));
        const MemberDescription* member = m_description.FindMember(name);
        ids[i] = member != nullptr ? member->dispId : DISPID_UNKNOWN;
        if (member == nullptr) hr = DISP_E_UNKNOWNNAME;
    }
    return hr;
}

HRESULT Dispatcher::CheckArguments(const MemberDescription& member,
                                   std::span<const Variant> args) const {
    if (args.size() != member.ArgumentCount()) return DISP_E_BADPARAMCOUNT;
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i].vt != VariantTypeOf(member.params[i].type)) return DISP_E_TYPEMISMATCH;
    }
    return S_OK;
}

HRESULT Dispatcher::Invoke(DISPID id, uint16_t flags, std::span<const Variant> args,
                           Variant* result) const {
    if (HRESULT hr = CheckThread(); FAILED(hr)) return hr;
    if (result != nullptr) *result = Variant();
    const MemberDescription* member = m_description.FindMember(id);
    if (member == nullptr || (flags & FlagFor(member->kind)) == 0) return DISP_E_MEMBERNOTFOUND;
    if (HRESULT hr = CheckArguments(*member, args); FAILED(hr)) return hr;
    auto handler = m_handlers.find(id);
    if (handler == m_handlers.end() || !handler->second) return E_NOTIMPL;
    Variant returned;
    HRESULT hr = handler->second(args, &returned);
    if (result != nullptr && SUCCEEDED(hr)) {
        *result = returned;
    } else {
        VariantClear(&returned);
    }
    return hr;
}

}  // namespace com
