#include "desktop/core/OfficeServer.h"

#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <thread>

#include "desktop/core/Interrupts.h"

namespace desktop {

namespace {

// The server's socket inside its folder, and the file where it lists the sockets LibreOffice
// makes in /tmp whatever TMPDIR says.
constexpr char kSocketName[] = "requests";
constexpr char kSocketsFile[] = "office-sockets";
constexpr char kLibreOfficeSocketFolder[] = "/tmp/OSL_PIPE_";

// How long a server may take to listen: a Python start on a busy machine.
constexpr std::chrono::seconds kListenTimeout{60};
// How long a server may take to end its LibreOffice when asked politely.
constexpr std::chrono::seconds kEndGrace{10};

bool IsSocket(const std::string& path) {
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0 && S_ISSOCK(info.st_mode);
}

}  // namespace

OfficeServer::OfficeServer(uint64_t memoryLimit, std::string program)
    : m_memoryLimit(memoryLimit), m_program(std::move(program)) {}

std::optional<OfficeServer::Lease> OfficeServer::Take(const std::function<bool()>& keepWaiting) {
    for (size_t turn = 0;; ++turn) {
        {
            std::lock_guard<std::mutex> guard(m_instancesMutex);
            if (std::optional<Lease> lease = TakeFree(turn)) return lease;
        }
        if (keepWaiting && !keepWaiting()) return std::nullopt;
    }
}

std::optional<OfficeServer::Lease> OfficeServer::TakeFree(size_t turn) {
    std::unique_lock<std::timed_mutex> idle;
    Instance* idleInstance = nullptr;
    for (const std::unique_ptr<Instance>& instance : m_instances) {
        std::unique_lock<std::timed_mutex> lock(instance->mutex, std::try_to_lock);
        if (!lock.owns_lock()) continue;
        if (!instance->folder.empty()) return Lease(*this, *instance, std::move(lock));
        if (idleInstance == nullptr) {
            idle = std::move(lock);
            idleInstance = instance.get();
        }
    }
    if (idleInstance != nullptr) return Lease(*this, *idleInstance, std::move(idle));
    if (m_instances.size() < m_allowed) {
        Instance& made = *m_instances.emplace_back(std::make_unique<Instance>());
        return Lease(*this, made, std::unique_lock<std::timed_mutex>(made.mutex));
    }
    // All held: wait a little for one of them, in turn.
    Instance& waited = *m_instances[turn % m_instances.size()];
    std::unique_lock<std::timed_mutex> lock(waited.mutex, std::defer_lock);
    if (lock.try_lock_for(std::chrono::milliseconds(30))) {
        return Lease(*this, waited, std::move(lock));
    }
    return std::nullopt;
}

void OfficeServer::SetInstances(int count) {
    std::lock_guard<std::mutex> guard(m_instancesMutex);
    m_allowed = static_cast<size_t>(std::clamp(count, 1, kMaxOfficeServers));
    EndRetired();
    while (m_instances.size() > m_allowed) {
        std::unique_ptr<Instance> extra = std::move(m_instances.back());
        m_instances.pop_back();
        {
            std::lock_guard<std::timed_mutex> lock(extra->mutex);
            extra->process.CloseLifeline();
        }
        m_retired.push_back(std::move(extra));
    }
}

void OfficeServer::EndRetired() {
    for (const std::unique_ptr<Instance>& instance : m_retired) End(*instance);
    m_retired.clear();
}

std::string OfficeServer::Lease::Address(std::string* error) {
    // A server whose socket went (a cleaner of old temporary files) is replaced too.
    bool serving =
        m_instance.process.IsRunning() && IsSocket(m_instance.folder + "/" + kSocketName);
    if (!serving && !m_owner.Start(m_instance, error)) return {};
    return m_instance.folder + "/" + kSocketName;
}

void OfficeServer::Stop() {
    std::lock_guard<std::mutex> guard(m_instancesMutex);
    std::vector<std::unique_lock<std::timed_mutex>> held;
    for (const std::unique_ptr<Instance>& instance : m_instances) {
        held.emplace_back(instance->mutex);
        instance->process.CloseLifeline();  // the servers end side by side
    }
    for (const std::unique_ptr<Instance>& instance : m_instances) End(*instance);
    EndRetired();
}

bool OfficeServer::Start(Instance& instance, std::string* error) {
    End(instance);
    instance.folder = platform::MakePrivateFolder("velmora-office-", error);
    if (instance.folder.empty()) return false;
    platform::SpawnSettings settings;
    settings.environment = platform::EnvironmentWith({"TMPDIR=" + instance.folder});
    settings.addressSpaceLimit = m_memoryLimit;
    if (!instance.process.Start(m_program, {instance.folder}, settings, error) ||
        !WaitUntilListening(instance, error)) {
        End(instance);
        return false;
    }
    ++m_starts;
    return true;
}

bool OfficeServer::WaitUntilListening(Instance& instance, std::string* error) {
    std::string socket = instance.folder + "/" + kSocketName;
    auto deadline = std::chrono::steady_clock::now() + kListenTimeout;
    while (!IsSocket(socket)) {
        if (!instance.process.IsRunning()) {
            *error = "the office server ended as it started";
            return false;
        }
        if (InterruptSignal() != 0 || std::chrono::steady_clock::now() > deadline) {
            *error = "the office server did not start listening";
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return true;
}

void OfficeServer::End(Instance& instance) {
    instance.process.End(kEndGrace);
    RemoveLeftovers(instance);
}

// A server that was killed leaves its folder and LibreOffice's sockets; only names in /tmp that
// LibreOffice gives its sockets are removed, whatever the list says.
void OfficeServer::RemoveLeftovers(Instance& instance) {
    std::string& folder = instance.folder;
    if (folder.empty()) return;
    std::ifstream listed(folder + "/" + kSocketsFile);
    for (std::string path; std::getline(listed, path);) {
        if (path.starts_with(kLibreOfficeSocketFolder) && path.find("/..") == std::string::npos &&
            IsSocket(path)) {
            std::error_code ignored;
            std::filesystem::remove(path, ignored);
        }
    }
    // A LibreOffice just killed may still be writing into the folder for a moment.
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    std::error_code error;
    std::filesystem::remove_all(folder, error);
    while (std::filesystem::exists(folder, error) && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        std::filesystem::remove_all(folder, error);
    }
    folder.clear();
}

}  // namespace desktop
