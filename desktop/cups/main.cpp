// velmora-cups: the booklet printer's backend, started by the print server as "velmora" for
// each job, and the commands that set it up.
#include <iostream>
#include <string>
#include <vector>

#include "desktop/cups/BookletBackend.h"
#include "desktop/cups/CupsOptions.h"
#include "desktop/cups/PrinterSetup.h"
#include "velmora/Version.h"

namespace {

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
        std::cerr << desktop::kCupsUsage;
        return 2;
    }
    return desktop::AddPrinter(request);
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> arguments(argv, argv + argc);
    if (argc >= 2 && arguments[1] == "--help") {
        std::cout << desktop::kCupsUsage;
        return 0;
    }
    if (argc == 2 && arguments[1] == "--version") {
        std::cout << velmora::VersionLine("velmora-cups");
        return 0;
    }
    if (argc == 2 && arguments[1] == "--install") return desktop::InstallBackend();
    if (argc >= 2 && arguments[1] == "--add-printer") {
        return AddPrinterCommand({arguments.begin() + 1, arguments.end()});
    }
    if (argc >= 2 && arguments[1].rfind("--", 0) == 0) {
        std::cerr << desktop::kCupsUsage;
        return 2;
    }
    return desktop::RunBackend(arguments);
}
