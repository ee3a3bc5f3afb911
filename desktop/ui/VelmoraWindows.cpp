#include "desktop/ui/VelmoraWindows.h"

#include <QApplication>
#include <QIcon>
#include <QTimer>

#include "desktop/core/ConfigFolder.h"
#include "desktop/ui/MainWindow.h"

namespace desktop {

int RunWindowed(int& argc, char** argv, const CommandLine& line) {
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("velmorade"));
    QApplication::setApplicationDisplayName(QStringLiteral("Velmora DE"));
    QApplication::setDesktopFileName(QStringLiteral("velmorade"));
    if (QIcon::fromTheme(QStringLiteral("velmorade")).isNull()) {
        // Run from the build tree or an installation the icon theme does not know yet.
        QString icon = QApplication::applicationDirPath() +
                       QStringLiteral("/../share/icons/hicolor/scalable/apps/velmorade.svg");
        QApplication::setWindowIcon(QIcon(icon));
    } else {
        QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral("velmorade")));
    }
    ui::MainWindow window(ConfigFolder::FromEnvironment(), line);
    window.show();
    QTimer::singleShot(0, &window, &ui::MainWindow::Start);
    int status = application.exec();
    return status != 0 ? status : window.Session().ExitStatus();
}

}  // namespace desktop
