// Waiting for a condition in tests, with a generous bound instead of a fixed sleep, so a test
// passes on an idle fast machine and on a loaded slow one alike.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <functional>

namespace testing_support {

// Asks `done` every few milliseconds until it answers true (true) or `bound` has passed (false).
bool WaitUntil(const std::function<bool()>& done,
               std::chrono::milliseconds bound = std::chrono::seconds(60));

// True when process `pid` no longer runs: gone, or ended and waiting to be reaped.
bool ProcessGone(pid_t pid);

// Waits until process `pid` no longer runs; false when it still runs after `bound`.
bool WaitUntilGone(pid_t pid, std::chrono::milliseconds bound = std::chrono::seconds(60));

}  // namespace testing_support
