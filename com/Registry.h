// The component registry held in memory: keys (paths like "CLSID\{...}\InprocServer32"), each
// with named string values ("" is the key's default value). Keys and value names are matched
// without regard to case. A key may have no values and still exist (a marker key).
//
// The file form is plain text: a "[key]" line opens each key, its values follow as
// "name=value" lines, "@" naming the default value; blank lines and lines starting with '#'
// are ignored. Values are single lines.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "com/CaseInsensitive.h"

namespace com {

class Registry {
  public:
    using Values = std::map<std::string, std::string, LessIgnoringCase>;
    using Keys = std::map<std::string, Values, LessIgnoringCase>;

    // Replaces the contents with `text`; false (contents then empty) with `error` set when a
    // line is neither a key, a value under a key, a comment nor blank.
    bool Parse(std::string_view text, std::string* error);
    std::string Text() const;

    // Creates the key (and no parents) when missing. Names and values may not hold line
    // breaks; such a value is refused (false).
    bool SetValue(const std::string& key, const std::string& name, const std::string& value);
    bool CreateKey(const std::string& key);
    std::optional<std::string> GetValue(std::string_view key, std::string_view name = "") const;
    bool HasKey(std::string_view key) const { return m_keys.count(key) != 0; }
    // Removes the key and every key below it; false when none of them existed.
    bool DeleteTree(std::string_view key);
    // True when some key lies below `key`.
    bool HasSubkeys(std::string_view key) const;

    const Keys& AllKeys() const { return m_keys; }

  private:
    Keys m_keys;
};

// What changed from `before` to `after`, one line each: "set [key] name = value" for a value
// added or changed ("@" naming the default value), "created [key]" for a new key without
// values, "removed [key] name" and "removed [key]" for what went.
std::vector<std::string> DescribeChanges(const Registry& before, const Registry& after);

}  // namespace com
