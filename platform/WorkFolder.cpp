#include "platform/WorkFolder.h"

#include <stdlib.h>

#include <filesystem>
#include <system_error>
#include <vector>

#include "platform/TempFiles.h"

namespace platform {

WorkFolder::WorkFolder() {
    std::string pattern = TempFolder() + "velmora-XXXXXX";
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    m_made = ::mkdtemp(name.data()) != nullptr;
    m_path = m_made ? std::string(name.data()) + "/" : TempFolder();
}

WorkFolder::~WorkFolder() {
    if (!m_made) return;
    std::error_code ignored;
    std::filesystem::remove_all(m_path, ignored);
}

}  // namespace platform
