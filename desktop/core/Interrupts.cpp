#include "desktop/core/Interrupts.h"

#include <signal.h>

#include <initializer_list>

namespace desktop {

namespace {

volatile sig_atomic_t g_signal = 0;

extern "C" void NoteSignal(int number) {
    g_signal = number;
}

}  // namespace

void InstallInterruptHandlers() {
    struct sigaction action {};
    action.sa_handler = NoteSignal;
    sigemptyset(&action.sa_mask);
    for (int number : {SIGINT, SIGTERM, SIGHUP}) ::sigaction(number, &action, nullptr);
    ::signal(SIGXFSZ, SIG_IGN);
}

int InterruptSignal() {
    return g_signal;
}

}  // namespace desktop
