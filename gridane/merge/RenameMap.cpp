#include "gridane/merge/RenameMap.h"

#include <cstdio>
#include <cstdlib>

namespace gridane {

namespace {
constexpr size_t kPageField = 20;
}

std::string RenameMap::Key(int pageObjectNumber, char category, const std::string& oldName) {
    char page[32];
    std::snprintf(page, sizeof page, "%-20d", pageObjectNumber);
    return std::string(page) + category + oldName;
}

void RenameMap::Add(int pageObjectNumber, char category, const std::string& oldName,
                    const std::string& newName) {
    m_newNameByKey.emplace(Key(pageObjectNumber, category, oldName), newName);
}

std::string RenameMap::Find(int pageObjectNumber, char category, const std::string& oldName) const {
    auto it = m_newNameByKey.find(Key(pageObjectNumber, category, oldName));
    return it == m_newNameByKey.end() ? std::string() : it->second;
}

CategoryRenames RenameMap::ForPage(int pageObjectNumber) const {
    CategoryRenames renames;
    std::string prefix = Key(pageObjectNumber, ' ', "").substr(0, kPageField);
    for (auto it = m_newNameByKey.lower_bound(prefix);
         it != m_newNameByKey.end() && it->first.compare(0, kPageField, prefix) == 0; ++it) {
        if (it->first.size() <= kPageField) continue;
        renames[it->first[kPageField]][it->first.substr(kPageField + 1)] = it->second;
    }
    return renames;
}

}  // namespace gridane
