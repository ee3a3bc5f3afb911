#include "com/Registry.h"

namespace com {
namespace {

bool IsSingleLine(std::string_view text) {
    return text.find_first_of("\r\n") == text.npos;
}

bool IsBelow(std::string_view candidate, std::string_view key) {
    return candidate.size() > key.size() + 1 && candidate[key.size()] == '\\' &&
           EqualIgnoringCase(candidate.substr(0, key.size()), key);
}

}  // namespace

bool Registry::Parse(std::string_view text, std::string* error) {
    m_keys.clear();
    Values* current = nullptr;
    int lineNumber = 0;
    while (!text.empty()) {
        size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text = end == text.npos ? std::string_view() : text.substr(end + 1);
        ++lineNumber;
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (line.empty() || line.front() == '#') continue;
        size_t equals = line.find('=');
        if (line.front() == '[' && line.back() == ']' && line.size() > 2) {
            current = &m_keys[std::string(line.substr(1, line.size() - 2))];
        } else if (current != nullptr && equals != line.npos && equals > 0) {
            std::string_view name = line.substr(0, equals);
            (*current)[name == "@" ? std::string() : std::string(name)] =
                std::string(line.substr(equals + 1));
        } else {
            m_keys.clear();
            if (error != nullptr) {
                *error = "line " + std::to_string(lineNumber) + " is neither a [key] nor a value";
            }
            return false;
        }
    }
    return true;
}

std::string Registry::Text() const {
    std::string text = "# Component registry: [key] lines, each followed by its name=value lines\n";
    for (const auto& [key, values] : m_keys) {
        text += "\n[" + key + "]\n";
        for (const auto& [name, value] : values) {
            text += (name.empty() ? std::string("@") : name) + "=" + value + "\n";
        }
    }
    return text;
}

bool Registry::CreateKey(const std::string& key) {
    if (key.empty() || !IsSingleLine(key) || key.back() == ']') return false;
    m_keys[key];
    return true;
}

bool Registry::SetValue(const std::string& key, const std::string& name, const std::string& value) {
    bool nameLooksLikeKeyOrComment = !name.empty() && (name[0] == '[' || name[0] == '#');
    if (name == "@" || nameLooksLikeKeyOrComment || name.find('=') != name.npos ||
        !IsSingleLine(name) || !IsSingleLine(value) || !CreateKey(key)) {
        return false;
    }
    m_keys[key][name] = value;
    return true;
}

std::optional<std::string> Registry::GetValue(std::string_view key, std::string_view name) const {
    auto found = m_keys.find(key);
    if (found == m_keys.end()) return std::nullopt;
    auto value = found->second.find(name);
    if (value == found->second.end()) return std::nullopt;
    return value->second;
}

bool Registry::DeleteTree(std::string_view key) {
    bool removed = false;
    for (auto it = m_keys.lower_bound(key); it != m_keys.end();) {
        if (EqualIgnoringCase(it->first, key) || IsBelow(it->first, key)) {
            it = m_keys.erase(it);
            removed = true;
        } else if (EqualIgnoringCase(std::string_view(it->first).substr(0, key.size()), key)) {
            ++it;  // a sibling such as "key2" sorts among the keys below "key"
        } else {
            break;
        }
    }
    return removed;
}

bool Registry::HasSubkeys(std::string_view key) const {
    for (auto it = m_keys.lower_bound(key); it != m_keys.end(); ++it) {
        if (IsBelow(it->first, key)) return true;
        if (!EqualIgnoringCase(std::string_view(it->first).substr(0, key.size()), key)) break;
    }
    return false;
}

std::vector<std::string> DescribeChanges(const Registry& before, const Registry& after) {
    auto shown = [](const std::string& name) { return name.empty() ? std::string("@") : name; };
    std::vector<std::string> changes;
    for (const auto& [key, values] : after.AllKeys()) {
        bool existed = before.HasKey(key);
        if (!existed && values.empty()) changes.push_back("created [" + key + "]");
        for (const auto& [name, value] : values) {
            if (before.GetValue(key, name) != value) {
                changes.push_back("set [" + key + "] " + shown(name) + " = " + value);
            }
        }
        if (!existed) continue;
        for (const auto& [name, value] : before.AllKeys().find(key)->second) {
            if (!after.GetValue(key, name))
                changes.push_back("removed [" + key + "] " + shown(name));
        }
    }
    for (const auto& [key, values] : before.AllKeys()) {
        if (!after.HasKey(key)) changes.push_back("removed [" + key + "]");
    }
    return changes;
}

}  // namespace com
