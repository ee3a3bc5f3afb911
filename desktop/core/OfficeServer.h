// The office server of a session: one `office-server` process (tools/office-server) that keeps
// one LibreOffice for every office conversion of a batch and of the window's session, instead
// of a LibreOffice started and ended for each document.
//
// The server is started on first need, under the converters' memory limit, in a private folder
// (mode 0700) made for it inside $TMPDIR; its socket lies there, and its address reaches only
// the office converters this program starts, in their environment (kOfficeServerVariable).
// One conversion uses it at a time: a Lease holds its lock for the whole conversion, so
// conversions from several threads queue for it and each one's time limit counts only its own
// work. A conversion that timed out, was cancelled or was ended by a signal discards the server
// with its LibreOffice, and the next conversion starts a fresh one. The server ends with the
// object (or Stop()), which removes its folder and LibreOffice's sockets; should this program
// end without that, the server sees its standard input close and does the same itself.
#pragma once

#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>

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

    // Holds the server for one conversion.
    class Lease {
      public:
        // The socket's address, starting the server when none runs; empty with `error` set when
        // it cannot be started.
        std::string Address(std::string* error);
        // Ends the server, whatever it is doing, so that the next lease starts a fresh one.
        void Discard() { m_server.End(); }

      private:
        friend class OfficeServer;
        Lease(OfficeServer& server, std::unique_lock<std::timed_mutex> lock)
            : m_server(server), m_lock(std::move(lock)) {}
        OfficeServer& m_server;
        std::unique_lock<std::timed_mutex> m_lock;
    };
    // Waits until no other conversion holds the server, asking `keepWaiting` (when given)
    // every few tens of milliseconds; nullopt when it answered false (cancelled).
    std::optional<Lease> Take(const std::function<bool()>& keepWaiting = {});

    // Ends the server if one runs (the batch or the program ends); waits for a conversion that
    // holds it.
    void Stop();

    // How many servers were started so far.
    int Starts() const { return m_starts; }

  private:
    bool Start(std::string* error);
    bool WaitUntilListening(std::string* error);
    // Ends the server and removes what it leaves.
    void End();
    void RemoveLeftovers();

    const uint64_t m_memoryLimit;
    const std::string m_program;
    std::timed_mutex m_mutex;
    platform::ChildProcess m_process;
    std::string m_folder;  // the server's private folder; empty when none runs
    int m_starts = 0;
};

}  // namespace desktop
