#include "desktop/core/OfficeServer.h"

#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <thread>

#include "desktop/core/Interrupts.h"
#include "desktop/core/OfficeRequest.h"

namespace desktop {

namespace {

// The first seat's socket inside the server's folder (seat N's adds "-N"), the socket that
// ends a seat's LibreOffice, and the file where the server lists the sockets LibreOffice makes
// in /tmp whatever TMPDIR says.
constexpr char kSocketName[] = "requests";
constexpr char kControlName[] = "control";
constexpr char kSocketsFile[] = "office-sockets";
constexpr char kLibreOfficeSocketFolder[] = "/tmp/OSL_PIPE_";

// How long a server may take to listen: a Python start on a busy machine.
constexpr std::chrono::seconds kListenTimeout{60};
// How long a server may take to end its LibreOffices when asked politely.
constexpr std::chrono::seconds kEndGrace{10};
// How long the server may take to end a seat's LibreOffice when told to.
constexpr std::chrono::seconds kEndSeatTimeout{10};

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
            std::lock_guard<std::mutex> guard(m_seatsMutex);
            if (std::optional<Lease> lease = TakeFree(turn)) return lease;
        }
        if (keepWaiting && !keepWaiting()) return std::nullopt;
    }
}

std::optional<OfficeServer::Lease> OfficeServer::TakeFree(size_t turn) {
    std::unique_lock<std::timed_mutex> cold;
    Seat* coldSeat = nullptr;
    for (const std::unique_ptr<Seat>& seat : m_seats) {
        std::unique_lock<std::timed_mutex> lock(seat->mutex, std::try_to_lock);
        if (!lock.owns_lock()) continue;
        if (seat->warm) return Lease(*this, *seat, std::move(lock));
        if (coldSeat == nullptr) {
            cold = std::move(lock);
            coldSeat = seat.get();
        }
    }
    if (coldSeat != nullptr) return Lease(*this, *coldSeat, std::move(cold));
    if (m_seats.size() < m_allowed) {
        Seat& made =
            *m_seats.emplace_back(std::make_unique<Seat>(static_cast<int>(m_seats.size())));
        return Lease(*this, made, std::unique_lock<std::timed_mutex>(made.mutex));
    }
    // All held: wait a little for one of them, in turn.
    Seat& waited = *m_seats[turn % m_seats.size()];
    std::unique_lock<std::timed_mutex> lock(waited.mutex, std::defer_lock);
    if (lock.try_lock_for(std::chrono::milliseconds(30))) {
        return Lease(*this, waited, std::move(lock));
    }
    return std::nullopt;
}

void OfficeServer::SetInstances(int count) {
    std::lock_guard<std::mutex> guard(m_seatsMutex);
    m_allowed = static_cast<size_t>(std::clamp(count, 1, kMaxOfficeServers));
    while (m_seats.size() > m_allowed) {
        std::unique_ptr<Seat> extra = std::move(m_seats.back());
        m_seats.pop_back();
        std::lock_guard<std::timed_mutex> lock(extra->mutex);
        if (extra->warm) EndSeat(*extra);
    }
}

std::string OfficeServer::Address(Seat& seat, std::string* error) {
    std::lock_guard<std::mutex> guard(m_serverMutex);
    // A server whose socket went (a cleaner of old temporary files) is replaced too.
    bool serving = m_process.IsRunning() && IsSocket(SocketPath(seat));
    if (!serving && !StartServer(error)) return {};
    seat.warm = true;
    return SocketPath(seat);
}

std::string OfficeServer::SocketPath(const Seat& seat) const {
    std::string path = m_folder + "/" + kSocketName;
    return seat.number == 0 ? path : path + "-" + std::to_string(seat.number);
}

void OfficeServer::EndSeat(Seat& seat) {
    seat.warm = false;
    std::lock_guard<std::mutex> guard(m_serverMutex);
    if (m_folder.empty()) return;
    std::string line = "{\"end\": " + std::to_string(seat.number) + "}\n";
    if (!m_process.IsRunning() ||
        !SendOfficeControl(m_folder + "/" + kControlName, line, kEndSeatTimeout)) {
        EndServer();  // a server that cannot end one LibreOffice goes with all of them
    }
}

void OfficeServer::Stop() {
    std::lock_guard<std::mutex> guard(m_seatsMutex);
    std::vector<std::unique_lock<std::timed_mutex>> held;
    for (const std::unique_ptr<Seat>& seat : m_seats) {
        held.emplace_back(seat->mutex);
        seat->warm = false;
    }
    std::lock_guard<std::mutex> server(m_serverMutex);
    EndServer();
}

bool OfficeServer::StartServer(std::string* error) {
    EndServer();
    m_folder = platform::MakePrivateFolder("velmora-office-", error);
    if (m_folder.empty()) return false;
    platform::SpawnSettings settings;
    settings.environment = platform::EnvironmentWith({"TMPDIR=" + m_folder});
    settings.addressSpaceLimit = m_memoryLimit;
    if (!m_process.Start(m_program, {m_folder, std::to_string(m_allowed.load())}, settings,
                         error) ||
        !WaitUntilListening(error)) {
        EndServer();
        return false;
    }
    ++m_starts;
    return true;
}

bool OfficeServer::WaitUntilListening(std::string* error) {
    // The first seat's socket is made last: with it, every other one is there.
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

void OfficeServer::EndServer() {
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
