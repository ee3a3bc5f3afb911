// velmorade: the desktop program. With -h it runs the quiet session only (no display, no
// window system); otherwise it opens the main window when the window library is built.
#include <csignal>
#include <iostream>
#include <string>
#include <vector>

#include "desktop/core/CommandLine.h"
#include "desktop/core/DesktopSession.h"
#include "desktop/core/FolderWatch.h"
#include "desktop/core/WindowedProgram.h"

namespace {

// Exit status when the window is asked for but this build has none.
constexpr int kNoWindowStatus = 9;

}  // namespace

int main(int argc, char** argv) {
    // A write over the file-size limit fails with an error the job reports, in either mode.
    std::signal(SIGXFSZ, SIG_IGN);
    std::vector<std::string> arguments(argv + 1, argv + argc);
    desktop::CommandLine line = desktop::ParseCommandLine(arguments);
    if (line.help) {
        std::cout << desktop::UsageText();
        return 0;
    }
    if (line.version) {
        std::cout << desktop::VersionText();
        return 0;
    }
    if (!line.watchFolder.empty()) return desktop::RunWatch(line);
    if (line.HasQuiet()) return desktop::RunQuiet(line);
#ifdef VELMORA_WITH_WINDOWS
    return desktop::RunWindowed(argc, argv, line);
#else
    std::cerr << "velmorade: the window is not available in this build; use -h for quiet mode "
                 "(see --help)\n";
    return kNoWindowStatus;
#endif
}
