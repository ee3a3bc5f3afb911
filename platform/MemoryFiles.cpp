#include "platform/MemoryFiles.h"

namespace platform {

void MemoryFiles::Put(const std::string& path, std::string bytes) {
    std::lock_guard lock(m_mutex);
    m_files[path] = std::make_shared<const std::string>(std::move(bytes));
}

std::shared_ptr<const std::string> MemoryFiles::Get(const std::string& path) const {
    std::lock_guard lock(m_mutex);
    auto found = m_files.find(path);
    return found == m_files.end() ? nullptr : found->second;
}

bool MemoryFiles::Exists(const std::string& path) const {
    return Get(path) != nullptr;
}

bool MemoryFiles::Remove(const std::string& path) {
    std::lock_guard lock(m_mutex);
    return m_files.erase(path) > 0;
}

bool MemoryFiles::Rename(const std::string& from, const std::string& to) {
    std::lock_guard lock(m_mutex);
    auto found = m_files.find(from);
    if (found == m_files.end()) return false;
    std::shared_ptr<const std::string> bytes = found->second;
    m_files.erase(found);
    m_files[to] = std::move(bytes);
    return true;
}

size_t MemoryFiles::Count() const {
    std::lock_guard lock(m_mutex);
    return m_files.size();
}

}  // namespace platform
