// Benchmarks of the windows (bench/desktop-windows runs it under Xvfb):
//   velmorade_ui_bench startup            the time from main() to the main window's first
//                                         paint, Qt's start-up included
//   velmorade_ui_bench preview FILE [N]   the preview's time to its first picture of FILE
//                                         (N runs; each from the change to the picture shown)
// Each prints one line per measurement: "NAME SECONDS".
#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QThread>
#include <cstdio>
#include <cstring>

#include "desktop/core/Conversion.h"
#include "desktop/ui/MainWindow.h"
#include "desktop/ui/PreviewPane.h"

using namespace desktop;
using namespace desktop::ui;

namespace {

QElapsedTimer g_clock;

class FirstPaint : public QObject {
  public:
    bool painted = false;
    double seconds = 0;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (!painted && event->type() == QEvent::Paint) {
            painted = true;
            seconds = g_clock.nsecsElapsed() / 1e9;
        }
        return QObject::eventFilter(watched, event);
    }
};

}  // namespace

int main(int argc, char** argv) {
    g_clock.start();
    if (argc < 2) {
        std::fprintf(stderr, "usage: velmorade_ui_bench startup | preview FILE [RUNS]\n");
        return 2;
    }
    QApplication application(argc, argv);
    QTemporaryDir config;
    ConfigFolder place(config.path().toStdString(), config.path().toStdString());
    WriteConversionIni(place.PathOf(kConversionIniName), ConversionSettings{});

    if (std::strcmp(argv[1], "startup") == 0) {
        FirstPaint watch;
        MainWindow window(place);
        window.installEventFilter(&watch);
        window.show();
        while (!watch.painted) QApplication::processEvents(QEventLoop::AllEvents, 5);
        std::printf("window %.3f\n", watch.seconds);
        return 0;
    }
    if (std::strcmp(argv[1], "preview") == 0 && argc >= 3) {
        int runs = argc >= 4 ? std::atoi(argv[3]) : 5;
        MainWindow window(place);
        window.resize(1100, 720);
        window.show();
        QApplication::processEvents();
        PreviewPane* pane = window.Controls().preview;
        QString file = QFileInfo(QString::fromLocal8Bit(argv[2])).absoluteFilePath();
        for (int run = 0; run < runs; ++run) {
            JobSetup setup = window.Setup();
            setup.inFile = file.toStdString();
            // Alternate the layout so that every run is a change.
            setup.processingType = run % 2 == 0 ? "2up" : "4up";
            bool shown = false;
            QObject::connect(
                pane, &PreviewPane::Shown, pane, [&](double) { shown = true; },
                Qt::SingleShotConnection);
            QElapsedTimer clock;
            clock.start();
            pane->ShowJob(setup);
            pane->RefreshNow();
            while (!shown) {
                QApplication::processEvents(QEventLoop::AllEvents, 2);
                QThread::usleep(200);
            }
            std::printf("preview %.3f %s%s\n", clock.nsecsElapsed() / 1e9,
                        setup.processingType.c_str(),
                        pane->Pictures().isEmpty() ? " (no picture)" : "");
        }
        return 0;
    }
    std::fprintf(stderr, "velmorade_ui_bench: unknown benchmark %s\n", argv[1]);
    return 2;
}
