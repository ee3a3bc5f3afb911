#include "desktop/core/Interrupts.h"

#include <signal.h>
#include <unistd.h>

#include <initializer_list>

#include "platform/PartialFiles.h"

namespace desktop {

namespace {

volatile sig_atomic_t g_signal = 0;

// How long the job has to end by itself after a signal, in seconds.
constexpr unsigned kGraceSeconds = 1;

extern "C" void NoteSignal(int number) {
    if (g_signal == 0) ::alarm(kGraceSeconds);
    g_signal = number;
}

// The job did not end in time (it waits on something no check reaches): the program ends
// here, without the half-written outputs of its rows.
extern "C" void EndNow(int) {
    platform::RemoveListedPartialFiles();
    ::_exit(128 + g_signal);
}

}  // namespace

void InstallInterruptHandlers() {
    struct sigaction action {};
    action.sa_handler = NoteSignal;
    sigemptyset(&action.sa_mask);
    for (int number : {SIGINT, SIGTERM, SIGHUP}) ::sigaction(number, &action, nullptr);
    struct sigaction backstop {};
    backstop.sa_handler = EndNow;
    sigemptyset(&backstop.sa_mask);
    ::sigaction(SIGALRM, &backstop, nullptr);
    ::signal(SIGXFSZ, SIG_IGN);
}

int InterruptSignal() {
    return g_signal;
}

}  // namespace desktop
