#include "com/ModuleLifetime.h"

#include <atomic>

namespace com::module_lifetime {
namespace {

std::atomic<long> g_liveObjects{0};
std::atomic<long> g_locks{0};

}  // namespace

void ObjectCreated() {
    ++g_liveObjects;
}
void ObjectDestroyed() {
    --g_liveObjects;
}
void Lock() {
    ++g_locks;
}
void Unlock() {
    --g_locks;
}
bool CanUnload() {
    return g_liveObjects == 0 && g_locks == 0;
}

}  // namespace com::module_lifetime
