// A dual object that also answers for IProgressReporting: the client's sink is handed to the
// setter the server gives, which passes it on to the engine behind the object.
#pragma once

#include <functional>
#include <utility>

#include "com/DispatchObject.h"
#include "com/ProgressSink.h"

namespace com {

using ProgressSinkSetter = std::function<void(IProgressSink*)>;

template <class Interface>
class ReportingDispatchObject : public DispatchObject<Interface>, public IProgressReporting {
  public:
    HRESULT QueryInterface(const IID& iid, void** object) override {
        if (object == nullptr || iid != IProgressReporting::kIid) {
            return DispatchObject<Interface>::QueryInterface(iid, object);
        }
        *object = nullptr;
        if (HRESULT hr = this->CheckThread(); FAILED(hr)) return hr;
        *object = static_cast<IProgressReporting*>(this);
        AddRef();
        return S_OK;
    }
    uint32_t AddRef() override { return DispatchObject<Interface>::AddRef(); }
    uint32_t Release() override { return DispatchObject<Interface>::Release(); }

    HRESULT SetProgressSink(IProgressSink* sink) override {
        if (HRESULT hr = this->CheckThread(); FAILED(hr)) return hr;
        if (m_setSink) m_setSink(sink);
        return S_OK;
    }

  protected:
    ReportingDispatchObject(const InterfaceDescription& description, MemberHandlers handlers,
                            ProgressSinkSetter setSink)
        : DispatchObject<Interface>(description, std::move(handlers)),
          m_setSink(std::move(setSink)) {}

  private:
    ProgressSinkSetter m_setSink;
};

}  // namespace com
