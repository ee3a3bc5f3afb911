#include "desktop/core/ProgramCall.h"

#include <cctype>

namespace desktop {

std::string LinuxProgramName(std::string_view systemName) {
    if (systemName == "wkhtmltopdf32.exe") return "wkhtmltopdf";
    std::string name(systemName);
    for (std::string_view ending : {".exe", ".bat"}) {
        if (name.size() > ending.size() && name.ends_with(ending)) {
            name.resize(name.size() - ending.size());
            break;
        }
    }
    for (char& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return name;
}

std::string FileTitle(std::string_view name) {
    size_t slash = name.find_last_of("/\\");
    return std::string(slash == std::string_view::npos ? name : name.substr(slash + 1));
}

}  // namespace desktop
