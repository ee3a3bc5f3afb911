#include "desktop/ui/MainWindow.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QEventLoop>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QShortcut>
#include <QSplitter>
#include <QTimer>
#include <QUrl>
#include <QVBoxLayout>
#include <map>
#include <optional>

#include "desktop/core/ProposedOutput.h"
#include "desktop/core/UiTexts.h"
#include "desktop/core/WebCommands.h"
#include "desktop/ui/BatchWindow.h"
#include "desktop/ui/ConversionOptionsDialog.h"
#include "desktop/ui/DesktopServices.h"
#include "desktop/ui/ExamplePicture.h"
#include "desktop/ui/PreviewPane.h"
#include "desktop/ui/QtText.h"
#include "desktop/ui/SmallDialogs.h"
#include "desktop/ui/WatchFolderDialog.h"

namespace desktop::ui {

namespace {

// How often the window looks whether the running job has ended.
constexpr int kJobPollMilliseconds = 5;

std::string AbsoluteName(const std::string& name) {
    return name.empty() ? name : S(QFileInfo(Q(name)).absoluteFilePath());
}

}  // namespace

MainWindow::MainWindow(ConfigFolder config, CommandLine line, QWidget* parent)
    : QMainWindow(parent), m_config(config), m_port(this), m_line(std::move(line)) {
    setWindowTitle(Q(kMainTitle));
    setWindowIcon(QIcon::fromTheme(QStringLiteral("velmorade")));
    // 1. The controls, the progress bar's range 1..6 at position 0; drops are accepted.
    BuildControls();
    BuildMenus();
    SetTabOrder();
    m_port.SetProgressBar(m_controls.progress);
    m_port.SetRowStatusSink([this](int row, std::string_view status) {
        if (m_batch) m_batch->SetRowStatus(row, status);
    });
    // 2-5, 7. The conversion settings, the engines and "Default.plf", through the session;
    // its messages wait until the window is shown.
    m_port.SetDeferMessages(true);
    m_session = std::make_unique<DesktopSession>(m_port, m_config);
    m_session->SetJobWaiter([this](std::future<void>& done) { WaitForJob(done); });
    m_session->GuardOutputs(true);
    m_session->Open();
    NoteProposedOutput();
    ShowValues();
    RefreshPictures();
}

MainWindow::~MainWindow() {
    // The controls outlive this part of the window a little: a focus change while they go
    // (an edit's editingFinished) must not reach it.
    for (QObject* child : findChildren<QObject*>())
        QObject::disconnect(child, nullptr, this, nullptr);
    m_controls.preview->Stop();
    if (m_batch) delete m_batch.data();
}

void MainWindow::BuildMenus() {
    auto& a = m_actions;
    QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
    a.loadSettings =
        file->addAction(QStringLiteral("Load Settings"), this, &MainWindow::LoadSettings);
    a.saveSettings =
        file->addAction(QStringLiteral("Save Settings"), this, &MainWindow::SaveSettings);
    a.saveSettingsAs =
        file->addAction(QStringLiteral("Save Settings As"), this, &MainWindow::SaveSettingsAs);
    a.presets = menuBar()->addMenu(QStringLiteral("&Presets"));
    connect(a.presets, &QMenu::aboutToShow, this, &MainWindow::RebuildPresetsMenu);
    RebuildPresetsMenu();
    QMenu* conversion = menuBar()->addMenu(QStringLiteral("Con&version to PDF"));
    a.conversionSetup =
        conversion->addAction(QStringLiteral("Setup"), this, &MainWindow::ConversionSetup);
    QMenu* batch = menuBar()->addMenu(QStringLiteral("&Batch"));
    a.prepareList =
        batch->addAction(QStringLiteral("Prepare a List"), this, [this] { PrepareList(); });
    a.processList =
        batch->addAction(QStringLiteral("Process List"), this, &MainWindow::ProcessList);
    a.watchFolder =
        batch->addAction(QStringLiteral("Watch Folder..."), this, [this] { WatchFolder(); });
    QMenu* help = menuBar()->addMenu(QStringLiteral("&Help"));
    a.htmlHelp = help->addAction(QStringLiteral("HTML Help"), this, &MainWindow::HtmlHelp);
    help->addSeparator();
    a.homepage = help->addAction(QStringLiteral("Website Homepage"), this,
                                 [this] { OpenAddress(std::string(kHomepageAddress)); });
    a.videos = help->addAction(QStringLiteral("Online How-To Videos"), this,
                               [this] { OpenAddress(std::string(kVideosAddress)); });
    a.forum = help->addAction(QStringLiteral("Community Forum"), this,
                              [this] { OpenAddress(std::string(kForumAddress)); });
    help->addSeparator();
    a.subscribeProduct = help->addAction(QStringLiteral("Subscribe to Velmora DE Email List"), this,
                                         [this] { Subscribe(std::string(kProductListAddress)); });
    a.subscribeNewsletter =
        help->addAction(QStringLiteral("Subscribe to Corvell Software Email Newsletter"), this,
                        [this] { Subscribe(std::string(kNewsletterAddress)); });
    help->addSeparator();
    a.supportMail = help->addAction(QStringLiteral("Email Bug/Suggestion/Comments"), this,
                                    &MainWindow::SupportMail);
    help->addSeparator();
    a.about = help->addAction(Q(kAboutTitle), this, &MainWindow::About);

    a.startDebug = new QAction(QStringLiteral("Start debug log"), this);
    a.startDebug->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_D));
    a.startDebug->setShortcutContext(Qt::WindowShortcut);
    connect(a.startDebug, &QAction::triggered, this, &MainWindow::StartDebugLog);
    addAction(a.startDebug);
}

