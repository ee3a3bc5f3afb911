#include "platform/SharedLibrary.h"

#include <dlfcn.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <system_error>
#include <utility>

#include "platform/PartialFiles.h"

namespace platform {

namespace {

bool EndsWith(std::string_view text, std::string_view tail) {
    return text.size() >= tail.size() && text.substr(text.size() - tail.size()) == tail;
}

std::string Lower(std::string_view text) {
    std::string lower(text);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return lower;
}

}  // namespace

SharedLibrary::SharedLibrary(SharedLibrary&& other) noexcept
    : m_handle(std::exchange(other.m_handle, nullptr)), m_lastError(std::move(other.m_lastError)) {}

SharedLibrary& SharedLibrary::operator=(SharedLibrary&& other) noexcept {
    if (this != &other) {
        Close();
        m_handle = std::exchange(other.m_handle, nullptr);
        m_lastError = std::move(other.m_lastError);
    }
    return *this;
}

bool SharedLibrary::Open(const std::string& path, std::string* error) {
    Close();
    m_lastError.clear();
    m_handle = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (m_handle == nullptr) {
        const char* reason = ::dlerror();
        m_lastError = reason != nullptr ? reason : "cannot load " + path;
        if (error != nullptr) *error = m_lastError;
        return false;
    }
    if (PartialFilesRemovedOnSignals()) JoinPartialFileRemoval(path);
    return true;
}

// A library that writes files with its own copy of the partial-file list removes them too when
// a signal ends this program. Its handler then stays installed, so the library stays loaded.
void SharedLibrary::JoinPartialFileRemoval(const std::string& path) {
    auto join = Get<void()>(kJoinPartialFileRemovalEntry);
    if (join == nullptr) return;
    ::dlopen(path.c_str(), RTLD_NOW | RTLD_NOLOAD | RTLD_NODELETE);
    join();
}

bool SharedLibrary::OpenByName(std::string_view name) {
    std::string fileName = SharedLibraryFileName(name);
    // A name with a folder is taken as it stands; a bare name is looked for beside the
    // program first, so an installed tree uses its own copy before any on the loader path.
    if (fileName.find('/') == std::string::npos) {
        std::string folder = LibraryFolder();
        std::string installed = folder + "/" + fileName;
        if (!folder.empty() && ::access(installed.c_str(), R_OK) == 0 && Open(installed)) {
            return true;
        }
    }
    return Open(fileName);
}

void SharedLibrary::Close() {
    if (m_handle != nullptr) ::dlclose(std::exchange(m_handle, nullptr));
}

void* SharedLibrary::Symbol(const char* name) const {
    return m_handle != nullptr ? ::dlsym(m_handle, name) : nullptr;
}

std::string SharedLibraryFileName(std::string_view name) {
    if (EndsWith(name, ".so") || name.find(".so.") != std::string_view::npos) {
        return std::string(name);
    }
    std::string base = Lower(name);
    if (EndsWith(base, ".dll")) base.resize(base.size() - 4);
    if (base.rfind("lib", 0) != 0) base = "lib" + base;
    return base + ".so";
}

std::string ProgramFolder() {
    std::error_code error;
    std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::string() : program.parent_path().string();
}

std::string InstallationFolderOf(std::string_view programFolder) {
    if (programFolder.empty()) return {};
    std::filesystem::path folder(programFolder);
    if (programFolder.ends_with("/" + std::string(kHelperProgramFolder))) {
        return folder.parent_path().parent_path().string();
    }
    return folder.parent_path().string();
}

std::string InstallationFolder() {
    return InstallationFolderOf(ProgramFolder());
}

std::string LibraryFolder() {
    std::string installation = InstallationFolder();
    return installation.empty() ? "" : installation + "/" + std::string(kLibraryFolder);
}

std::string SettingsFolderOf(std::string_view installation) {
    return installation == "/usr" ? "/etc" : std::string(installation) + "/etc";
}

}  // namespace platform
