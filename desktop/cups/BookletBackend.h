// The print server's side of the booklet printer: the backend program that CUPS starts for each
// job, as user lp with no home and no display. It reads the job (a file or standard input, PDF
// or PostScript), imposes it with the printer's setup (or as a booklet on the paper the job
// asked for) through the desktop pipeline, and sends the result to the queue or folder its
// device URI names. It writes only in the print server's temporary folder ($TMPDIR), and says
// what went wrong with "ERROR:" lines on standard error, which the server shows as the job's
// state, and with the backend exit codes.
#pragma once

#include <string>
#include <vector>

namespace desktop {

// The exit codes of a backend that the print server acts on.
enum BackendStatus {
    kBackendOk = 0,
    kBackendFailed = 1,  // the server's error policy decides (retry, stop the printer, ...)
    kBackendStop = 4,    // the printer is set up wrongly: stop it
    kBackendCancel = 5,  // this job cannot be printed: cancel it, go on with the next
};

// `arguments` as the server passes them: the device name, then job id, user, title, copies,
// options and, optionally, the document's file. With the device name alone it lists the
// device for `lpinfo -v`.
int RunBackend(const std::vector<std::string>& arguments);

}  // namespace desktop
