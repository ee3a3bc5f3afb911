#include "testing/Waiting.h"

#include <signal.h>

#include <fstream>
#include <string>
#include <thread>

namespace testing_support {

bool WaitUntil(const std::function<bool()>& done, std::chrono::milliseconds bound) {
    auto deadline = std::chrono::steady_clock::now() + bound;
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return true;
}

bool ProcessGone(pid_t pid) {
    if (::kill(pid, 0) != 0) return true;
    // A zombie still answers kill(); its state letter follows the name in parentheses.
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
    size_t close = text.rfind(')');
    return close == std::string::npos || (close + 2 < text.size() && text[close + 2] == 'Z');
}

bool WaitUntilGone(pid_t pid, std::chrono::milliseconds bound) {
    return WaitUntil([pid] { return ProcessGone(pid); }, bound);
}

}  // namespace testing_support
