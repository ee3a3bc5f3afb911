// The office server of a session: an `office-server` process (tools/office-server) that keeps
// LibreOffices for every office conversion of a batch and of the window's session, instead of a
// LibreOffice started and ended for each document. The server has seats, each a LibreOffice
// with its own private profile and socket; a batch that runs several rows at once lets as many
// seats work (SetInstances): a conversion takes a free seat whose LibreOffice already runs,
// else one more while there are fewer than allowed, else waits for one. One server (one Python)
// serves all of them, and starts as many LibreOffices as are allowed at its own start, side by
// side; seats no longer allowed end their LibreOffices. The private profiles record the
// installed LibreOffice's version and start from a template of an initialized profile
// (tools/office_profile.py), so a start costs a few tenths of a second.
//
// The server is started on first need, under the converters' memory limit, in a private folder
// (mode 0700) made for it inside $TMPDIR; its sockets lie there, and a seat's address reaches
// only the office converters this program starts, in their environment (kOfficeServerVariable).
// One conversion uses a seat at a time: a Lease holds its lock for the whole conversion, so
// conversions from several threads queue for the seats and each one's time limit counts only
// its own work. A conversion that timed out, was cancelled or was ended by a signal ends its
// seat's LibreOffice (the server's request that served it fails without writing its output),
// and the seat's next conversion starts a fresh one; a server that does not answer that is
// ended with all its LibreOffices. The server ends with the object (or Stop()), which removes
// its folder and LibreOffice's sockets; should this program end without that, the server sees
// its standard input close and does the same itself.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/ChildProcess.h"

namespace desktop {

// The environment variable that names the server's socket to the office converters.
inline constexpr std::string_view kOfficeServerVariable = "VELMORA_OFFICE_SERVER";

class OfficeServer {
  public:
    // `memoryLimit`: the address space the server and each LibreOffice may use (0: no limit).
    explicit OfficeServer(uint64_t memoryLimit, std::string program = "office-server");
    ~OfficeServer() { Stop(); }
    OfficeServer(const OfficeServer&) = delete;
    OfficeServer& operator=(const OfficeServer&) = delete;

  private:
    // One LibreOffice of the server.
    struct Seat {
        explicit Seat(int seatNumber) : number(seatNumber) {}
        std::timed_mutex mutex;  // held by the lease of the conversion using it
        const int number;
        std::atomic<bool> warm{false};  // its LibreOffice was started and not ended since
    };

  public:
    // Holds one seat for one conversion.
    class Lease {
      public:
        Lease(Lease&&) = default;
        // The seat's socket, starting the server when none runs; empty with `error` set when
        // it cannot be started.
        std::string Address(std::string* error) { return m_owner.Address(m_seat, error); }
        // Ends the seat's LibreOffice, whatever it is doing, so that the next lease starts a
        // fresh one.
        void Discard() { m_owner.EndSeat(m_seat); }

      private:
        friend class OfficeServer;
        Lease(OfficeServer& owner, Seat& seat, std::unique_lock<std::timed_mutex> lock)
            : m_owner(owner), m_seat(seat), m_lock(std::move(lock)) {}
        OfficeServer& m_owner;
        Seat& m_seat;
        std::unique_lock<std::timed_mutex> m_lock;
    };
    // A free seat, preferring one whose LibreOffice runs; waits while every allowed seat is
    // held, asking `keepWaiting` (when given) every few tens of milliseconds; nullopt when it
    // answered false (cancelled).
    std::optional<Lease> Take(const std::function<bool()>& keepWaiting = {});

    // How many seats may work at once (1 to kMaxOfficeServers). Lowering it waits for
    // conversions that hold the seats beyond the new count, then ends those seats'
    // LibreOffices.
    void SetInstances(int count);

    // Ends the server and its LibreOffices (the batch or the program ends); waits for
    // conversions that hold the seats.
    void Stop();

    // How many servers were started so far.
    int Starts() const { return m_starts.load(); }
    // The server program's name, as it is looked for (platform::FindProgram).
    const std::string& Program() const { return m_program; }

  private:
    std::string Address(Seat& seat, std::string* error);
    void EndSeat(Seat& seat);
    // The seat's socket in the server's folder.
    std::string SocketPath(const Seat& seat) const;
    // Called under m_serverMutex.
    bool StartServer(std::string* error);
    bool WaitUntilListening(std::string* error);
    // Ends the server and removes what it leaves. Called under m_serverMutex.
    void EndServer();
    void RemoveLeftovers();
    // A free seat (one whose LibreOffice runs first), made when all are held and fewer than
    // allowed exist; `turn` names the one to wait for when none is free. Called under
    // m_seatsMutex.
    std::optional<Lease> TakeFree(size_t turn);

    const uint64_t m_memoryLimit;
    const std::string m_program;
    std::mutex m_seatsMutex;  // guards the list, never held by a lease; taken before the next
    std::vector<std::unique_ptr<Seat>> m_seats;
    std::atomic<size_t> m_allowed{1};
    std::mutex m_serverMutex;  // guards the server process and its folder
    platform::ChildProcess m_process;
    std::string m_folder;  // the server's private folder; empty when none runs
    std::atomic<int> m_starts{0};
};

// The most seats a session lets work at once (the server's own limit).
inline constexpr int kMaxOfficeServers = 16;

}  // namespace desktop
