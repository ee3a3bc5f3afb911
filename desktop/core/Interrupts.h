// Interrupt signals, with or without the window. SIGINT, SIGTERM and SIGHUP only note the
// signal: the running job sees it at its next check, ends the outside program it waits for
// (with its process group), removes its working files and leaves the earlier output as it was;
// the program then exits with 128 + the signal. A job that has not ended a second after the
// signal (it waits on something no check reaches) ends with the program there and then, its
// rows' half-written outputs removed. SIGXFSZ is ignored, so that a write over the
// file-size limit fails with an error the job reports instead of ending the program.
#pragma once

namespace desktop {

void InstallInterruptHandlers();

// The signal noted since the start (0: none).
int InterruptSignal();

}  // namespace desktop
