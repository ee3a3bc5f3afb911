#include "desktop/core/ConfigFolder.h"

#include <pwd.h>
#include <unistd.h>

#include <array>
#include <cstdlib>
#include <filesystem>

namespace desktop {
namespace fs = std::filesystem;
namespace {

constexpr std::array<std::string_view, 4> kConfigNames{kDefaultSetupName, kConversionIniName,
                                                       kDebugLogName, kDefaultListName};

std::string Environment(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

std::string HomeFolder() {
    std::string home = Environment("HOME");
    if (!home.empty()) return home;
    if (const passwd* entry = ::getpwuid(::getuid()); entry != nullptr && entry->pw_dir) {
        return entry->pw_dir;
    }
    return "";
}

std::string WithoutFinalSlash(std::string folder) {
    while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
    return folder;
}

bool Exists(const std::string& path) {
    std::error_code error;
    return fs::exists(path, error);
}

}  // namespace

std::string UserConfigFolder() {
    std::string config = Environment("XDG_CONFIG_HOME");
    if (config.empty() || config.front() != '/') {
        std::string home = HomeFolder();
        if (home.empty()) return "";
        config = WithoutFinalSlash(home) + "/.config";
    }
    return WithoutFinalSlash(config) + "/velmora";
}

bool IsConfigName(std::string_view name) {
    for (std::string_view each : kConfigNames) {
        if (name == each) return true;
    }
    return false;
}

ConfigFolder ConfigFolder::FromEnvironment() {
    std::error_code error;
    fs::path working = fs::current_path(error);
    return ConfigFolder(error ? std::string(".") : working.string(), UserConfigFolder());
}

ConfigFolder::ConfigFolder(std::string workingFolder, std::string userFolder) {
    std::string working = WithoutFinalSlash(std::move(workingFolder));
    if (working.empty()) working = ".";
    bool workingHasFiles = Exists(working + "/" + std::string(kDefaultSetupName)) ||
                           Exists(working + "/" + std::string(kConversionIniName));
    std::string user = WithoutFinalSlash(std::move(userFolder));
    // Without a home there is no user folder: the working folder is all there is.
    m_usesWorkingFolder = workingHasFiles || user.empty();
    m_folder = m_usesWorkingFolder ? working : user;
}

std::string ConfigFolder::PathOf(std::string_view name) const {
    return m_folder + "/" + std::string(name);
}

std::string ConfigFolder::Resolve(std::string_view name) const {
    return IsConfigName(name) ? PathOf(name) : std::string(name);
}

std::string ConfigFolder::ResolveForWriting(std::string_view name) const {
    if (IsConfigName(name) && !m_usesWorkingFolder) {
        std::error_code error;
        fs::create_directories(m_folder, error);
    }
    return Resolve(name);
}

}  // namespace desktop
