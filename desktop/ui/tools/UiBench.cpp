// Benchmarks of the windows (bench/desktop-windows runs it under Xvfb):
//   velmorade_ui_bench startup            the time from main() to the main window's first
//                                         paint, Qt's start-up included
//   velmorade_ui_bench preview FILE [N]   the preview's time to its first picture of FILE
//                                         (N runs; each from the change to the picture shown),
//                                         then to the last sheet's picture after a jump there
//   velmorade_ui_bench latency[-window-thread] FILE
//                                         the window's event-loop latency while it imposes FILE
//                                         (Impose turning every page, cleaning off): how late a
//                                         10 ms timer
//                                         fires, worst and 99th percentile, and the job's time
//   velmorade_ui_bench latency-batch ROWS FILE...
//                                         the same while the batch window runs FILE... as a list,
//                                         ROWS at once, with the job of samples/booklet.plf's
//                                         kind (cleaning on)
// Each prints one line per measurement: "NAME SECONDS".
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEvent>
#include <QFileInfo>
#include <QLineEdit>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "desktop/core/Conversion.h"
#include "desktop/core/EngineObjects.h"
#include "desktop/core/Pipeline.h"
#include "desktop/ui/BatchWindow.h"
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

// How late a 10 ms timer fires on the window's thread while work runs.
class LatencyProbe {
  public:
    LatencyProbe() {
        m_tick.setTimerType(Qt::PreciseTimer);
        m_tick.setInterval(kTick);
        QObject::connect(&m_tick, &QTimer::timeout, [this] {
            m_lateness.push_back(std::max(0.0, m_since.nsecsElapsed() / 1e6 - kTick));
            m_since.restart();
        });
    }
    void Start() {
        m_since.start();
        m_tick.start();
        m_job.start();
    }
    void Stop() {
        m_tick.stop();
        m_seconds = m_job.nsecsElapsed() / 1e9;
    }
    void Print(const std::string& note) {
        std::sort(m_lateness.begin(), m_lateness.end());
        double worst = m_lateness.empty() ? 0 : m_lateness.back();
        double p99 = m_lateness.empty() ? 0 : m_lateness[m_lateness.size() * 99 / 100];
        std::printf("latency worst %.1f ms, p99 %.1f ms over %zu ticks; job %.2f s%s\n", worst, p99,
                    m_lateness.size(), m_seconds, note.c_str());
    }

  private:
    static constexpr int kTick = 10;
    std::vector<double> m_lateness;
    QElapsedTimer m_since;
    QElapsedTimer m_job;
    QTimer m_tick;
    double m_seconds = 0;
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
                        setup.processingType.c_str(), !pane->HasPicture() ? " (no picture)" : "");
            // Then a jump to the last sheet, drawn when it comes into view.
            SheetList* list = pane->Sheets();
            int last = list->Count() - 1;
            if (last <= 0) continue;
            clock.restart();
            list->ScrollToSheet(last);
            while (!list->IsRendered(last)) {
                QApplication::processEvents(QEventLoop::AllEvents, 2);
                QThread::usleep(200);
            }
            std::printf("preview-last-sheet %.3f %s (%d sheets, %d rendered)\n",
                        clock.nsecsElapsed() / 1e9, setup.processingType.c_str(), last + 1,
                        list->RenderCount());
        }
        return 0;
    }
    if (std::strcmp(argv[1], "latency-batch") == 0 && argc >= 4) {
        MainWindow window(place);
        window.show();
        QApplication::processEvents();
        QTemporaryDir out;
        window.Session().SetCommandLineMode(true);  // no "Done." box to wait on
        BatchWindow* batch = window.PrepareList();
        QStringList files;
        for (int i = 3; i < argc; ++i)
            files << QFileInfo(QString::fromLocal8Bit(argv[i])).absoluteFilePath();
        batch->AddPaths(files);
        batch->OutputEdit()->setText(out.path());
        batch->RowsAtOnce()->setValue(std::atoi(argv[2]));
        LatencyProbe probe;
        QTimer::singleShot(0, &window, [&] {
            probe.Start();
            window.ProcessList();  // returns when the batch has ended; the loop runs meanwhile
            probe.Stop();
            QApplication::quit();
        });
        application.exec();
        int made = static_cast<int>(QDir(out.path()).entryList(QDir::Files).size());
        probe.Print(" (" + std::to_string(made) + " of " + std::to_string(files.size()) +
                    " outputs)");
        return 0;
    }
    bool onWindowThread = std::strcmp(argv[1], "latency-window-thread") == 0;
    if ((std::strcmp(argv[1], "latency") == 0 || onWindowThread) && argc >= 3) {
        MainWindow window(place);
        window.show();
        QApplication::processEvents();
        QTemporaryDir out;
        window.Setup().inFile =
            QFileInfo(QString::fromLocal8Bit(argv[2])).absoluteFilePath().toStdString();
        window.Setup().outFile = (out.path() + QStringLiteral("/out.pdf")).toStdString();
        window.Setup().dontCleanFile = 1;
        // In-process engine work: every page turned, then two pages a sheet.
        window.Setup().rotateNone = kNotChosen;
        window.Setup().rotateAll = kChosen;
        window.Session().SetCommandLineMode(true);  // no "Done!" box to wait on
        window.ShowValues();
        LatencyProbe probe;
        QTimer::singleShot(0, &window, [&] {
            probe.Start();
            if (onWindowThread) {
                // For comparison: the same job on the window's thread, as a run without the
                // worker would make it.
                EngineObjects engines(window.Port());
                PipelineContext context{window.Setup(), window.Conversion(), engines,
                                        window.Port(),  window.Log(),        true};
                ProcessFile(context, JobRequest(window.Setup()));
            } else {
                window.Impose();  // returns when the job has ended; the loop runs meanwhile
            }
            probe.Stop();
            QApplication::quit();
        });
        application.exec();
        probe.Print(QFileInfo::exists(QString::fromStdString(window.Setup().outFile))
                        ? ""
                        : " (no output)");
        return 0;
    }
    std::fprintf(stderr, "velmorade_ui_bench: unknown benchmark %s\n", argv[1]);
    return 2;
}
