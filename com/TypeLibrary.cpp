#include "com/TypeLibrary.h"

#include <algorithm>
#include <charconv>

#include "com/CaseInsensitive.h"

namespace com {
namespace {

struct Token {
    std::string text;
    bool quoted = false;
};

// Splits one line into words and quoted strings; commas separate like blanks.
bool Tokenize(std::string_view line, std::vector<Token>* tokens, std::string* problem) {
    size_t i = 0;
    while (i < line.size()) {
        char c = line[i];
        if (c == ' ' || c == '\t' || c == ',' || c == '\r') {
            ++i;
        } else if (c == '#') {
            break;
        } else if (c == '"') {
            Token token{"", true};
            for (++i;; ++i) {
                if (i >= line.size()) {
                    *problem = "unterminated string";
                    return false;
                }
                if (line[i] == '"') break;
                if (line[i] == '\\' && i + 1 < line.size()) ++i;
                token.text += line[i];
            }
            ++i;
            tokens->push_back(std::move(token));
        } else {
            size_t end = line.find_first_of(" \t,\r\"#", i);
            if (end == std::string_view::npos) end = line.size();
            tokens->push_back({std::string(line.substr(i, end - i)), false});
            i = end;
        }
    }
    return true;
}

std::string Quote(std::string_view text) {
    std::string result = "\"";
    for (char c : text) {
        if (c == '"' || c == '\\') result += '\\';
        result += c;
    }
    return result + '"';
}

const char* TypeName(ParamType type) {
    return type == ParamType::Long ? "long" : "BSTR";
}

class Reader {
  public:
    std::optional<TypeLibrary> Read(std::string_view text, std::string* error);

  private:
    bool Declaration(const std::vector<Token>& tokens);
    bool Library(const std::vector<Token>& tokens);
    bool Interface(const std::vector<Token>& tokens);
    bool Member(const std::vector<Token>& tokens, MemberKind kind);
    bool Class(const std::vector<Token>& tokens);
    bool CheckClasses();

    bool Fail(std::string problem) {
        m_problem = std::move(problem);
        return false;
    }
    bool Word(const Token& token, std::string* word) {
        if (token.quoted || token.text.empty()) return Fail("a name is expected");
        *word = token.text;
        return true;
    }
    bool Help(const Token& token, std::string* help) {
        if (!token.quoted) return Fail("a quoted help string is expected");
        *help = token.text;
        return true;
    }
    bool GuidOf(const Token& token, Guid* guid) {
        std::optional<Guid> parsed = ParseGuid(token.text);
        if (token.quoted || !parsed) return Fail("malformed identifier '" + token.text + "'");
        *guid = *parsed;
        return true;
    }

