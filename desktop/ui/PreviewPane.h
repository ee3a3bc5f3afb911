// The live preview: every sheet of the current input with the current settings.
//
// Each change starts a preview job off the window's thread: the core carries out the job's own
// plan (PreviewPlan.h) in child processes in a private temporary folder (PreviewRun.h), and the
// pane opens the result with poppler-qt6. The sheets then show in a scrolling list (SheetList.h)
// that renders only what is in view. Only the newest job is shown: a result that arrives after a
// newer change is dropped, and a child still running for an older change is ended. When the
// input cannot be imposed the pane says why instead.
#pragma once

#include <QElapsedTimer>
#include <QFutureWatcher>
#include <QList>
#include <QTemporaryDir>
#include <QTimer>
#include <QWidget>
#include <atomic>
#include <memory>
#include <string>
#include <vector>

#include "desktop/core/JobSetup.h"
#include "desktop/core/PreviewPlan.h"
#include "desktop/core/PreviewRun.h"
#include "desktop/ui/SheetList.h"

class QLabel;
class QToolButton;

namespace desktop::ui {

// Everything one preview job needs, copied: the job never reads the window.
struct PreviewRequest : PreviewPlan {
    int generation = 0;
    StepPrograms programs;
};

// The request for `setup` converted as `conversion` says, its working files in `folder`.
PreviewRequest PreviewRequestFor(const JobSetup& setup, int generation, const std::string& folder,
                                 const ConversionSettings& conversion = {});

struct PreviewResult {
    int generation = 0;
    SheetSet sheets;  // the imposed document, its pages' sizes and labels
    QString note;     // why there is no sheet
    QString fitted;   // the grid step-and-repeat chose: "8 copies per sheet, 2 x 4"; else empty
};

// Runs one preview job (on any thread). `latest` is the newest generation asked for; the job
// stops early (and returns no sheets) once it is stale.
PreviewResult RunPreviewJob(const PreviewRequest& request, const std::atomic<int>& latest);

class PreviewPane : public QWidget {
    Q_OBJECT
  public:
    explicit PreviewPane(QWidget* parent = nullptr);
    ~PreviewPane() override;

    // A new job to show, its input converted as `conversion` says; the preview follows after a
    // short pause (further changes within it start only one job).
    void ShowJob(const JobSetup& setup, const ConversionSettings& conversion = {});
    // Starts the pending job at once (tests and the benchmark).
    void RefreshNow();
    // Ends the running job and drops its result (the window closes).
    void Stop();

    SheetList* Sheets() const { return m_list; }
    // Whether the newest job's first sheet in view is shown.
    bool HasPicture() const { return m_list->Count() > 0 && m_list->RenderCount() > 0; }
    QString Note() const { return m_list->Note(); }
    bool Busy() const { return m_busy; }
    int Generation() const { return m_generation; }
    // The grid step-and-repeat chose for the newest job shown, as the engine printed it.
    QString FittedCards() const { return m_fitted; }

    QSize sizeHint() const override { return {320, 260}; }

  Q_SIGNALS:
    // The newest job is shown: its first sheet in view rendered, or its note. `seconds` from
    // the start of the job.
    void Shown(double seconds);

  private:
    void Start();
    void Finished();
    void FirstRendered();
    void ShowZoom(double zoom);

    std::unique_ptr<QTemporaryDir> m_folder;
    JobSetup m_setup;
    ConversionSettings m_conversion;
    bool m_hasJob = false;
    QTimer m_pause;
    QFutureWatcher<PreviewResult> m_watcher;
    std::shared_ptr<std::atomic<int>> m_latest;
    int m_generation = 0;
    bool m_busy = false;
    bool m_restart = false;
    bool m_awaitingPicture = false;
    QElapsedTimer m_clock;
    SheetList* m_list;
    QToolButton* m_zoomOut;
    QToolButton* m_zoomIn;
    QLabel* m_zoomLabel;
    QLabel* m_countLabel;
    QString m_fitted;
};

}  // namespace desktop::ui