void MainWindow::RefreshPictures() {
    FollowProposedOutput();
    ForgetChangedTask();
    m_controls.example->ShowJob(Setup());
    m_controls.preview->ShowJob(Setup(), Conversion());
    m_controls.output->setPlaceholderText(Q(ProposedOutputName(Setup())));
}

DialogButton MainWindow::RunDialog(QDialog& dialog) {
    if (dialogRunner) return dialogRunner(dialog);
    return dialog.exec() == QDialog::Accepted ? DialogButton::SaveExit : DialogButton::Cancel;
}

void MainWindow::ApplyResult(const InterlockResult& result) {
    Setup() = result.setup;
    ShowValues();
    RefreshPictures();
    if (!result.message.empty()) m_port.Message(result.message);
    if (result.dialog == DialogRequest::DuplexMode) {
        DuplexModeWindow dialog(result.duplexMode, this);
        DialogButton button = RunDialog(dialog);
        Setup() = CloseDuplexMode(Setup(), dialog.State(), button);
    } else if (result.dialog == DialogRequest::ConversionMode) {
        ConversionModeWindow dialog(result.conversionMode, this);
        DialogButton button = RunDialog(dialog);
        Setup() = CloseConversionMode(Setup(), dialog.State(), button);
    } else {
        return;
    }
    ShowValues();
    RefreshPictures();
}

void MainWindow::ApplyOptionClick(OptionAction action) {
    CopyControlsIn();
    ApplyResult(ApplyOption(Setup(), action));
}

void MainWindow::ApplyLayoutChoice(const QString& name) {
    CopyControlsIn();
    ApplyResult(ChooseLayout(Setup(), S(name)));
}

// The job runs on the pipeline's worker; the window goes on handling its events (repaints,
// Cancel) until it has ended, then shows what the job posted on its way.
void MainWindow::WaitForJob(std::future<void>& done) {
    auto ended = [&] {
        return done.wait_for(std::chrono::seconds(0)) == std::future_status::ready;
    };
    if (!ended()) {
        QEventLoop loop;
        QTimer poll;
        poll.setInterval(kJobPollMilliseconds);
        connect(&poll, &QTimer::timeout, &loop, [&] {
            if (ended()) loop.quit();
        });
        poll.start();
        loop.exec();
    }
    m_port.FlushPosted();
}

void MainWindow::SetRunning(bool running) {
    m_running = running;
    m_controls.cancel->setVisible(running);
    m_controls.impose->setEnabled(!running);
    m_controls.close->setEnabled(!running);
    ShowTestSheetButton();
    menuBar()->setEnabled(!running);
    if (m_batch) m_batch->SetRunning(running);
    m_port.SetRunning(running);
}

