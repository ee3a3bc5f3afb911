#include "desktop/ui/PreviewPane.h"

#include <poppler-qt6.h>

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QPainter>
#include <QProcess>
#include <QProcessEnvironment>
#include <QStandardPaths>
#include <QtConcurrent/QtConcurrentRun>
#include <algorithm>
#include <variant>

#include "desktop/core/EngineStatus.h"
#include "desktop/ui/ExamplePicture.h"
#include "desktop/ui/QtText.h"
#include "gridane/SheetPlan.h"
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
        case StepKind::Impose:
            return RunChildOf(request, request.gridane, OptionsOf(step.puts), *input, step.file,
                              latest);
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

}  // namespace

std::string FindProgram(const std::string& name) {
    // Beside the program, or in the build tree's bin/ for a program in tests/.
    for (const QString& folder :
         {QCoreApplication::applicationDirPath(),
          QCoreApplication::applicationDirPath() + QStringLiteral("/../bin")}) {
        QString beside = QDir::cleanPath(folder + '/' + Q(name));
        if (QFileInfo(beside).isExecutable()) return S(beside);
    }
    QString found = QStandardPaths::findExecutable(Q(name));
    return found.isEmpty() ? name : S(found);
}

PreviewRequest PreviewRequestFor(const JobSetup& setup, int generation, const std::string& folder) {
    PreviewRequest request;
    static_cast<PreviewPlan&>(request) = PlanPreview(setup, folder, generation);
    request.generation = generation;
    request.gridane = FindProgram("gridane");
    request.turnelle = FindProgram("turnelle");
    return request;
}

PreviewResult RunPreviewJob(const PreviewRequest& request, const std::atomic<int>& latest) {
    QElapsedTimer clock;
    clock.start();
    PreviewResult result;
    result.generation = request.generation;
    auto stale = [&] { return latest.load() != request.generation; };

    if (std::string refusal = PreviewRefusal(request); !refusal.empty()) {
        result.note = Q(refusal);
        return result;
    }
    std::string input = S(QFileInfo(Q(request.input)).absoluteFilePath());
    std::string output;
    QDir().mkpath(QFileInfo(Q(request.plan.output)).absolutePath());
    for (const PlanStep& step : request.plan.steps) {
        ChildRun run = RunStep(request, step, &input, latest);
        if (run.stale) return result;
        if (!run.ok) {
            result.note = QStringLiteral("The input can not be imposed with these settings:\n%1")
                              .arg(FailureText(run.output));
            return result;
        }
        if (step.kind == StepKind::Impose) output = step.file;
    }
    if (stale()) return result;

    std::unique_ptr<Poppler::Document> document = Poppler::Document::load(Q(output));
    if (!document || document->isLocked()) {
        result.note = QStringLiteral("The imposed sheets can not be shown.");
        return result;
    }
    document->setRenderHint(Poppler::Document::Antialiasing, true);
    document->setRenderHint(Poppler::Document::TextAntialiasing, true);
    auto [first, count] = PagesToShow(request, document->numPages());
    int width = std::max(60, (request.width - 12 * (count + 1)) / std::max(1, count));
    int height = std::max(60, request.height - 28);
    for (int k = 0; k < count; ++k) {
        if (stale()) return PreviewResult{request.generation, {}, {}, {}, 0};
        std::unique_ptr<Poppler::Page> page = document->page(first + k);
        if (!page) break;
        QSizeF points = page->pageSizeF();
        if (points.isEmpty()) break;
        double dpi = std::min(width * 72.0 / points.width(), height * 72.0 / points.height());
        dpi = std::clamp(dpi, 4.0, 300.0);
        QImage image = page->renderToImage(dpi, dpi);
        if (image.isNull()) break;
        result.pictures << image;
        result.captions << Q(SheetCaption(count > 1 ? request.sheets : FirstSheets{}, k));
    }
    if (result.pictures.isEmpty()) result.note = QStringLiteral("These settings make no sheet.");
    result.seconds = clock.elapsed() / 1000.0;
    return result;
}

PreviewPane::PreviewPane(QWidget* parent)
    : QWidget(parent), m_latest(std::make_shared<std::atomic<int>>(0)) {
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    m_pause.setSingleShot(true);
    m_pause.setInterval(kPauseMilliseconds);
    connect(&m_pause, &QTimer::timeout, this, &PreviewPane::Start);
    connect(&m_watcher, &QFutureWatcher<PreviewResult>::finished, this, &PreviewPane::Finished);
    m_result.note = QStringLiteral("Name an input file to see its first sheets here.");
}

PreviewPane::~PreviewPane() {
    Stop();
}

void PreviewPane::Stop() {
    m_pause.stop();
    m_latest->store(-1);
    if (m_watcher.isRunning()) m_watcher.waitForFinished();
}

void PreviewPane::ShowJob(const JobSetup& setup) {
    m_setup = setup;
    m_hasJob = true;
    ++m_generation;
    m_latest->store(m_generation);
    m_pause.start();
    update();
}

void PreviewPane::RefreshNow() {
    m_pause.stop();
    Start();
}

void PreviewPane::Start() {
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
    request.width = std::max(120, width());
    request.height = std::max(100, height());
    m_busy = true;
    m_restart = false;
    update();
    std::shared_ptr<std::atomic<int>> latest = m_latest;
    m_watcher.setFuture(
        QtConcurrent::run([request, latest] { return RunPreviewJob(request, *latest); }));
}

void PreviewPane::Finished() {
    PreviewResult result = m_watcher.result();
    // Files of older jobs go at once; the folder itself goes with the pane.
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
    m_result = std::move(result);
    update();
    Q_EMIT Shown(m_result.seconds);
}

void PreviewPane::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), palette().color(QPalette::Base));
    QRectF area = QRectF(rect()).adjusted(6, 6, -6, -6);
    if (!m_result.pictures.isEmpty()) {
        int count = static_cast<int>(m_result.pictures.size());
        double gap = 12;
        double captionHeight = 18;
        double slot = (area.width() - gap * (count - 1)) / count;
        for (int k = 0; k < count; ++k) {
            const QImage& image = m_result.pictures[k];
            QSizeF size = image.size();
            size.scale(QSizeF(slot, area.height() - captionHeight), Qt::KeepAspectRatio);
            QRectF target(area.left() + k * (slot + gap) + (slot - size.width()) / 2,
                          area.top() + (area.height() - captionHeight - size.height()) / 2,
                          size.width(), size.height());
            painter.fillRect(target.translated(3, 3), QColor(0, 0, 0, 40));
            painter.drawImage(target, image);
            painter.setPen(QColor(0x88, 0x88, 0x88));
            painter.drawRect(target);
            painter.setPen(palette().color(QPalette::WindowText));
            painter.drawText(QRectF(target.left() - gap / 2, target.bottom() + 2,
                                    target.width() + gap, captionHeight),
                             Qt::AlignHCenter | Qt::AlignTop, m_result.captions.value(k));
        }
    } else if (!m_result.note.isEmpty()) {
        painter.setPen(palette().color(QPalette::WindowText));
        painter.drawText(area, Qt::AlignCenter | Qt::TextWordWrap, m_result.note);
    }
    if (m_busy) {
        QFont font = painter.font();
        font.setItalic(true);
        painter.setFont(font);
        painter.setPen(palette().color(QPalette::PlaceholderText));
        painter.drawText(area, Qt::AlignRight | Qt::AlignBottom, QStringLiteral("Imposing..."));
    }
}

}  // namespace desktop::ui
