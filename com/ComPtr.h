// An owning pointer to one interface of a component object: releases its reference on
// destruction or reset. `Put()` hands the slot to a call that returns an interface (the
// reference it returns is taken over); `As` asks the object for another interface.
#pragma once

#include <utility>

#include "com/Unknown.h"

namespace com {

template <class Interface>
class ComPtr {
  public:
    ComPtr() = default;
    ~ComPtr() { Reset(); }
    ComPtr(const ComPtr& other) : m_ptr(other.m_ptr) {
        if (m_ptr != nullptr) m_ptr->AddRef();
    }
    ComPtr& operator=(const ComPtr& other) {
        ComPtr(other).Swap(*this);
        return *this;
    }
    ComPtr(ComPtr&& other) noexcept : m_ptr(std::exchange(other.m_ptr, nullptr)) {}
    ComPtr& operator=(ComPtr&& other) noexcept {
        ComPtr(std::move(other)).Swap(*this);
        return *this;
    }

    Interface* Get() const { return m_ptr; }
    Interface* operator->() const { return m_ptr; }
    explicit operator bool() const { return m_ptr != nullptr; }

    void Reset() {
        if (m_ptr != nullptr) std::exchange(m_ptr, nullptr)->Release();
    }
    // Releases what is held and gives the slot to a call that fills it.
    void** Put() {
        Reset();
        return reinterpret_cast<void**>(&m_ptr);
    }

    template <class Other>
    HRESULT As(ComPtr<Other>* other) const {
        if (m_ptr == nullptr) return E_POINTER;
        return m_ptr->QueryInterface(Other::kIid, other->Put());
    }

    void Swap(ComPtr& other) noexcept { std::swap(m_ptr, other.m_ptr); }

  private:
    Interface* m_ptr = nullptr;
};

}  // namespace com
