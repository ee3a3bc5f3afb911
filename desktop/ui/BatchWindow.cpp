#include "desktop/ui/BatchWindow.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QMouseEvent>
#include <QPointer>
#include <QPushButton>
#include <QSpinBox>
#include <QTreeWidget>
#include <QUrl>
#include <QVBoxLayout>

#include "desktop/core/UiTexts.h"
#include "desktop/ui/DesktopServices.h"
#include "desktop/ui/QtText.h"
#include "desktop/ui/QtUiPort.h"

namespace desktop::ui {

namespace {

// A path or a status too long for its column shows whole in the row's tool tip.
void ShowWholeTexts(QTreeWidgetItem& item) {
    for (int column : {1, 2}) item.setToolTip(column, item.text(column));
}

}  // namespace

ScanningWindow::ScanningWindow(QWidget* parent) : QWidget(parent, Qt::Dialog) {
    setWindowTitle(QStringLiteral("Scanning"));
    auto* layout = new QVBoxLayout(this);
    m_folder = new QLabel(this);
    m_folder->setMinimumWidth(380);
    m_folder->setTextInteractionFlags(Qt::NoTextInteraction);
    layout->addWidget(m_folder);
    auto* row = new QHBoxLayout;
    row->addStretch(1);
    m_stopButton = new QPushButton(QStringLiteral("&Stop"), this);
    row->addWidget(m_stopButton);
    layout->addLayout(row);
    connect(m_stopButton, &QPushButton::clicked, this, [this] { m_stop = true; });
}

void ScanningWindow::ShowFolder(const QString& folder) {
    m_folder->setText(fontMetrics().elidedText(folder, Qt::ElideMiddle, m_folder->width()));
    m_folder->setToolTip(folder);
}

BatchWindow::BatchWindow(DesktopSession& session, QtUiPort& ui, const Opener& open, QWidget* owner)
    : QMainWindow(owner, Qt::Window), m_session(session), m_ui(ui), m_open(open) {
    setWindowTitle(Q(kBatchTitle));
    setAttribute(Qt::WA_DeleteOnClose, false);
    auto* central = new QWidget(this);
    setCentralWidget(central);
    auto* layout = new QVBoxLayout(central);
    layout->addWidget(BuildRows(central), 1);
    BuildFolderRow(central, *layout);
    BuildRunRow(central, *layout);
    BuildButtons(central, *layout);
    BuildMenus();
    ConnectCommands();

    m_scanning = new ScanningWindow(this);
    setAcceptDrops(true);
    resize(620, 420);
    // The output folder: the program-wide one, else the home folder.
    SetOutputFolder(List().outputFolder);
    ShowRows();
}

// The list of rows: Use, Filename and Status, with grid lines; drops go to the window.
QTreeWidget* BatchWindow::BuildRows(QWidget* central) {
    m_rows = new QTreeWidget(central);
    m_rows->setColumnCount(3);
    m_rows->setHeaderLabels(
        {QStringLiteral("Use"), QStringLiteral("Filename"), QStringLiteral("Status")});
    for (int column = 0; column < 3; ++column)
        m_rows->setColumnWidth(column, kBatchColumnWidths[column]);
    m_rows->setRootIsDecorated(false);
    m_rows->setItemsExpandable(false);
    m_rows->setUniformRowHeights(true);
    m_rows->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_rows->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_rows->setAllColumnsShowFocus(true);
    m_rows->header()->setSectionsMovable(true);
    m_rows->header()->setStretchLastSection(false);
    m_rows->setContextMenuPolicy(Qt::CustomContextMenu);
    m_rows->setAcceptDrops(false);
    m_rows->viewport()->setAcceptDrops(false);
    m_rows->viewport()->installEventFilter(this);
    // Grid lines between the cells.
    m_rows->setStyleSheet(
        QStringLiteral("QTreeWidget::item { border-right: 1px solid #d0d0d0; border-bottom: 1px "
                       "solid #d0d0d0; }"));
    m_rows->setMinimumSize(
        kBatchColumnWidths[0] + kBatchColumnWidths[1] + kBatchColumnWidths[2] + 24, 240);
    return m_rows;
}

void BatchWindow::BuildFolderRow(QWidget* central, QVBoxLayout& layout) {
    auto* folderRow = new QHBoxLayout;
    m_output = new QLineEdit(central);
    m_output->setAcceptDrops(false);
    auto* folderLabel = new QLabel(QStringLiteral("&Output to folder:"), central);
    folderLabel->setBuddy(m_output);
    m_browse = new QPushButton(QStringLiteral("Browse"), central);
    folderRow->addWidget(folderLabel);
    folderRow->addWidget(m_output, 1);
    folderRow->addWidget(m_browse);
    layout.addLayout(folderRow);
}

void BatchWindow::BuildRunRow(QWidget* central, QVBoxLayout& layout) {
    auto* runRow = new QHBoxLayout;
    m_rowsAtOnce = new QSpinBox(central);
    m_rowsAtOnce->setRange(1, kMaxBatchRows);
    m_rowsAtOnce->setValue(m_session.BatchRows() > 0 ? m_session.BatchRows() : DefaultBatchRows());
    m_rowsAtOnce->setToolTip(QStringLiteral("How many files of the list are imposed at once"));
    auto* rowsLabel = new QLabel(QStringLiteral("&Rows at once:"), central);
    rowsLabel->setBuddy(m_rowsAtOnce);
    m_progress = new QLabel(central);
    runRow->addWidget(rowsLabel);
    runRow->addWidget(m_rowsAtOnce);
    runRow->addSpacing(12);
    runRow->addWidget(m_progress, 1);
    layout.addLayout(runRow);
}

void BatchWindow::BuildButtons(QWidget* central, QVBoxLayout& layout) {
    auto* buttons = new QHBoxLayout;
    m_clear = new QPushButton(QStringLiteral("&Clear ALL"), central);
    m_cancel = new QPushButton(QStringLiteral("C&ancel"), central);
    m_cancel->setVisible(false);
    m_close = new QPushButton(QStringLiteral("&Close"), central);
    buttons->addWidget(m_clear);
    buttons->addStretch(1);
    buttons->addWidget(m_cancel);
    buttons->addWidget(m_close);
    layout.addLayout(buttons);
}

void BatchWindow::ConnectCommands() {
    connect(m_browse, &QPushButton::clicked, this, &BatchWindow::BrowseFolder);
    connect(m_clear, &QPushButton::clicked, this, &BatchWindow::ClearAll);
    connect(m_close, &QPushButton::clicked, this, &BatchWindow::CloseWindow);
    connect(m_cancel, &QPushButton::clicked, this, [this] { m_ui.RequestCancel(); });
    m_ui.SetBatchProgressSink([window = QPointer<BatchWindow>(this)](const BatchProgress& p) {
        if (window) window->ShowProgress(p);
    });
    connect(m_rows, &QTreeWidget::customContextMenuRequested, this, [this](const QPoint& point) {
        QTreeWidgetItem* item = m_rows->itemAt(point);
        if (item == nullptr || !item->isSelected()) return;
        QMenu menu(QStringLiteral("Action"), this);
        menu.addAction(m_actions.deleteRows);
        menu.addAction(m_actions.moveUp);
        menu.addAction(m_actions.moveDown);
        menu.exec(m_rows->viewport()->mapToGlobal(point));
    });
}

void BatchWindow::BuildMenus() {
    auto& a = m_actions;
    QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
    a.addFile = file->addAction(QStringLiteral("Add a Single PDF File to List"), this,
                                &BatchWindow::AddFile);
    a.scan = file->addAction(QStringLiteral("&Scan for files"), this, &BatchWindow::ScanForFiles);
    file->addSeparator();
    a.loadList = file->addAction(QStringLiteral("Load List"), this, &BatchWindow::LoadList);
    a.appendList = file->addAction(QStringLiteral("Append List"), this, &BatchWindow::AppendList);
    a.saveList = file->addAction(QStringLiteral("Save List"), this, &BatchWindow::SaveList);
    a.saveListAs = file->addAction(QStringLiteral("SaveAs List"), this, &BatchWindow::SaveListAs);
    file->addSeparator();
    a.exit = file->addAction(QStringLiteral("&Exit"), this, &BatchWindow::CloseWindow);
    QMenu* action = menuBar()->addMenu(QStringLiteral("&Action"));
    a.deleteRows = action->addAction(QStringLiteral("&Delete"), this, &BatchWindow::DeleteSelected);
    a.deleteRows->setShortcut(QKeySequence(Qt::Key_Delete));
    a.moveUp = action->addAction(QStringLiteral("&Move Up"), this, &BatchWindow::MoveUp);
    // Ctrl+A stays Select All, as everywhere else.
    a.moveUp->setShortcut(QKeySequence(Qt::ALT | Qt::Key_Up));
    a.moveDown = action->addAction(QStringLiteral("&Move Down"), this, &BatchWindow::MoveDown);
    a.moveDown->setShortcut(QKeySequence(Qt::ALT | Qt::Key_Down));
    action->addSeparator();
    a.openAll = action->addAction(QStringLiteral("Open All"), this, [this] { OpenAll(false); });
    a.openAllReverse =
        action->addAction(QStringLiteral("Open All in Reverse"), this, [this] { OpenAll(true); });
    for (QAction* shortcut : {a.deleteRows, a.moveUp, a.moveDown})
        shortcut->setShortcutContext(Qt::WindowShortcut);
}

std::string BatchWindow::OutputFolder() const {
    return S(m_output->text());
}

void BatchWindow::SetOutputFolder(std::string_view folder) {
    List().outputFolder = std::string(folder);
    if (List().outputFolder.empty()) List().outputFolder = S(QDir::homePath());
    m_output->setText(Q(List().outputFolder));
}

void BatchWindow::CopyControlsIn() {
    List().outputFolder = OutputFolder();
    m_session.SetBatchRows(m_rowsAtOnce->value());
}

void BatchWindow::ShowRows() {
    m_rows->clear();
    QList<QTreeWidgetItem*> items;
    for (const BatchRow& row : List().rows) {
        auto* item = new QTreeWidgetItem(QStringList{Q(row.use), Q(row.path), Q(row.status)});
        ShowWholeTexts(*item);
        items << item;
    }
    m_rows->addTopLevelItems(items);
    m_output->setText(Q(List().outputFolder));
}

void BatchWindow::SetRowStatus(int row, std::string_view status) {
    if (row < 0 || static_cast<size_t>(row) >= List().rows.size()) return;
    List().rows[static_cast<size_t>(row)].status = std::string(status);
    if (QTreeWidgetItem* item = m_rows->topLevelItem(row)) {
        item->setText(2, Q(status));
        ShowWholeTexts(*item);
    }
}

void BatchWindow::SetRunning(bool running) {
    m_running = running;
    menuBar()->setEnabled(!running);
    const BatchActions& a = m_actions;
    for (QAction* action : {a.addFile, a.scan, a.loadList, a.appendList, a.saveList, a.saveListAs,
                            a.exit, a.deleteRows, a.moveUp, a.moveDown}) {
        action->setEnabled(!running);
    }
    for (QWidget* control :
         std::initializer_list<QWidget*>{m_output, m_browse, m_clear, m_close, m_rowsAtOnce}) {
        control->setEnabled(!running);
    }
    m_cancel->setVisible(running);
    setAcceptDrops(!running);
}

void BatchWindow::ShowProgress(const BatchProgress& progress) {
    m_progress->setText(Q(BatchProgressText(progress)));
    m_progress->setToolTip(m_progress->text());
}

std::vector<size_t> BatchWindow::SelectedRows() const {
    std::vector<size_t> rows;
    for (int i = 0; i < m_rows->topLevelItemCount(); ++i) {
        if (m_rows->topLevelItem(i)->isSelected()) rows.push_back(static_cast<size_t>(i));
    }
    return rows;
}

void BatchWindow::SelectRow(size_t row) {
    m_rows->clearSelection();
    if (QTreeWidgetItem* item = m_rows->topLevelItem(static_cast<int>(row))) {
        item->setSelected(true);
        m_rows->setCurrentItem(item);
    }
}

void BatchWindow::AddFile() {
    std::optional<std::string> name = m_ui.ChooseFile(AddFileDialog());
    if (!name) return;
    CopyControlsIn();
    List().AddFile(*name);
    ShowRows();
}

bool BatchWindow::Scan(const std::string& folder) {
    m_scanning->show();
    m_scanning->raise();
    ScanningWindow* scanning = m_scanning;
    auto keepGoing = [scanning](const std::string& at) {
        scanning->ShowFolder(Q(at));
        QApplication::processEvents();
        return !scanning->StopRequested();
    };
    // A fresh window for each scan: its Stop ends only this scan.
    bool finished = ScanFolder(folder, &List().rows, keepGoing);
    m_scanning->hide();
    m_scanning->deleteLater();
    m_scanning = new ScanningWindow(this);
    ShowRows();
    m_rows->resizeColumnToContents(1);
    return finished;
}

void BatchWindow::ScanForFiles() {
    CopyControlsIn();
    m_ui.SetFolderText("Please choose your drive to load documents from...");
    std::optional<std::string> folder =
        m_ui.ChooseFolder("Drive or Directory to load...", List().outputFolder);
    if (!folder) return;
    Scan(*folder);
    m_ui.Message("Files Loaded");
}

bool BatchWindow::ReadList(const std::string& name) {
    CopyControlsIn();
    bool read = m_session.LoadList(name, true);
    ShowRows();
    return read;
}

void BatchWindow::LoadList() {
    CopyControlsIn();
    List().rows.clear();
    ShowRows();
    std::optional<std::string> name = m_ui.ChooseFile(OpenListDialog());
    if (!name) return;
    ReadList(*name);
}

void BatchWindow::AppendList() {
    CopyControlsIn();
    std::optional<std::string> name = m_ui.ChooseFile(OpenListDialog());
    if (!name) return;
    ReadList(*name);
}

void BatchWindow::WriteList() {
    CopyControlsIn();
    const std::string& name = List().listFileName;
    if (!WriteListFile(name, List().rows)) {
        m_ui.Message("Can't save to :" + name);
        return;
    }
    m_ui.Message("List saved to file: " + name);
}

void BatchWindow::SaveList() {
    WriteList();
}

void BatchWindow::SaveListAs() {
    std::optional<std::string> name = m_ui.ChooseFile(SaveListDialog());
    if (!name) return;
    List().listFileName = *name;
    WriteList();
}

void BatchWindow::DeleteSelected() {
    CopyControlsIn();
    List().DeleteRows(SelectedRows());
    ShowRows();
}

void BatchWindow::MoveUp() {
    std::vector<size_t> selected = SelectedRows();
    if (selected.empty()) return;
    CopyControlsIn();
    size_t at = List().MoveUp(selected.front());
    ShowRows();
    SelectRow(at);
}

void BatchWindow::MoveDown() {
    std::vector<size_t> selected = SelectedRows();
    if (selected.empty()) return;
    CopyControlsIn();
    size_t at = List().MoveDown(selected.front());
    ShowRows();
    SelectRow(at);
}

void BatchWindow::OpenAll(bool reverse) {
    for (const std::string& path : List().PathsToOpen(reverse)) m_open(path);
}

void BatchWindow::ClearAll() {
    CopyControlsIn();
    if (List().rows.empty()) return;
    if (!m_ui.Confirm(ClearAllQuestion(List().rows.size()), "Clear", "Clear ALL")) return;
    List().rows.clear();
    ShowRows();
    m_progress->clear();
    m_progress->setToolTip({});
}

void BatchWindow::BrowseFolder() {
    CopyControlsIn();
    m_ui.SetFolderText("Please choose your folder to save documents to...");
    std::optional<std::string> folder =
        m_ui.ChooseFolder("Folder to save documents to...", List().outputFolder);
    if (!folder) return;
    List().outputFolder = *folder;
    m_output->setText(Q(*folder));
}

void BatchWindow::ToggleRow(int row) {
    if (row < 0 || static_cast<size_t>(row) >= List().rows.size()) return;
    CopyControlsIn();
    List().ToggleUse(static_cast<size_t>(row));
    const BatchRow& toggled = List().rows[static_cast<size_t>(row)];
    if (QTreeWidgetItem* item = m_rows->topLevelItem(row)) {
        item->setText(0, Q(toggled.use));
        item->setText(2, Q(toggled.status));
    }
}

void BatchWindow::CloseWindow() {
    if (m_running) return;
    CopyControlsIn();
    m_session.CloseBatchWindow();
    m_closing = true;
    hide();
    m_closing = false;
}

void BatchWindow::closeEvent(QCloseEvent* event) {
    if (m_running) {
        event->ignore();
        return;
    }
    if (!m_closing) {
        CloseWindow();
    }
    event->accept();
}

void BatchWindow::AddPaths(const QStringList& paths) {
    CopyControlsIn();
    for (const QString& path : paths) {
        if (QFileInfo(path).isDir()) {
            Scan(S(path));
        } else {
            List().AddFile(S(path));
        }
    }
    ShowRows();
}

void BatchWindow::dragEnterEvent(QDragEnterEvent* event) {
    if (event->mimeData()->hasUrls()) event->acceptProposedAction();
}

void BatchWindow::dragMoveEvent(QDragMoveEvent* event) {
    if (event->mimeData()->hasUrls()) event->acceptProposedAction();
}

void BatchWindow::dropEvent(QDropEvent* event) {
    QStringList paths;
    for (const QUrl& url : event->mimeData()->urls()) {
        if (url.isLocalFile()) paths << url.toLocalFile();
    }
    AddPaths(paths);
    event->acceptProposedAction();
}

bool BatchWindow::eventFilter(QObject* watched, QEvent* event) {
    // A left click on a row toggles its Use column.
    if (!m_running && watched == m_rows->viewport() &&
        event->type() == QEvent::MouseButtonRelease) {
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::LeftButton) {
            QTreeWidgetItem* item = m_rows->itemAt(mouse->position().toPoint());
            if (item != nullptr) ToggleRow(m_rows->indexOfTopLevelItem(item));
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

}  // namespace desktop::ui
