// The batch list window ("Prepare batch list"): the list of input files with its
// three columns, the output folder, the File and Action menus, drops of files and folders, and
// the "Scanning" window, how many rows run at once and how far a run has come. The rows live in
// the session's `BatchList` (which exists as long as this window does); the window shows them
// and forwards every command to the core. While a batch runs the list can not be changed: the
// rows' statuses arrive by their place in it.
#pragma once

#include <QMainWindow>
#include <string>
#include <string_view>

#include "desktop/core/BatchList.h"
#include "desktop/core/BatchProgress.h"
#include "desktop/core/ConfigFolder.h"
#include "desktop/core/DesktopSession.h"
#include "desktop/ui/DesktopServices.h"

class QAction;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;
class QTreeWidget;
class QVBoxLayout;

namespace desktop {
class UiPort;
}

namespace desktop::ui {

class QtUiPort;

// The "Scanning" window: shows the folder being read, with "&Stop".
class ScanningWindow : public QWidget {
    Q_OBJECT
  public:
    explicit ScanningWindow(QWidget* parent = nullptr);
    void ShowFolder(const QString& folder);
    bool StopRequested() const { return m_stop; }
    QPushButton* StopButton() const { return m_stopButton; }

  private:
    QLabel* m_folder = nullptr;
    QPushButton* m_stopButton = nullptr;
    bool m_stop = false;
};

struct BatchActions {
    QAction* addFile = nullptr;
    QAction* scan = nullptr;
    QAction* loadList = nullptr;
    QAction* appendList = nullptr;
    QAction* saveList = nullptr;
    QAction* saveListAs = nullptr;
    QAction* exit = nullptr;
    QAction* deleteRows = nullptr;
    QAction* moveUp = nullptr;
    QAction* moveDown = nullptr;
    QAction* openAll = nullptr;
    QAction* openAllReverse = nullptr;
};

class BatchWindow : public QMainWindow {
    Q_OBJECT
  public:
    // `open` (the main window's, outliving this one) opens the rows' files.
    BatchWindow(DesktopSession& session, QtUiPort& ui, const Opener& open, QWidget* owner);

    BatchList& List() { return m_session.EnsureBatchList(); }
    QTreeWidget* Rows() const { return m_rows; }
    const BatchActions& Actions() const { return m_actions; }
    QLineEdit* OutputEdit() const { return m_output; }
    QPushButton* BrowseButton() const { return m_browse; }
    QPushButton* ClearButton() const { return m_clear; }
    QPushButton* CloseButton() const { return m_close; }
    QPushButton* CancelButton() const { return m_cancel; }
    QSpinBox* RowsAtOnce() const { return m_rowsAtOnce; }
    QLabel* ProgressText() const { return m_progress; }
    ScanningWindow* Scanning() const { return m_scanning; }

    // The output folder: the edit's text.
    std::string OutputFolder() const;
    void SetOutputFolder(std::string_view folder);

    // Window controls -> the list's values, and back.
    void CopyControlsIn();
    void ShowRows();
    void SetRowStatus(int row, std::string_view status);
    // A batch run starts or ends: the list and its commands are locked while it runs.
    void SetRunning(bool running);
    void ShowProgress(const BatchProgress& progress);

    // The commands.
    void AddFile();
    void ScanForFiles();
    void LoadList();
    void AppendList();
    void SaveList();
    void SaveListAs();
    void DeleteSelected();
    void MoveUp();
    void MoveDown();
    void OpenAll(bool reverse);
    void ClearAll();
    void BrowseFolder();
    void ToggleRow(int row);
    // Closing ("&Close", "&Exit", the title bar): the rows go to "default.lst" in the
    // configuration folder, without a message, then the window hides.
    void CloseWindow();

    // A list file: read and appended to the rows (a message when it can not be read).
    bool ReadList(const std::string& name);
    // Adds dropped paths: files as rows, folders scanned.
    void AddPaths(const QStringList& paths);
    // Scans `folder` while the "Scanning" window shows it; false when stopped.
    bool Scan(const std::string& folder);

    // The current list file name ("default.lst" when the window opens).
    const std::string& ListFileName() { return List().listFileName; }

  protected:
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    QTreeWidget* BuildRows(QWidget* central);
    void BuildFolderRow(QWidget* central, QVBoxLayout& layout);
    void BuildRunRow(QWidget* central, QVBoxLayout& layout);
    void BuildButtons(QWidget* central, QVBoxLayout& layout);
    void BuildMenus();
    void ConnectCommands();
    std::vector<size_t> SelectedRows() const;
    void SelectRow(size_t row);
    void WriteList();

    DesktopSession& m_session;
    QtUiPort& m_ui;
    const Opener& m_open;
    BatchActions m_actions;
    QTreeWidget* m_rows = nullptr;
    QLineEdit* m_output = nullptr;
    QPushButton* m_browse = nullptr;
    QPushButton* m_clear = nullptr;
    QPushButton* m_close = nullptr;
    QPushButton* m_cancel = nullptr;
    QSpinBox* m_rowsAtOnce = nullptr;
    QLabel* m_progress = nullptr;
    ScanningWindow* m_scanning = nullptr;
    bool m_closing = false;
    bool m_running = false;
};

}  // namespace desktop::ui
