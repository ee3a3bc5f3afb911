#include "desktop/core/OfficeServer.h"

#include <sys/stat.h>

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
    std::unique_lock<std::timed_mutex> lock(m_mutex, std::defer_lock);
    while (!lock.try_lock_for(std::chrono::milliseconds(30))) {
        if (keepWaiting && !keepWaiting()) return std::nullopt;
    }
    return Lease(*this, std::move(lock));
}

std::string OfficeServer::Lease::Address(std::string* error) {
    // A server whose socket went (a cleaner of old temporary files) is replaced too.
    bool serving =
        m_server.m_process.IsRunning() && IsSocket(m_server.m_folder + "/" + kSocketName);
    if (!serving && !m_server.Start(error)) return {};
    return m_server.m_folder + "/" + kSocketName;
}

void OfficeServer::Stop() {
    std::lock_guard<std::timed_mutex> lock(m_mutex);
    End();
}

bool OfficeServer::Start(std::string* error) {
    End();
    m_folder = platform::MakePrivateFolder("velmora-office-", error);
    if (m_folder.empty()) return false;
    platform::SpawnSettings settings;
    settings.environment = platform::EnvironmentWith({"TMPDIR=" + m_folder});
    settings.addressSpaceLimit = m_memoryLimit;
    if (!m_process.Start(m_program, {m_folder}, settings, error) || !WaitUntilListening(error)) {
        End();
        return false;
    }
    ++m_starts;
    return true;
}

bool OfficeServer::WaitUntilListening(std::string* error) {
    std::string socket = m_folder + "/" + kSocketName;
    auto deadline = std::chrono::steady_clock::now() + kListenTimeout;
    while (!IsSocket(socket)) {
        if (!m_process.IsRunning()) {
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

void OfficeServer::End() {
    m_process.End(kEndGrace);
    RemoveLeftovers();
}

// A server that was killed leaves its folder and LibreOffice's sockets; only names in /tmp that
// LibreOffice gives its sockets are removed, whatever the list says.
void OfficeServer::RemoveLeftovers() {
    if (m_folder.empty()) return;
    std::ifstream listed(m_folder + "/" + kSocketsFile);
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
    std::filesystem::remove_all(m_folder, error);
    while (std::filesystem::exists(m_folder, error) &&
           std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        std::filesystem::remove_all(m_folder, error);
    }
    m_folder.clear();
}

}  // namespace desktop
