#include "desktop/ui/WatchFolderDialog.h"

#include <QDir>
#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include "desktop/core/BackgroundWatch.h"
#include "desktop/core/FolderWatch.h"
#include "desktop/ui/QtText.h"

namespace desktop::ui {
namespace {

// How many lines each list keeps: the newest first.
constexpr int kListedLines = 50;

void AddNewest(QListWidget* list, const QString& line) {
    list->insertItem(0, line);
    while (list->count() > kListedLines) delete list->takeItem(list->count() - 1);
}

}  // namespace

WatchFolderDialog::WatchFolderDialog(ConfigFolder config, std::function<JobSetup()> currentJob,
                                     QWidget* parent)
    : QDialog(parent), m_config(std::move(config)), m_currentJob(std::move(currentJob)) {
    setWindowTitle(QStringLiteral("Watch Folder"));
    m_folder = new QLineEdit(this);
    m_folder->setToolTip(QStringLiteral(
        "Files put in FOLDER/in are imposed with the window's settings into FOLDER/out, then "
        "moved to FOLDER/done, or to FOLDER/error with NAME.log saying why."));
    m_browse = new QPushButton(QStringLiteral("Browse"), this);
    m_startStop = new QPushButton(QStringLiteral("Start"), this);
    m_status = new QLabel(this);
    m_status->setWordWrap(true);
    m_done = new QListWidget(this);
    m_failed = new QListWidget(this);

    auto* folderRow = new QHBoxLayout;
    folderRow->addWidget(m_folder, 1);
    folderRow->addWidget(m_browse);
    folderRow->addWidget(m_startStop);
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Folder:"), folderRow);
    layout->addLayout(form);
    layout->addWidget(m_status);
    layout->addWidget(new QLabel(QStringLiteral("Done (newest first):"), this));
    layout->addWidget(m_done);
    layout->addWidget(new QLabel(QStringLiteral("Failed (newest first):"), this));
    layout->addWidget(m_failed);
    resize(560, 420);

    // A watch also ends by itself when its folder cannot be used.
    m_endCheck = new QTimer(this);
    m_endCheck->setInterval(250);
    connect(m_endCheck, &QTimer::timeout, this, &WatchFolderDialog::ShowState);
    connect(m_browse, &QPushButton::clicked, this, &WatchFolderDialog::BrowseFolder);
    connect(m_startStop, &QPushButton::clicked, this, [this] {
        if (Watching()) {
            StopWatching();
        } else {
            StartWatching();
        }
    });
    m_status->setText(QStringLiteral("Not watching."));
    ShowState();
}

WatchFolderDialog::~WatchFolderDialog() {
    StopWatching();
}

bool WatchFolderDialog::Watching() const {
    return m_watch && m_watch->Running();
}

bool WatchFolderDialog::StartWatching() {
    QString text = m_folder->text().trimmed();
    if (text.isEmpty()) {
        m_status->setText(QStringLiteral("Name the folder to watch."));
        return false;
    }
    StopWatching();
    if (text.startsWith(QStringLiteral("~/"))) text = QDir::homePath() + text.mid(1);
    QString folder = QDir::cleanPath(QDir(text).absolutePath());
    WatchSettings settings;
    settings.folder = S(folder);
    settings.job = m_currentJob();
    // Lines come on the watching thread; the dialog shows them on its own (and drops them
    // once it is gone).
    m_watch = std::make_unique<BackgroundWatch>(settings, m_config, [this](const std::string& l) {
        QString line = Q(l);
        QMetaObject::invokeMethod(
            this, [this, line] { ShowLine(line); }, Qt::QueuedConnection);
    });
    m_endCheck->start();
    m_status->setText(
        QStringLiteral("Watching %1: files put in %1/in are imposed into %1/out.").arg(folder));
    ShowState();
    return true;
}

void WatchFolderDialog::StopWatching() {
    if (!m_watch) return;
    m_watch->Stop();
    m_watch.reset();
    m_endCheck->stop();
    m_status->setText(QStringLiteral("Not watching."));
    ShowState();
}

void WatchFolderDialog::BrowseFolder() {
    QString chosen = QFileDialog::getExistingDirectory(this, QStringLiteral("Folder to watch"),
                                                       m_folder->text());
    if (!chosen.isEmpty()) m_folder->setText(chosen);
}

void WatchFolderDialog::ShowLine(const QString& line) {
    switch (KindOfWatchLine(S(line))) {
        case WatchLineKind::Done:
            AddNewest(m_done, line);
            break;
        case WatchLineKind::Failed:
            AddNewest(m_failed, line);
            break;
        case WatchLineKind::Other:
            m_status->setText(line);
            break;
    }
}

void WatchFolderDialog::ShowState() {
    const bool watching = Watching();
    // A watch that ended by itself said why in its last line, shown already.
    if (!watching && m_watch) {
        m_watch.reset();
        m_endCheck->stop();
    }
    m_startStop->setText(watching ? QStringLiteral("Stop") : QStringLiteral("Start"));
    m_folder->setEnabled(!watching);
    m_browse->setEnabled(!watching);
}

}  // namespace desktop::ui
