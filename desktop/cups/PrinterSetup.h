// Setting the booklet printer up: putting the backend where the print server finds it, and
// adding a printer that uses it in front of a real queue (or a folder), with a PPD offering the
// target's paper sizes so that every print dialog shows them.
#pragma once

#include <string>

namespace desktop {

// The backend's name in the print server's backend folder.
inline constexpr char kBackendName[] = "velmora";

// Links $CUPS_SERVERBIN/backend/velmora (/usr/lib/cups/backend when unset) to this program.
// 0, or 1 with the reason on standard error.
int InstallBackend();

struct PrinterRequest {
    std::string name;   // the new printer
    std::string to;     // a queue, or an absolute folder
    std::string setup;  // a setup file; empty: the booklet fitted to the paper
};

// Adds the printer with lpadmin. A setup file is copied to the installation's settings
// (PREFIX/etc/velmora/cups/NAME.plf; /etc/velmora/cups for a package in /usr), where the
// backend can read it as user lp. 0, or 1 with the reason on standard error.
int AddPrinter(const PrinterRequest& request);

}  // namespace desktop
