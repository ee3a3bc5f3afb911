#include "desktop/ui/PreviewPane.h"

#include "desktop/core/PdfProtection.h"

#include <poppler-qt6.h>

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QProcess>
#include <QProcessEnvironment>
#include <QStandardPaths>
#include <QToolButton>
#include <QVBoxLayout>
#include <QtConcurrent/QtConcurrentRun>
#include <algorithm>
#include <cmath>
#include <variant>

#include "desktop/core/EngineStatus.h"
#include "desktop/core/PdfProtection.h"
#include "desktop/ui/QtText.h"
#include "platform/RunAndWait.h"

namespace desktop::ui {

namespace {

constexpr int kPauseMilliseconds = 120;
constexpr int kChildMilliseconds = 60000;

std::vector<std::string> OptionsOf(const std::vector<PropertyPut>& puts) {
    std::vector<std::string> options;
    for (const PropertyPut& put : puts) {
        std::string value = std::holds_alternative<int32_t>(put.value)
                                ? std::to_string(std::get<int32_t>(put.value))
                                : std::get<std::string>(put.value);
        options.push_back("--" + put.name + "=" + value);
    }
    options.emplace_back(platform::kEndOfOptions);  // the names follow
    return options;
}

std::vector<std::string> OptionsOf(const TurnelleSettings& settings) {
    std::vector<std::string> options;
    if (settings.type) options.push_back("--type=" + std::to_string(*settings.type));
    options.push_back("--rotateAngle=" + std::to_string(settings.rotateAngle));
    options.push_back("--force=" + std::to_string(settings.force));
    options.emplace_back(platform::kEndOfOptions);  // the names follow
    return options;
}

struct ChildRun {
    bool stale = false;
    bool ok = false;
    QString output;  // standard output and error
};

// Runs a child to its end; ends it as soon as the job is stale.
ChildRun RunChild(const std::string& program, const std::vector<std::string>& arguments,
                  const std::string& folder, int generation, const std::atomic<int>& latest) {
    ChildRun run;
    QProcess child;
    QStringList list;
    for (const std::string& argument : arguments) list << Q(argument);
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    // The engines' own temporary files (the doubling pass) stay in the private folder.
    environment.insert(QStringLiteral("TMPDIR"), Q(folder));
    child.setProcessEnvironment(environment);
    child.setProcessChannelMode(QProcess::MergedChannels);
    child.start(Q(program), list);
    if (!child.waitForStarted(5000)) {
        run.output = QStringLiteral("%1 could not be started").arg(Q(program));
        return run;
    }
    QElapsedTimer clock;
    clock.start();
    while (!child.waitForFinished(15)) {
        if (latest.load() != generation || clock.elapsed() > kChildMilliseconds) {
            child.kill();
            child.waitForFinished(2000);
            run.stale = true;
            return run;
        }
    }
    run.output = QString::fromUtf8(child.readAll()).trimmed();
    run.ok = child.exitStatus() == QProcess::NormalExit && child.exitCode() == 0;
    return run;
}

QString LastLine(const QString& text) {
    QStringList lines = text.split('\n', Qt::SkipEmptyParts);
    return lines.isEmpty() ? QString() : lines.back().trimmed();
}

ChildRun RunChildOf(const PreviewRequest& request, const std::string& program,
                    std::vector<std::string> arguments, const std::string& input,
                    const std::string& output, const std::atomic<int>& latest) {
    // Absolute names, after the end of the options: no name is read as an option.
    arguments.push_back(platform::FileArgument(input));
    arguments.push_back(platform::FileArgument(output));
    return RunChild(program, arguments, request.folder, request.generation, latest);
}

// One step of the plan, as a child process; `input` becomes the step's product. Steps that
// change no picture, or that only the job itself runs, pass.
ChildRun RunStep(const PreviewRequest& request, const PlanStep& step, std::string* input,
                 const std::atomic<int>& latest) {
    ChildRun passed{false, true, {}};
    switch (step.kind) {
        case StepKind::Rotate: {
            ChildRun run = RunChildOf(request, request.turnelle, OptionsOf(step.rotation), *input,
                                      step.file, latest);
            if (run.ok) *input = step.file;
            return run;
        }
        case StepKind::DoubleAndTurn: {
            const std::string& beside = request.plan.output;
            ChildRun run =
                RunChildOf(request, request.gridane, OptionsOf(step.puts), *input, beside, latest);
            std::string doubled = S(LastLine(run.output));
            if (!run.ok || ClassifyEngineStatus(doubled, beside) != EngineOutcome::PrePassFile) {
                run.ok = false;
                return run;
            }
            run = RunChildOf(request, request.turnelle, OptionsOf(step.rotation), doubled,
                             step.scratch, latest);
            QFile::remove(Q(doubled));
            if (run.ok) *input = step.scratch;
            return run;
        }
        case StepKind::Impose: {
            // The job puts both steps' settings on one engine object; a child starts afresh,
            // so after a doubling pass it gets the doubling's settings first.
            std::vector<PropertyPut> puts;
            if (const PlanStep* doubling = request.plan.Find(StepKind::DoubleAndTurn))
                puts = doubling->puts;
            puts.insert(puts.end(), step.puts.begin(), step.puts.end());
            return RunChildOf(request, request.gridane, OptionsOf(puts), *input, step.file, latest);
        }
        default:
            return passed;
    }
}

// What a failed child said, without its progress lines.
QString FailureText(const QString& output) {
    QStringList lines = output.split('\n', Qt::SkipEmptyParts);
    QStringList kept;
    for (const QString& line : lines) {
        if (line.startsWith(QStringLiteral("gridane: ")) ||
            line.startsWith(QStringLiteral("turnelle: ")))
            kept << line.section(QStringLiteral(": "), 1);
    }
    if (kept.isEmpty() && !lines.isEmpty()) kept << lines.back();
    return kept.join('\n');
}

// The line in which the engine names the grid step-and-repeat chose, or empty.
QString FittedLine(const QString& output) {
    for (const QString& line : output.split('\n', Qt::SkipEmptyParts)) {
        if (line.contains(QStringLiteral(" per sheet, "))) return line.trimmed();
    }
    return {};
}

}  // namespace

PreviewRequest PreviewRequestFor(const JobSetup& setup, int generation, const std::string& folder) {
    PreviewRequest request;
    static_cast<PreviewPlan&>(request) = PlanPreview(setup, folder, generation);
    request.generation = generation;
    request.gridane = platform::FindProgram("gridane");
    request.turnelle = platform::FindProgram("turnelle");
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
    PreviewResult result;
    result.generation = request.generation;
    if (std::string refusal = PreviewRefusal(request); !refusal.empty()) {
        result.note = Q(refusal);
        return result;
    }
    std::string input = S(QFileInfo(Q(request.input)).absoluteFilePath());
    std::string output;
    QString fitted;
    QString folder = QFileInfo(Q(request.plan.output)).absolutePath();
    QDir().mkpath(folder);
    // A protected input is shown from its unencrypted copy, as the run imposes it.
    std::string unlocked =
        S(folder + QStringLiteral("/unlocked/") + QFileInfo(Q(input)).fileName());
    switch (UnlockPdf(input, {}, unlocked).kind) {
        case UnlockOutcome::Kind::Unlocked:
            input = unlocked;
            break;
        case UnlockOutcome::Kind::NeedsPassword:
        case UnlockOutcome::Kind::WrongPassword:
            result.note = QStringLiteral("The input needs a password: Impose asks for it.");
            return result;
        default:
            break;
    }
    for (const PlanStep& step : request.plan.steps) {
        ChildRun run = RunStep(request, step, &input, latest);
        if (run.stale) return result;
        if (!run.ok) {
            result.note = QStringLiteral("The input can not be imposed with these settings:\n%1")
                              .arg(FailureText(run.output));
            return result;
        }
        if (step.kind == StepKind::Impose) {
            output = step.file;
            fitted = FittedLine(run.output);
        }
    }
    if (latest.load() != request.generation) return result;
    result = OpenSheets(request, output);
    result.fitted = fitted;
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

void PreviewPane::ShowJob(const JobSetup& setup) {
    m_setup = setup;
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
    PreviewRequest request = PreviewRequestFor(m_setup, m_generation, folder);
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
