// Where the main window meets the core's pipeline, batch run and command line (issue 12): the
// few calls the window forwards. Kept in one place so that the window itself only copies
// values and forwards commands.
#pragma once

#include <memory>
#include <string>
#include <vector>

namespace desktop {
class DesktopSession;
}

namespace desktop::ui {

class MainWindow;

// The session lives as long as the window; its type is the core's.
struct SessionDeleter {
    void operator()(DesktopSession* session) const;
};
using SessionPointer = std::unique_ptr<DesktopSession, SessionDeleter>;

// Opening step 4: the engines (creation failures are shown through the window's port).
SessionPointer CreateSession(MainWindow& window);
// Closing: the engines are released.
void ReleaseEngines(MainWindow& window);
// The Process command ("&Impose", "-p").
void RunProcessCommand(MainWindow& window);
// "Process List".
void RunBatchCommand(MainWindow& window);
// Opening step 8: the command line, the program name first.
void RunCommandLine(MainWindow& window, const std::vector<std::string>& arguments);

}  // namespace desktop::ui
