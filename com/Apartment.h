// The thread an apartment-threaded object belongs to: the one that created it. Every call
// on the object checks it and fails with RPC_E_WRONG_THREAD on any other thread.
#pragma once

#include <thread>

#include "com/Hresult.h"

namespace com {

class ApartmentAffinity {
  public:
    HRESULT CheckThread() const {
        return std::this_thread::get_id() == m_owner ? S_OK : RPC_E_WRONG_THREAD;
    }

  private:
    std::thread::id m_owner = std::this_thread::get_id();
};

}  // namespace com
