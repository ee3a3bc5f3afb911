#include "platform/Library.h"

#include <dlfcn.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <utility>

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
    std::string path(4096, '\0');
    ssize_t length = ::readlink("/proc/self/exe", path.data(), path.size());
    if (length <= 0 || static_cast<size_t>(length) >= path.size()) return {};
    path.resize(static_cast<size_t>(length));
    size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

Library::~Library() {
    Free();
}

Library::Library(Library&& other) noexcept
    : m_handle(std::exchange(other.m_handle, nullptr)), m_lastError(std::move(other.m_lastError)) {}

Library& Library::operator=(Library&& other) noexcept {
    if (this != &other) {
        Free();
        m_handle = std::exchange(other.m_handle, nullptr);
        m_lastError = std::move(other.m_lastError);
    }
    return *this;
}

bool Library::Load(std::string_view name) {
    Free();
    m_lastError.clear();
    std::string fileName = SharedLibraryFileName(name);
    // A name with a folder is taken as it stands; a bare name is looked for beside the
    // program first, so an installed tree uses its own copy before any on the loader path.
    if (fileName.find('/') == std::string::npos) {
        std::string folder = ProgramFolder();
        if (!folder.empty()) {
            std::string besideProgram = folder + "/../lib/" + fileName;
            if (::access(besideProgram.c_str(), R_OK) == 0) {
                m_handle = ::dlopen(besideProgram.c_str(), RTLD_NOW | RTLD_LOCAL);
            }
        }
    }
    if (m_handle == nullptr) m_handle = ::dlopen(fileName.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (m_handle == nullptr) {
        const char* error = ::dlerror();
        m_lastError = error != nullptr ? error : "cannot load " + fileName;
        return false;
    }
    return true;
}

void* Library::Symbol(const char* name) const {
    return m_handle != nullptr ? ::dlsym(m_handle, name) : nullptr;
}

void Library::Free() {
    if (m_handle != nullptr) {
        ::dlclose(m_handle);
        m_handle = nullptr;
    }
}

}  // namespace platform
