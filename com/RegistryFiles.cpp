#include "com/RegistryFiles.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "platform/File.h"
#include "platform/ReplaceFile.h"
#include "platform/SharedLibrary.h"

namespace com {
namespace fs = std::filesystem;
namespace {

// A registry is a few kilobytes; anything far larger is not one.
constexpr int64_t kMaxRegistryBytes = 16 << 20;

std::string Environment(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

std::string UserRegistryPath() {
    std::string config = Environment("XDG_CONFIG_HOME");
    if (config.empty() || config.front() != '/') {
        std::string home = Environment("HOME");
        if (home.empty()) return "";
        config = home + "/.config";
    }
    return config + "/velmora/registry";
}

std::string InstallationRegistryPath() {
    std::string folder = platform::LibraryFolder();
    return folder.empty() ? "" : folder + "/registry";
}

bool Exists(const std::string& path) {
    std::error_code error;
    return !path.empty() && fs::exists(path, error);
}

// Holds an exclusive lock on "<registry>.lock" for one read-modify-write.
class RegistryLock {
  public:
    explicit RegistryLock(const std::string& registryPath) {
        m_fd = ::open((registryPath + ".lock").c_str(), O_CREAT | O_RDWR | O_CLOEXEC, 0644);
        if (m_fd >= 0 && ::flock(m_fd, LOCK_EX) != 0) {
            ::close(m_fd);
            m_fd = -1;
        }
    }
    ~RegistryLock() {
        if (m_fd >= 0) ::close(m_fd);  // closing releases the lock
    }
    RegistryLock(const RegistryLock&) = delete;
    RegistryLock& operator=(const RegistryLock&) = delete;
    bool Held() const { return m_fd >= 0; }

  private:
    int m_fd = -1;
};

}  // namespace

std::vector<std::string> RegistryPathsForReading() {
    std::string chosen = Environment("VELMORA_REGISTRY");
    if (!chosen.empty()) return {chosen};
    std::vector<std::string> paths;
    for (std::string path : {UserRegistryPath(), InstallationRegistryPath()}) {
        if (!path.empty()) paths.push_back(std::move(path));
    }
    return paths;
}

std::string RegistryPathForWriting() {
    std::string chosen = Environment("VELMORA_REGISTRY");
    if (!chosen.empty()) return chosen;
    std::string user = UserRegistryPath();
    std::string installation = InstallationRegistryPath();
    if (Exists(user)) return user;
    if (Exists(installation)) return installation;
    return user;
}

HRESULT LoadRegistryFile(const std::string& path, Registry* registry, std::string* error) {
    std::string ignored;
    std::string& problem = error != nullptr ? *error : ignored;
    *registry = Registry();
    if (!Exists(path)) return S_OK;
    platform::ReadFile file;
    if (!file.Open(path)) {
        problem = "cannot read the registry " + path;
        return REGDB_E_READREGDB;
    }
    if (file.Size() > kMaxRegistryBytes) {
        problem = "the registry " + path + " is too large to be one";
        return REGDB_E_READREGDB;
    }
    std::string text(size_t(file.Size()), '\0');
    if (file.ReadAt(0, text.data(), text.size()) != file.Size()) {
        problem = "cannot read the registry " + path;
        return REGDB_E_READREGDB;
    }
    if (!registry->Parse(text, &problem)) {
        problem = "the registry " + path + " is damaged: " + problem;
        return REGDB_E_READREGDB;
    }
    return S_OK;
}

HRESULT ReadRegistryValue(const std::string& key, const std::string& name, std::string* value) {
    for (const std::string& path : RegistryPathsForReading()) {
        Registry registry;
        if (HRESULT hr = LoadRegistryFile(path, &registry); FAILED(hr)) return hr;
        if (std::optional<std::string> found = registry.GetValue(key, name)) {
            *value = *found;
            return S_OK;
        }
    }
    return S_FALSE;
}

HRESULT UpdateRegistryFile(const std::string& requestedPath,
                           const std::function<HRESULT(Registry&)>& change, std::string* error) {
    std::string ignored;
    std::string& problem = error != nullptr ? *error : ignored;
    if (requestedPath.empty()) {
        problem = "no place for the registry: set VELMORA_REGISTRY or HOME";
        return REGDB_E_WRITEREGDB;
    }
    std::error_code fsError;
    // Changing a linked registry changes the file it links to, not the link.
    std::string path = fs::is_symlink(requestedPath, fsError)
                           ? fs::weakly_canonical(requestedPath, fsError).string()
                           : requestedPath;
    fs::path folder = fs::path(path).parent_path();
    if (!folder.empty()) fs::create_directories(folder, fsError);
    RegistryLock lock(path);
    if (!lock.Held()) {
        problem = "cannot lock the registry " + path + ": " + std::strerror(errno);
        return REGDB_E_WRITEREGDB;
    }
    Registry registry;
    if (FAILED(LoadRegistryFile(path, &registry, &problem))) return REGDB_E_WRITEREGDB;
    HRESULT hr = change(registry);
    if (FAILED(hr)) return hr;
    std::string failure = platform::ReplaceFileWith(path, registry.Text());
    if (!failure.empty()) {
        problem = "cannot replace " + path + ": " + failure;
        return REGDB_E_WRITEREGDB;
    }
    return hr;
}

}  // namespace com
