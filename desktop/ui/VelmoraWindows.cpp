#include "desktop/ui/VelmoraWindows.h"

#include <QApplication>
#include <QIcon>
#include <QSessionManager>
#include <QTimer>

#include "desktop/core/ConfigFolder.h"
#include "desktop/core/Interrupts.h"
#include "desktop/ui/MainWindow.h"

namespace desktop {

namespace {

// How often the window looks for a noted interrupt signal.
constexpr int kInterruptPollMilliseconds = 50;

}  // namespace

int RunWindowed(int& argc, char** argv, const CommandLine& line) {
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("velmorade"));
    // No display name: the platform would add it after the window's title, which names the
    // program already.
    QApplication::setDesktopFileName(QStringLiteral("velmorade"));
    if (QIcon::fromTheme(QStringLiteral("velmorade")).isNull()) {
        // Run from the build tree or an installation the icon theme does not know yet.
        QString icon = QApplication::applicationDirPath() +
                       QStringLiteral("/../share/icons/hicolor/scalable/apps/velmorade.svg");
        QApplication::setWindowIcon(QIcon(icon));
    } else {
        QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral("velmorade")));
    }
    InstallInterruptHandlers();
    ui::MainWindow window(ConfigFolder::FromEnvironment(), line);
    window.show();
    // SIGINT, SIGTERM and SIGHUP end the program as in quiet mode: a running job sees the signal
    // itself (it ends its outside program and removes its working files); once none runs, the
    // settings are saved as on every close and the program exits with 128 + the signal.
    QTimer interrupts;
    QObject::connect(&interrupts, &QTimer::timeout, &window, [&window] {
        int signal = InterruptSignal();
        if (signal == 0 || window.IsRunning()) return;
        window.EndSession();
        QCoreApplication::exit(128 + signal);
    });
    // A logout saves them too.
    QObject::connect(&application, &QGuiApplication::commitDataRequest, &window,
                     [&window](QSessionManager&) { window.EndSession(); });
    interrupts.start(kInterruptPollMilliseconds);
    QTimer::singleShot(0, &window, &ui::MainWindow::Start);
    int status = application.exec();
    return status != 0 ? status : window.Session().ExitStatus();
}

}  // namespace desktop
