#include "platform/SharedLibrary.h"

#include <dlfcn.h>

#include <filesystem>
#include <system_error>
#include <utility>

namespace platform {

SharedLibrary::SharedLibrary(SharedLibrary&& other) noexcept
    : m_handle(std::exchange(other.m_handle, nullptr)) {}

SharedLibrary& SharedLibrary::operator=(SharedLibrary&& other) noexcept {
    if (this != &other) {
        Close();
        m_handle = std::exchange(other.m_handle, nullptr);
    }
    return *this;
}

bool SharedLibrary::Open(const std::string& path, std::string* error) {
    Close();
    m_handle = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (m_handle == nullptr && error != nullptr) {
        const char* reason = ::dlerror();
        *error = reason != nullptr ? reason : "cannot load " + path;
    }
    return m_handle != nullptr;
}

void SharedLibrary::Close() {
    if (m_handle != nullptr) ::dlclose(std::exchange(m_handle, nullptr));
}

void* SharedLibrary::Symbol(const char* name) const {
    return m_handle != nullptr ? ::dlsym(m_handle, name) : nullptr;
}

std::string ProgramFolder() {
    std::error_code error;
    std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::string() : program.parent_path().string();
}

}  // namespace platform
