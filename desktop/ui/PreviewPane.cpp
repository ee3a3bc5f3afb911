#include "desktop/ui/PreviewPane.h"

#include <poppler-qt6.h>

#include <QDir>
#include <QHBoxLayout>
#include <QLabel>
#include <QToolButton>
#include <QVBoxLayout>
#include <QtConcurrent/QtConcurrentRun>
#include <cmath>

#include "desktop/ui/QtText.h"

namespace desktop::ui {

namespace {

constexpr int kPauseMilliseconds = 120;

}  // namespace

PreviewRequest PreviewRequestFor(const JobSetup& setup, int generation, const std::string& folder,
                                 const ConversionSettings& conversion) {
    PreviewRequest request;
    static_cast<PreviewPlan&>(request) = PlanPreview(setup, folder, generation, conversion);
    request.generation = generation;
    request.programs = FindStepPrograms();
    return request;
}

namespace {

// Every page of the imposed file `output`, with its size and label.
PreviewResult OpenSheets(const PreviewRequest& request, const std::string& output) {
    PreviewResult result;
    result.generation = request.generation;
    std::shared_ptr<Poppler::Document> document = Poppler::Document::load(Q(output));
    if (!document || document->isLocked()) {
        result.note = QStringLiteral("The imposed sheets can not be shown.");
        return result;
    }
    document->setRenderHint(Poppler::Document::Antialiasing, true);
    document->setRenderHint(Poppler::Document::TextAntialiasing, true);
    int pages = document->numPages();
    int inputPages = -1;
    if (std::unique_ptr<Poppler::Document> input = Poppler::Document::load(Q(request.input))) {
        inputPages = input->numPages();
    }
    for (int k = 0; k < pages; ++k) {
        std::unique_ptr<Poppler::Page> page = document->page(k);
        result.sheets.sizes << (page ? page->pageSizeF() : QSizeF());
        result.sheets.captions << Q(PageCaption(request, k, inputPages, pages));
    }
    if (pages == 0) {
        result.note = QStringLiteral("These settings make no sheet.");
        return result;
    }
    result.sheets.document = std::move(document);
    return result;
}

}  // namespace

PreviewResult RunPreviewJob(const PreviewRequest& request, const std::atomic<int>& latest) {
    auto stale = [&latest, generation = request.generation] { return latest.load() != generation; };
    std::string outputFile = request.folder + "/child-output-" + std::to_string(request.generation);
    PreviewOutcome outcome = RunPreview(request, request.programs, ChildrenIn(outputFile, stale));
    PreviewResult result;
    result.generation = request.generation;
    if (outcome.stale || stale()) return result;
    if (outcome.imposed.empty()) {
        result.note = Q(outcome.note);
        return result;
    }
    result = OpenSheets(request, outcome.imposed);
    result.fitted = Q(outcome.fitted);
    return result;
}

PreviewPane::PreviewPane(QWidget* parent)
    : QWidget(parent), m_latest(std::make_shared<std::atomic<int>>(0)) {
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    m_list = new SheetList(this);
    m_zoomOut = new QToolButton(this);
    m_zoomOut->setText(QStringLiteral("\u2212"));
    m_zoomOut->setToolTip(QStringLiteral("Smaller sheets, more of them side by side (Ctrl+wheel)"));
    m_zoomIn = new QToolButton(this);
    m_zoomIn->setText(QStringLiteral("+"));
    m_zoomIn->setToolTip(QStringLiteral("Larger sheets (Ctrl+wheel)"));
    m_zoomLabel = new QLabel(this);
    m_countLabel = new QLabel(this);
    auto* bar = new QHBoxLayout;
    bar->setContentsMargins(0, 0, 0, 0);
    bar->addWidget(m_zoomOut);
    bar->addWidget(m_zoomLabel);
    bar->addWidget(m_zoomIn);
    bar->addStretch(1);
    bar->addWidget(m_countLabel);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addLayout(bar);
    layout->addWidget(m_list, 1);
    connect(m_zoomOut, &QToolButton::clicked, m_list, &SheetList::ZoomOut);
    connect(m_zoomIn, &QToolButton::clicked, m_list, &SheetList::ZoomIn);
    connect(m_list, &SheetList::ZoomChanged, this, &PreviewPane::ShowZoom);
    connect(m_list, &SheetList::Rendered, this, &PreviewPane::FirstRendered);
    ShowZoom(m_list->Zoom());

    m_pause.setSingleShot(true);
    m_pause.setInterval(kPauseMilliseconds);
    connect(&m_pause, &QTimer::timeout, this, &PreviewPane::Start);
    connect(&m_watcher, &QFutureWatcher<PreviewResult>::finished, this, &PreviewPane::Finished);
    m_list->SetNote(QStringLiteral("Name an input file to see its sheets here."));
}

PreviewPane::~PreviewPane() {
    Stop();
}

void PreviewPane::Stop() {
    m_pause.stop();
    m_latest->store(-1);
    if (m_watcher.isRunning()) m_watcher.waitForFinished();
    m_list->Stop();
}

void PreviewPane::ShowJob(const JobSetup& setup, const ConversionSettings& conversion) {
    m_setup = setup;
    m_conversion = conversion;
    m_hasJob = true;
    ++m_generation;
    m_latest->store(m_generation);
    m_pause.start();
}

void PreviewPane::RefreshNow() {
    Start();
}

void PreviewPane::Start() {
    // A job for the newest settings starts now (or follows the running one): a pause still
    // counting would start the same job a second time.
    m_pause.stop();
    if (!m_hasJob) return;
    if (m_watcher.isRunning()) {
        // The running job sees that it is stale and ends soon; this one follows it.
        m_restart = true;
        return;
    }
    if (!m_folder) {
        m_folder = std::make_unique<QTemporaryDir>(QDir::tempPath() +
                                                   QStringLiteral("/velmora-preview-XXXXXX"));
    }
    std::string folder = m_folder->isValid() ? S(m_folder->path()) : S(QDir::tempPath());
    PreviewRequest request = PreviewRequestFor(m_setup, m_generation, folder, m_conversion);
    m_busy = true;
    m_restart = false;
    m_list->SetBusy(true);
    m_clock.start();
    std::shared_ptr<std::atomic<int>> latest = m_latest;
    m_watcher.setFuture(
        QtConcurrent::run([request, latest] { return RunPreviewJob(request, *latest); }));
}

void PreviewPane::Finished() {
    PreviewResult result = m_watcher.result();
    // Files of older jobs go at once (a document still shown keeps its file open, and an open
    // file stays readable until it is closed); the folder itself goes with the pane.
    if (m_folder && m_folder->isValid()) {
        QDir folder(m_folder->path());
        for (const QString& name : folder.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
            if (name != QString::number(m_generation))
                QDir(folder.filePath(name)).removeRecursively();
        }
    }
    if (result.generation != m_generation || m_restart) {
        // Stale: a newer change is waiting.
        m_busy = false;
        if (m_hasJob && m_latest->load() == m_generation) Start();
        return;
    }
    m_busy = false;
    m_list->SetBusy(false);
    m_fitted = result.fitted;
    int count = static_cast<int>(result.sheets.captions.size());
    m_countLabel->setText(count == 0   ? QString()
                          : count == 1 ? QStringLiteral("1 page")
                                       : QStringLiteral("%1 pages").arg(count));
    if (result.sheets.document) {
        m_awaitingPicture = true;
        m_list->SetSheets(std::move(result.sheets));
    } else {
        m_awaitingPicture = false;
        m_list->SetNote(result.note);
        Q_EMIT Shown(m_clock.elapsed() / 1000.0);
    }
}

void PreviewPane::FirstRendered() {
    if (!m_awaitingPicture) return;
    m_awaitingPicture = false;
    Q_EMIT Shown(m_clock.elapsed() / 1000.0);
}

void PreviewPane::ShowZoom(double zoom) {
    m_zoomLabel->setText(QStringLiteral("%1%").arg(std::lround(zoom * 100)));
}

}  // namespace desktop::ui