void MainWindow::Impose() {
    if (m_running) return;
    CopyControlsIn();
    // An empty Output takes the proposed name, shown in the field from then on (a batch run
    // names its outputs itself).
    bool batchRows = m_session->Batch() != nullptr && !m_session->Batch()->rows.empty();
    if (Setup().outFile.empty() && !batchRows) {
        Setup().outFile = ProposedOutputName(Setup());
        NoteProposedOutput();
        ShowValues();
    }
    SetRunning(true);
    m_session->Process();
    SetRunning(false);
    SyncBatchWindow();
    ShowValues();
}

void MainWindow::ProcessList() {
    if (m_running) return;
    CopyControlsIn();
    if (m_batch) {
        // The batch window shows the run's progress: it comes to the front for it.
        m_batch->CopyControlsIn();
        m_batch->show();
        m_batch->raise();
        m_batch->activateWindow();
    }
    SetRunning(true);
    m_session->ProcessList();
    SetRunning(false);
    if (m_batch) m_batch->ShowRows();
}

WatchFolderDialog* MainWindow::WatchFolder() {
    if (!m_watchFolder) {
        m_watchFolder = new WatchFolderDialog(
            m_config,
            [this] {
                CopyControlsIn();
                return Setup();
            },
            this);
    }
    m_watchFolder->show();
    m_watchFolder->raise();
    m_watchFolder->activateWindow();
    return m_watchFolder;
}

void MainWindow::CloseCommand() {
    if (m_running || m_ended) return;
    EndSession();
    close();
}

void MainWindow::EndSession() {
    if (m_running || m_ended) return;
    CopyControlsIn();
    if (m_batch) m_batch->CopyControlsIn();
    if (m_watchFolder) m_watchFolder->StopWatching();
    m_session->Close();
    m_ended = true;
    SyncBatchWindow();
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (m_running) {
        // A step is running: the title bar's close asks it to stop first.
        m_port.RequestCancel();
        event->ignore();
        return;
    }
    // The title bar, Alt+F4 and the system menu save as the Close button does.
    EndSession();
    m_controls.preview->Stop();
    event->accept();
}

void MainWindow::DestroyBatchWindow() {
    m_session->DestroyBatchList();
    SyncBatchWindow();
}

void MainWindow::SyncBatchWindow() {
    if (m_session->Batch() == nullptr) {
        if (m_batch) {
            m_batch->hide();
            m_batch->deleteLater();
            m_batch = nullptr;
        }
        return;
    }
    if (!m_batch) {
        m_batch = new BatchWindow(*m_session, m_port, m_opener, this);
        m_batch->show();
    }
    m_batch->ShowRows();
}

BatchWindow* MainWindow::PrepareList() {
    CopyControlsIn();
    m_session->EnsureBatchList();
    SyncBatchWindow();
    m_batch->show();
    m_batch->raise();
    m_batch->activateWindow();
    return m_batch;
}

void MainWindow::LoadSettings() {
    std::optional<std::string> name = m_port.ChooseFile(LoadSettingsDialog());
    if (!name) return;
    CopyControlsIn();
    SetupReadResult read = m_session->LoadSetup(*name, SetupReadOptions{false});
    if (read.outFolderRead && m_batch) m_batch->SetOutputFolder(Setup().outFolder);
    NoteProposedOutput();
    ShowValues();
    RefreshPictures();
}

void MainWindow::SaveSettings() {
    CopyControlsIn();
    SetupWriteResult written = m_session->SetupFileNames().Save(Setup(), m_batch != nullptr);
    ShowValues();
    if (!written.message.empty()) m_port.Message(written.message);
}

void MainWindow::SaveSettingsAs() {
    std::optional<std::string> name = m_port.ChooseFile(SaveSettingsDialog());
    if (!name) return;
    CopyControlsIn();
    SetupWriteResult written =
        m_session->SetupFileNames().SaveAs(*name, Setup(), m_batch != nullptr);
    ShowValues();
    if (!written.message.empty()) m_port.Message(written.message);
}

void MainWindow::ConversionSetup() {
    ConversionOptionsDialog dialog(Conversion(), m_config, m_port, this, m_opener);
    dialog.exec();
}

