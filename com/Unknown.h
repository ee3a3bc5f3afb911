// The interfaces every component object and class factory implements.
//
// An object lives as long as someone holds a reference: `AddRef` adds one, `Release` drops one
// and destroys the object with the last. `QueryInterface` hands out another interface of the
// same object with a reference added, or fails with E_NOINTERFACE and sets the result to
// nullptr. Interfaces are abstract classes whose member order is part of the contract between
// a client and a server module; each carries its identity as `kIid`. Objects are destroyed only
// through Release, never by delete on an interface.
#pragma once

#include <cstdint>

#include "com/Guid.h"
#include "com/Hresult.h"

namespace com {

class IUnknown {
  public:
    static constexpr IID kIid = GuidLiteral("{00000000-0000-0000-C000-000000000046}");

    virtual HRESULT QueryInterface(const IID& iid, void** object) = 0;
    virtual uint32_t AddRef() = 0;
    virtual uint32_t Release() = 0;

  protected:
    ~IUnknown() = default;
};

// Makes the objects of one class. `CreateInstance` makes one and asks it for `iid`;
// `LockServer(true)` keeps the server module loaded without any object alive.
class IClassFactory : public IUnknown {
  public:
    static constexpr IID kIid = GuidLiteral("{00000001-0000-0000-C000-000000000046}");

    virtual HRESULT CreateInstance(IUnknown* outer, const IID& iid, void** object) = 0;
    virtual HRESULT LockServer(bool lock) = 0;

  protected:
    ~IClassFactory() = default;
};

// Where an object may run; only in-process servers exist here.
inline constexpr uint32_t CLSCTX_INPROC_SERVER = 0x1;
inline constexpr uint32_t CLSCTX_INPROC_HANDLER = 0x2;
inline constexpr uint32_t CLSCTX_LOCAL_SERVER = 0x4;
inline constexpr uint32_t CLSCTX_ALL = 0x7;

}  // namespace com
