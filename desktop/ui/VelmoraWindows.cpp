#include "desktop/ui/VelmoraWindows.h"

#include <QApplication>
#include <QIcon>
#include <QTimer>

#include "desktop/core/ConfigFolder.h"
#include "desktop/ui/MainWindow.h"

namespace desktop::ui {

int RunVelmoraWindows(int argc, char** argv) {
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("velmorade"));
    QApplication::setApplicationDisplayName(QStringLiteral("Velmora DE"));
    QApplication::setDesktopFileName(QStringLiteral("velmorade"));
    std::vector<std::string> arguments(argv, argv + argc);
    MainWindow window(ConfigFolder::FromEnvironment(), arguments);
    window.show();
    QTimer::singleShot(0, &window, &MainWindow::Start);
    return application.exec();
}

}  // namespace desktop::ui