    TypeLibrary m_library;
    bool m_haveLibrary = false;
    std::string m_problem;
};

std::optional<TypeLibrary> Reader::Read(std::string_view text, std::string* error) {
    int lineNumber = 0;
    while (!text.empty()) {
        size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        ++lineNumber;
        std::vector<Token> tokens;
        if (!Tokenize(line, &tokens, &m_problem) || (!tokens.empty() && !Declaration(tokens))) {
            if (error != nullptr) *error = "line " + std::to_string(lineNumber) + ": " + m_problem;
            return std::nullopt;
        }
    }
    if (!m_haveLibrary) m_problem = "no library declaration";
    if (!m_haveLibrary || !CheckClasses()) {
        if (error != nullptr) *error = m_problem;
        return std::nullopt;
    }
    return std::move(m_library);
}

bool Reader::Declaration(const std::vector<Token>& tokens) {
    const std::string& keyword = tokens[0].text;
    if (tokens[0].quoted) return Fail("a declaration must start with a keyword");
    if (keyword == "library") return Library(tokens);
    if (!m_haveLibrary) return Fail("the library must be declared first");
    if (keyword == "interface") return Interface(tokens);
    if (keyword == "method") return Member(tokens, MemberKind::Method);
    if (keyword == "propput") return Member(tokens, MemberKind::PropertyPut);
    if (keyword == "coclass") return Class(tokens);
    return Fail("unknown declaration '" + keyword + "'");
}

bool Reader::Library(const std::vector<Token>& tokens) {
    if (m_haveLibrary) return Fail("a second library declaration");
    if (tokens.size() != 5) return Fail("library NAME {LIBID} MAJOR.MINOR \"help\" expected");
    const std::string& version = tokens[3].text;
    size_t dot = version.find('.');
    unsigned major = 0, minor = 0;
    const char* end = version.data() + version.size();
    bool versionOk =
        dot != std::string::npos &&
        std::from_chars(version.data(), version.data() + dot, major).ptr == version.data() + dot &&
        std::from_chars(version.data() + dot + 1, end, minor).ptr == end && dot > 0 &&
        dot + 1 < version.size() && major <= 0xFFFF && minor <= 0xFFFF;
    if (!versionOk) return Fail("malformed version '" + version + "'");
    m_library.majorVersion = uint16_t(major);
    m_library.minorVersion = uint16_t(minor);
    m_haveLibrary = true;
    return Word(tokens[1], &m_library.name) && GuidOf(tokens[2], &m_library.libId) &&
           Help(tokens[4], &m_library.helpString);
}

bool Reader::Interface(const std::vector<Token>& tokens) {
    if (tokens.size() < 5) return Fail("interface NAME {IID} PARENT \"help\" expected");
    InterfaceDescription description;
    if (!Word(tokens[1], &description.name) || !GuidOf(tokens[2], &description.iid) ||
        !Word(tokens[3], &description.parent) || !Help(tokens[4], &description.helpString)) {
        return false;
    }
    for (size_t i = 5; i < tokens.size(); ++i) {
        if (tokens[i].text == "dual" && !tokens[i].quoted) {
            description.dual = true;
        } else if (tokens[i].text == "oleautomation" && !tokens[i].quoted) {
            description.oleAutomation = true;
        } else {
            return Fail("unknown interface attribute '" + tokens[i].text + "'");
        }
    }
    if (m_library.FindInterface(description.name) != nullptr) {
        return Fail("interface " + description.name + " declared twice");
    }
    m_library.interfaces.push_back(std::move(description));
    return true;
}

bool Reader::Member(const std::vector<Token>& tokens, MemberKind kind) {
    if (m_library.interfaces.empty()) return Fail("a member outside an interface");
    if (tokens.size() < 4 || (tokens.size() - 4) % 3 != 0) {
        return Fail("KIND DISPID NAME \"help\" then parameters as DIRECTION TYPE NAME expected");
    }
    MemberDescription member;
    member.kind = kind;
    const std::string& number = tokens[1].text;
    const char* end = number.data() + number.size();
    if (tokens[1].quoted || std::from_chars(number.data(), end, member.dispId).ptr != end ||
        number.empty()) {
        return Fail("malformed DISPID '" + number + "'");
    }
    if (!Word(tokens[2], &member.name) || !Help(tokens[3], &member.helpString)) return false;
    for (size_t i = 4; i < tokens.size(); i += 3) {
        ParamDescription param;
        const std::string& direction = tokens[i].text;
        const std::string& type = tokens[i + 1].text;
        if (direction != "in" && direction != "retval") {
            return Fail("parameter direction must be in or retval, not '" + direction + "'");
        }
        if (type != "long" && type != "BSTR") return Fail("unknown parameter type '" + type + "'");
        if (!member.params.empty() && member.params.back().isRetval) {
            return Fail("the result must be the last parameter");
        }
        param.isRetval = direction == "retval";
        param.type = type == "long" ? ParamType::Long : ParamType::Bstr;
        if (!Word(tokens[i + 2], &param.name)) return false;
        member.params.push_back(std::move(param));
    }
    if (kind == MemberKind::PropertyPut && (member.params.size() != 1 || member.HasResult())) {
        return Fail("a property put takes exactly one argument");
    }
    InterfaceDescription& owner = m_library.interfaces.back();
    if (owner.FindMember(member.dispId) != nullptr || owner.FindMember(member.name) != nullptr) {
        return Fail("member " + member.name + " or DISPID " + number + " declared twice");
    }
    owner.members.push_back(std::move(member));
    return true;
}

bool Reader::Class(const std::vector<Token>& tokens) {
    if (tokens.size() != 5) return Fail("coclass NAME {CLSID} \"help\" INTERFACE expected");
    ClassDescription description;
    if (!Word(tokens[1], &description.name) || !GuidOf(tokens[2], &description.clsid) ||
        !Help(tokens[3], &description.helpString) ||
        !Word(tokens[4], &description.defaultInterface)) {
        return false;
    }
    m_library.classes.push_back(std::move(description));
    return true;
}

bool Reader::CheckClasses() {
    for (const ClassDescription& description : m_library.classes) {
        if (m_library.FindInterface(description.defaultInterface) == nullptr) {
            return Fail("class " + description.name + " names the undescribed interface " +
                        description.defaultInterface);
        }
    }
    return true;
}

}  // namespace

size_t MemberDescription::ArgumentCount() const {
    return params.size() - (HasResult() ? 1 : 0);
}

const MemberDescription* InterfaceDescription::FindMember(DISPID dispId) const {
    auto found = std::find_if(members.begin(), members.end(),
                              [&](const MemberDescription& m) { return m.dispId == dispId; });
    return found == members.end() ? nullptr : &*found;
}

const MemberDescription* InterfaceDescription::FindMember(std::string_view memberName) const {
    auto found = std::find_if(members.begin(), members.end(), [&](const MemberDescription& m) {
        return EqualIgnoringCase(m.name, memberName);
    });
    return found == members.end() ? nullptr : &*found;
}

const InterfaceDescription* TypeLibrary::FindInterface(const IID& iid) const {
    auto found = std::find_if(interfaces.begin(), interfaces.end(),
                              [&](const InterfaceDescription& i) { return i.iid == iid; });
    return found == interfaces.end() ? nullptr : &*found;
}

const InterfaceDescription* TypeLibrary::FindInterface(std::string_view interfaceName) const {
    auto found =
        std::find_if(interfaces.begin(), interfaces.end(),
                     [&](const InterfaceDescription& i) { return i.name == interfaceName; });
    return found == interfaces.end() ? nullptr : &*found;
}

const ClassDescription* TypeLibrary::FindClass(std::string_view className) const {
    auto found = std::find_if(classes.begin(), classes.end(),
                              [&](const ClassDescription& c) { return c.name == className; });
    return found == classes.end() ? nullptr : &*found;
}

std::string TypeLibrary::VersionText() const {
    return std::to_string(majorVersion) + "." + std::to_string(minorVersion);
}

std::optional<TypeLibrary> ReadTypeLibraryText(std::string_view text, std::string* error) {
    return Reader().Read(text, error);
}

std::string WriteTypeLibraryText(const TypeLibrary& library) {
    std::string text = "library " + library.name + " " + ToString(library.libId) + " " +
                       library.VersionText() + " " + Quote(library.helpString) + "\n";
    for (const InterfaceDescription& description : library.interfaces) {
        text += "interface " + description.name + " " + ToString(description.iid) + " " +
                description.parent + " " + Quote(description.helpString);
        if (description.dual) text += " dual";
        if (description.oleAutomation) text += " oleautomation";
        text += "\n";
        for (const MemberDescription& member : description.members) {
            text += member.kind == MemberKind::Method ? "method " : "propput ";
            text +=
                std::to_string(member.dispId) + " " + member.name + " " + Quote(member.helpString);
            for (const ParamDescription& param : member.params) {
                text += param.isRetval ? " retval " : " in ";
                text += std::string(TypeName(param.type)) + " " + param.name;
            }
            text += "\n";
        }
    }
    for (const ClassDescription& description : library.classes) {
        text += "coclass " + description.name + " " + ToString(description.clsid) + " " +
                Quote(description.helpString) + " " + description.defaultInterface + "\n";
    }
    return text;
}

}  // namespace com
