// The office server of a session: an `office-server` process (tools/office-server) that keeps
// one LibreOffice for every office conversion of a batch and of the window's session, instead
// of a LibreOffice started and ended for each document. A batch that runs several rows at once
// lets as many servers run (SetInstances), each with its own LibreOffice and private profile:
// a conversion takes a free one that already runs, else starts another while there are fewer
// than allowed, else waits for one; the extra servers end with the batch. The servers' private
// profiles record the installed LibreOffice's version and start from a template of an
// initialized profile (tools/office_profile.py), so a start costs a few tenths of a second and
// the rows' LibreOffices start side by side.
//
// The server is started on first need, under the converters' memory limit, in a private folder
// (mode 0700) made for it inside $TMPDIR; its socket lies there, and its address reaches only
// the office converters this program starts, in their environment (kOfficeServerVariable).
// One conversion uses a server at a time: a Lease holds its lock for the whole conversion, so
// conversions from several threads queue for the servers and each one's time limit counts only
// its own work. A conversion that timed out, was cancelled or was ended by a signal discards the
// server with its LibreOffice, and the next conversion starts a fresh one. The server ends with the
// object (or Stop()), which removes its folder and LibreOffice's sockets; should this program
// end without that, the server sees its standard input close and does the same itself.
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
    // `memoryLimit`: the address space the server and its LibreOffice may use (0: no limit).
    explicit OfficeServer(uint64_t memoryLimit, std::string program = "office-server");
    ~OfficeServer() { Stop(); }
    OfficeServer(const OfficeServer&) = delete;
    OfficeServer& operator=(const OfficeServer&) = delete;

  private:
    // One server process with its private folder.
    struct Instance {
        std::timed_mutex mutex;  // held by the lease of the conversion using it
        platform::ChildProcess process;
        std::string folder;  // the server's private folder; empty when none runs
    };

  public:
    // Holds one server for one conversion.
    class Lease {
      public:
        Lease(Lease&&) = default;
        // The socket's address, starting the server when none runs; empty with `error` set when
        // it cannot be started.
        std::string Address(std::string* error);
        // Ends the server, whatever it is doing, so that the next lease starts a fresh one.
        void Discard() { m_owner.End(m_instance); }

      private:
        friend class OfficeServer;
        Lease(OfficeServer& owner, Instance& instance, std::unique_lock<std::timed_mutex> lock)
            : m_owner(owner), m_instance(instance), m_lock(std::move(lock)) {}
        OfficeServer& m_owner;
        Instance& m_instance;
        std::unique_lock<std::timed_mutex> m_lock;
    };
    // A free server, preferring one that runs; waits while every allowed server is held,
    // asking `keepWaiting` (when given) every few tens of milliseconds; nullopt when it
    // answered false (cancelled).
    std::optional<Lease> Take(const std::function<bool()>& keepWaiting = {});

    // How many servers may run at once (1 to kMaxOfficeServers). Lowering it waits for
    // conversions that hold the servers beyond the new count, then tells them to end without
    // waiting until they have: they end beside whatever comes next (the program's own end
    // after a batch), and the next SetInstances() or Stop() reaps them.
    void SetInstances(int count);

    // Ends every server that runs (the batch or the program ends), side by side; waits for
    // conversions that hold them.
    void Stop();

    // How many servers were started so far.
    int Starts() const { return m_starts.load(); }
    // The server program's name, as it is looked for (platform::FindProgram).
    const std::string& Program() const { return m_program; }

  private:
    bool Start(Instance& instance, std::string* error);
    bool WaitUntilListening(Instance& instance, std::string* error);
    // Ends the server and removes what it leaves.
    void End(Instance& instance);
    // Waits for the servers told to end by SetInstances() and removes what they leave. Called
    // under m_instancesMutex.
    void EndRetired();
    void RemoveLeftovers(Instance& instance);
    // A free instance (one that runs first), made when all are held and fewer than allowed
    // exist; `turn` names the one to wait for when none is free. Called under
    // m_instancesMutex.
    std::optional<Lease> TakeFree(size_t turn);

    const uint64_t m_memoryLimit;
    const std::string m_program;
    std::mutex m_instancesMutex;  // guards the list and the count, never held by a lease
    std::vector<std::unique_ptr<Instance>> m_instances;
    std::vector<std::unique_ptr<Instance>> m_retired;  // told to end, not yet reaped
    size_t m_allowed = 1;
    std::atomic<int> m_starts{0};
};

// The most servers a session lets run at once.
inline constexpr int kMaxOfficeServers = 16;

}  // namespace desktop
