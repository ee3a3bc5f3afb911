// The renames of one sheet side: for a cell page's resource entry whose name clashes with the
// base page's, the new name it is listed under on the sheet. Filled while the sheet's resources
// are merged and read when that sheet's content streams are rewritten; the sheet writer empties
// it at the start of every sheet side. A value type; it owns its texts.
#pragma once

#include <map>
#include <string>

namespace gridane {

// Per resource category (keyed by its first letter: 'F'ont, 'X'Object, 'E'xtGState,
// 'C'olorSpace, 'P'attern, 'S'hading), old name to new name, names without their slash.
using CategoryRenames = std::map<char, std::map<std::string, std::string>>;

class RenameMap {
  public:
    void Clear() { m_newNameByKey.clear(); }
    bool Empty() const { return m_newNameByKey.empty(); }
    size_t Size() const { return m_newNameByKey.size(); }

    // Records that page `pageObjectNumber`'s entry `oldName` of the category with first letter
    // `category` is listed as `newName`. An entry already recorded keeps its first new name.
    void Add(int pageObjectNumber, char category, const std::string& oldName,
             const std::string& newName);

    // The new name recorded for that entry, empty when none.
    std::string Find(int pageObjectNumber, char category, const std::string& oldName) const;

    // Every rename recorded for one page, by category.
    CategoryRenames ForPage(int pageObjectNumber) const;

  private:
    // Key: the page's object number left-aligned in 20 characters, the category letter, then
    // the old name; ordered by bytes, so one page's renames stand together.
    static std::string Key(int pageObjectNumber, char category, const std::string& oldName);

    std::map<std::string, std::string> m_newNameByKey;
};

}  // namespace gridane
