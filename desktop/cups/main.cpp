// velmora-cups: the booklet printer's backend, started by the print server as "velmora" for
// each job, and the commands that set it up.
#include <iostream>
#include <string>
#include <vector>

#include "desktop/cups/BookletBackend.h"
#include "desktop/cups/PrinterSetup.h"

namespace {

const char kUsage[] =
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

int AddPrinterCommand(const std::vector<std::string>& arguments) {
    desktop::PrinterRequest request;
    for (size_t i = 0; i + 1 < arguments.size(); i += 2) {
        const std::string& option = arguments[i];
        const std::string& value = arguments[i + 1];
        if (option == "--add-printer") {
            request.name = value;
        } else if (option == "--to") {
            request.to = value;
        } else if (option == "--setup") {
            request.setup = value;
        } else {
            request.name.clear();
            break;
        }
    }
    if (arguments.size() % 2 != 0 || request.name.empty() || request.to.empty()) {
        std::cerr << kUsage;
        return 2;
    }
    return desktop::AddPrinter(request);
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> arguments(argv, argv + argc);
    if (argc >= 2 && arguments[1] == "--help") {
        std::cout << kUsage;
        return 0;
    }
    if (argc == 2 && arguments[1] == "--install") return desktop::InstallBackend();
    if (argc >= 2 && arguments[1] == "--add-printer") {
        return AddPrinterCommand({arguments.begin() + 1, arguments.end()});
    }
    if (argc >= 2 && arguments[1].rfind("--", 0) == 0) {
        std::cerr << kUsage;
        return 2;
    }
    return desktop::RunBackend(arguments);
}
