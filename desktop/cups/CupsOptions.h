// velmora-cups's command line: its --help text and the table of its options, from which its
// manual page and shell completion are made.
#pragma once

#include <span>
#include <string_view>

#include "platform/OptionHelp.h"

namespace desktop {

inline constexpr std::string_view kCupsUsage =
    "Usage: velmora-cups --install\n"
    "       velmora-cups --add-printer NAME --to QUEUE|/FOLDER [--setup FILE.plf]\n"
    "Prints booklets from any program's print dialog. --install links the print server's\n"
    "backend \"velmora\" to this program (once, as root, after a source installation).\n"
    "--add-printer adds printer NAME, offering the paper sizes of QUEUE: every job printed to\n"
    "it is imposed with FILE.plf (default: a booklet on the paper chosen in the dialog) and\n"
    "sent to QUEUE, or written into /FOLDER.\n"
    "Example: velmora-cups --add-printer Booklet --to Office\n"
    "         lp -d Booklet report.pdf\n"
    "Started by the print server with a job's arguments, it prints that job.\n";

inline constexpr platform::OptionHelp kCupsOptions[] = {
    {"--install", "", "link the print server's backend \"velmora\" to this program (as root)",
     "sudo velmora-cups --install"},
    {"--add-printer", "NAME", "add the booklet printer NAME (as root); needs --to",
     "sudo velmora-cups --add-printer Booklet --to Office"},
    {"--to", "QUEUE|/FOLDER",
     "the print queue that gets the imposed jobs (and whose paper sizes NAME offers), or the "
     "folder they are written into",
     "", platform::OptionValue::Text},
    {"--setup", "FILE.plf",
     "the setup file every job is imposed with (default: a booklet on the paper chosen in the "
     "print dialog); it is copied to /etc/velmora/cups (PREFIX/etc/velmora/cups for a source "
     "installation)",
     "", platform::OptionValue::File},
    {"--help", "", "print the usage", ""},
    {"--version", "", "print the version", ""},
};

}  // namespace desktop
