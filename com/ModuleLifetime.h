// What keeps a server module loaded: its live objects (class factories included) and the locks
// clients take with IClassFactory::LockServer. Each server module has its own count, since a
// module keeps its copy of this library to itself.
#pragma once

namespace com::module_lifetime {

void ObjectCreated();
void ObjectDestroyed();
void Lock();
void Unlock();
bool CanUnload();

}  // namespace com::module_lifetime
