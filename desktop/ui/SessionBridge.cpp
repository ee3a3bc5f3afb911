#include "desktop/ui/SessionBridge.h"

#include "desktop/ui/MainWindow.h"

namespace desktop {
// Until the core's pipeline lands: no engines.
class DesktopSession {};
}  // namespace desktop

namespace desktop::ui {

void SessionDeleter::operator()(DesktopSession* session) const {
    delete session;
}

SessionPointer CreateSession(MainWindow&) {
    return SessionPointer(new DesktopSession);
}

void ReleaseEngines(MainWindow&) {}

void RunProcessCommand(MainWindow& window) {
    window.CopyControlsIn();
    window.Port().Message("The pipeline is not yet built in.");
}

void RunBatchCommand(MainWindow& window) {
    window.CopyControlsIn();
}

void RunCommandLine(MainWindow&, const std::vector<std::string>&) {}

}  // namespace desktop::ui
