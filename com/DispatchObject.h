// The common body of a dual object: reference counting, QueryInterface for IUnknown, IDispatch
// and the object's own interface, and late binding through a `Dispatcher`. A concrete object
// derives from DispatchObject<ITheInterface> and implements the interface's own members by
// forwarding to `Put` and `CallForText`, so that the vtable and DISPID paths share handlers.
//
// Objects are made with `CreateDispatchObject`, start with one reference and delete themselves
// on the last Release; while one lives, its server module stays loaded.
#pragma once

#include <atomic>
#include <initializer_list>
#include <new>
#include <vector>

#include "com/Dispatcher.h"
#include "com/ModuleLifetime.h"

namespace com {

template <class Interface>
class DispatchObject : public Interface {
  public:
    DispatchObject(const DispatchObject&) = delete;
    DispatchObject& operator=(const DispatchObject&) = delete;

    HRESULT QueryInterface(const IID& iid, void** object) override {
        if (object == nullptr) return E_POINTER;
        *object = nullptr;
        if (HRESULT hr = m_dispatcher.CheckThread(); FAILED(hr)) return hr;
        if (iid != Interface::kIid && iid != IDispatch::kIid && iid != IUnknown::kIid) {
            return E_NOINTERFACE;
        }
        *object = static_cast<Interface*>(this);
        AddRef();
        return S_OK;
    }
    uint32_t AddRef() override { return ++m_references; }
    uint32_t Release() override {
        uint32_t left = --m_references;
        if (left == 0) delete this;  // the object owns itself; the last reference ends it
        return left;
    }

    HRESULT GetIDsOfNames(const char16_t* const* names, uint32_t count, DISPID* ids) override {
        return m_dispatcher.GetIDsOfNames(names, count, ids);
    }
    HRESULT Invoke(DISPID id, uint16_t flags, std::span<const Variant> args,
                   Variant* result) override {
        return m_dispatcher.Invoke(id, flags, args, result);
    }

  protected:
    DispatchObject(const InterfaceDescription& description, MemberHandlers handlers)
        : m_dispatcher(description, std::move(handlers)) {
        module_lifetime::ObjectCreated();
    }
    virtual ~DispatchObject() { module_lifetime::ObjectDestroyed(); }

    HRESULT CheckThread() const { return m_dispatcher.CheckThread(); }

    HRESULT Put(DISPID id, int32_t value) {
        Variant arg = Variant::Long(value);
        return m_dispatcher.Invoke(id, DISPATCH_PROPERTYPUT, {&arg, 1}, nullptr);
    }
    HRESULT Put(DISPID id, BSTR value) {
        Variant arg = Variant::String(value);
        return m_dispatcher.Invoke(id, DISPATCH_PROPERTYPUT, {&arg, 1}, nullptr);
    }
    // Calls a method taking texts and returning one; *result belongs to the caller.
    HRESULT CallForText(DISPID id, std::initializer_list<BSTR> texts, BSTR* result) {
        if (result == nullptr) return E_POINTER;
        *result = nullptr;
        std::vector<Variant> args;
        for (BSTR text : texts) args.push_back(Variant::String(text));
        Variant returned;
        HRESULT hr = m_dispatcher.Invoke(id, DISPATCH_METHOD, args, &returned);
        if (SUCCEEDED(hr)) *result = returned.bstrVal;
        return hr;
    }

  private:
    Dispatcher m_dispatcher;
    std::atomic<uint32_t> m_references{1};
};

// Makes an `Object` from `args` and asks it for `iid`; the object is gone again when it lacks
// that interface (E_NOINTERFACE, *object nullptr).
template <class Object, class... Args>
HRESULT CreateDispatchObject(const IID& iid, void** object, Args&&... args) {
    if (object == nullptr) return E_POINTER;
    *object = nullptr;
    Object* created = new (std::nothrow) Object(std::forward<Args>(args)...);
    if (created == nullptr) return E_OUTOFMEMORY;
    HRESULT hr = created->QueryInterface(iid, object);
    created->Release();
    return hr;
}

}  // namespace com
