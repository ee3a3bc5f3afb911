#include "desktop/core/FolderRules.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace desktop {

namespace {

std::string HomeFolder() {
    if (const char* home = std::getenv("HOME"); home != nullptr && *home != '\0') return home;
    if (const passwd* entry = getpwuid(getuid()); entry != nullptr && entry->pw_dir != nullptr)
        return entry->pw_dir;
    return {};
}

}  // namespace

std::string ExpandHome(std::string_view text) {
    if (!text.empty() && text[0] == '~' && (text.size() == 1 || text[1] == '/')) {
        return HomeFolder() + std::string(text.substr(1));
    }
    return std::string(text);
}

FolderVerdict CheckFolderText(std::string_view text) {
    std::string path = ExpandHome(text);
    if (path.empty() || path[0] != '/') return FolderVerdict::Invalid;
    std::error_code error;
    if (std::filesystem::is_directory(path, error)) return FolderVerdict::Accepted;
    return FolderVerdict::Missing;
}

bool FolderCanBeCreated(std::string_view text) {
    std::filesystem::path path = ExpandHome(text);
    if (!path.is_absolute()) return false;
    std::error_code error;
    for (std::filesystem::path at = path.parent_path();; at = at.parent_path()) {
        if (std::filesystem::exists(at, error)) {
            return std::filesystem::is_directory(at, error) && access(at.c_str(), W_OK | X_OK) == 0;
        }
        if (at == at.root_path() || at.empty()) return false;
    }
}

std::string FolderInvalidMessage(std::string_view text) {
    return "The folder:\n\n" + std::string(text) + "\n\nis invalid. Please reenter.";
}

std::string FolderMissingQuestion(std::string_view text) {
    return "The folder:\n\n" + std::string(text) +
           "\n\ndoes not exist. Do you want the folder to be created?";
}

std::string FolderCannotBeCreatedMessage(std::string_view text) {
    return "The folder:\n\n" + std::string(text) + "\n\ncan not be created. Please double check.";
}

}  // namespace desktop