void MainWindow::BrowseInput() {
    CopyControlsIn();
    std::optional<std::string> name = m_port.ChooseFile(BrowseInputDialog(Setup().inFile));
    if (!name) return;
    Setup().inFile = *name;
    ShowValues();
    RefreshPictures();
}

void MainWindow::BrowseOutput() {
    CopyControlsIn();
    // Without an output, the dialog opens in the input's folder on the proposed name.
    std::string current = Setup().outFile;
    if (current.empty()) current = AbsoluteName(ProposedOutputName(Setup()));
    std::optional<std::string> name = m_port.ChooseFile(BrowseOutputDialog(current));
    if (!name) return;
    Setup().outFile = *name;
    ShowValues();
}

void MainWindow::Open(const std::string& nameOrAddress) {
    if (!m_opener(nameOrAddress)) m_port.Message(NothingOpensText(nameOrAddress));
}

void MainWindow::View(const std::string& name) {
    if (name.empty()) {
        m_port.Message(kNoFile);
        return;
    }
    Open(name);
}

void MainWindow::ViewInput() {
    View(Setup().inFile);
}
void MainWindow::ViewOutput() {
    View(Setup().outFile);
}

void MainWindow::StartDebugLog() {
    Log().Start(m_port);
}

void MainWindow::HtmlHelp() {
    std::string index = HelpIndex();
    if (index.empty()) {
        m_port.Message("The help pages are not installed (share/velmora/help/index.html).");
        return;
    }
    Open(index);
}

void MainWindow::OpenAddress(const std::string& address) {
    Open(address);
}

void MainWindow::Subscribe(const std::string& page) {
    EmailAddressWindow dialog(this);
    if (dialog.exec() != QDialog::Accepted) return;
    Open(SubscriptionAddress(page, S(dialog.Address())));
}

void MainWindow::SupportMail() {
    Open(SupportMailAddress(GatherSystemInformation()));
}

void MainWindow::About() {
    QMessageBox box(QMessageBox::Information, Q(kAboutTitle), Q(kAboutText), QMessageBox::Ok, this);
    box.setIconPixmap(windowIcon().pixmap(64, 64));
    box.exec();
}

void MainWindow::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
        case Qt::Key_Escape:
            // Neither presses a button nor closes the window.
            event->accept();
            return;
        default:
            QMainWindow::keyPressEvent(event);
    }
}

void MainWindow::dragEnterEvent(QDragEnterEvent* event) {
    if (event->mimeData()->hasUrls() && !m_running) event->acceptProposedAction();
}

void MainWindow::dragMoveEvent(QDragMoveEvent* event) {
    if (event->mimeData()->hasUrls() && !m_running) event->acceptProposedAction();
}

void MainWindow::dropEvent(QDropEvent* event) {
    QStringList paths;
    for (const QUrl& url : event->mimeData()->urls()) {
        if (url.isLocalFile()) paths << url.toLocalFile();
    }
    DropFiles(paths, event->position().toPoint());
    event->acceptProposedAction();
}

void MainWindow::DropFiles(const QStringList& paths, const QPoint& point) {
    if (m_running) return;
    CopyControlsIn();
    QRect outputBand(m_controls.outputRow->mapTo(this, QPoint(0, 0)), m_controls.outputRow->size());
    // The band spans the whole width of the window, so a drop anywhere beside the row counts.
    bool onOutput = point.y() >= outputBand.top() && point.y() <= outputBand.bottom();
    bool changed = false;
    for (const QString& path : paths) {
        if (QFileInfo(path).isDir()) continue;
        if (onOutput) {
            Setup().outFile = S(path);
        } else {
            Setup().inFile = S(path);
        }
        changed = true;
    }
    if (!changed) return;
    ShowValues();
    RefreshPictures();
}

void MainWindow::Start() {
    // The messages of opening, now that the window shows.
    m_port.SetDeferMessages(false);
    // 8. The command line, acting in order.
    CommandLine line = std::move(m_line);
    m_line = CommandLine{};
    if (!line.actions.empty() || line.commandLineMode) {
        m_session->ApplyCommandLine(line);
        SyncBatchWindow();
        ShowValues();
        RefreshPictures();
        if (m_session->IsClosed()) {
            m_ended = true;
            close();
        }
    }
}

}  // namespace desktop::ui
