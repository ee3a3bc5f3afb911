#include "platform/PartialFiles.h"

#include <signal.h>
#include <unistd.h>

#include <array>
#include <atomic>
#include <cstring>
#include <memory>

namespace platform {

namespace {

constexpr std::array<int, 3> kEndingSignals{SIGINT, SIGTERM, SIGHUP};

// A handful of files are written at once (one per batch row at most); a name that finds no
// free place is still removed by its writer on any failure but a signal.
std::array<std::atomic<char*>, 64> g_listed{};
std::array<struct sigaction, kEndingSignals.size()> g_previous{};
std::atomic<bool> g_installed{false};

size_t SignalIndex(int number) {
    for (size_t i = 0; i < kEndingSignals.size(); ++i) {
        if (kEndingSignals[i] == number) return i;
    }
    return 0;
}

bool IsFunction(const struct sigaction& action) {
    if (action.sa_flags & SA_SIGINFO) return action.sa_sigaction != nullptr;
    return action.sa_handler != SIG_DFL && action.sa_handler != SIG_IGN;
}

// Only async-signal-safe calls: unlink, the earlier handler, _exit.
extern "C" void RemoveListedAndEnd(int number, siginfo_t* info, void* context) {
    RemoveListedPartialFiles();
    const struct sigaction& previous = g_previous[SignalIndex(number)];
    if (IsFunction(previous)) {
        if (previous.sa_flags & SA_SIGINFO) {
            previous.sa_sigaction(number, info, context);
        } else {
            previous.sa_handler(number);
        }
        return;
    }
    ::_exit(128 + number);
}

void Install() {
    if (g_installed.exchange(true)) return;
    struct sigaction action {};
    action.sa_sigaction = RemoveListedAndEnd;
    action.sa_flags = SA_SIGINFO;
    sigemptyset(&action.sa_mask);
    for (size_t i = 0; i < kEndingSignals.size(); ++i) {
        ::sigaction(kEndingSignals[i], &action, &g_previous[i]);
    }
}

}  // namespace

void RemoveListedPartialFiles() {
    // The names stay allocated: the program is about to end.
    for (std::atomic<char*>& slot : g_listed) {
        if (char* path = slot.exchange(nullptr)) ::unlink(path);
    }
}

void RemovePartialFilesOnSignals() {
    Install();
    ::signal(SIGXFSZ, SIG_IGN);
}

void JoinPartialFileRemoval() {
    Install();
}

bool PartialFilesRemovedOnSignals() {
    return g_installed;
}

bool ListPartialFile(const std::string& path) {
    auto copy = std::make_unique<char[]>(path.size() + 1);
    std::memcpy(copy.get(), path.c_str(), path.size() + 1);
    for (std::atomic<char*>& slot : g_listed) {
        char* expected = nullptr;
        if (slot.compare_exchange_strong(expected, copy.get())) {
            copy.release();
            return true;
        }
    }
    return false;
}

void UnlistPartialFile(const std::string& path) {
    for (std::atomic<char*>& slot : g_listed) {
        char* listed = slot.load();
        if (listed == nullptr || path != listed) continue;
        if (slot.compare_exchange_strong(listed, nullptr)) {
            std::unique_ptr<char[]> owned(listed);
            return;
        }
    }
}

}  // namespace platform
