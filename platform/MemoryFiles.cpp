#include "platform/MemoryFiles.h"

#include <atomic>
#include <map>
#include <mutex>

namespace platform::memory_files {

namespace {

std::atomic<bool> g_enabled{false};

struct Store {
    std::mutex mutex;
    std::map<std::string, std::shared_ptr<const std::string>> files;
};

Store& TheStore() {
    static Store store;
    return store;
}

}  // namespace

void Enable(bool on) {
    Store& store = TheStore();
    std::lock_guard lock(store.mutex);
    store.files.clear();
    g_enabled = on;
}

bool Enabled() {
    return g_enabled;
}

void Put(const std::string& path, std::string bytes) {
    Store& store = TheStore();
    std::lock_guard lock(store.mutex);
    store.files[path] = std::make_shared<const std::string>(std::move(bytes));
}

std::shared_ptr<const std::string> Get(const std::string& path) {
    Store& store = TheStore();
    std::lock_guard lock(store.mutex);
    auto found = store.files.find(path);
    return found == store.files.end() ? nullptr : found->second;
}

bool Exists(const std::string& path) {
    return Get(path) != nullptr;
}

bool Remove(const std::string& path) {
    Store& store = TheStore();
    std::lock_guard lock(store.mutex);
    return store.files.erase(path) > 0;
}

bool Rename(const std::string& from, const std::string& to) {
    Store& store = TheStore();
    std::lock_guard lock(store.mutex);
    auto found = store.files.find(from);
    if (found == store.files.end()) return false;
    std::shared_ptr<const std::string> bytes = found->second;
    store.files.erase(found);
    store.files[to] = std::move(bytes);
    return true;
}

}  // namespace platform::memory_files
