// The window's "Watch Folder" dialog: a hot folder watched with the job as the window holds it
// when watching starts, while the window stays usable. Files put in FOLDER/in are imposed into
// FOLDER/out and moved to FOLDER/done (or FOLDER/error); the dialog lists the last files done
// and failed. Closing the dialog leaves the watch running; Stop (or the window's end) ends it.
#pragma once

#include <QDialog>
#include <functional>
#include <memory>

#include "desktop/core/ConfigFolder.h"
#include "desktop/core/JobSetup.h"

class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QTimer;

namespace desktop {
class BackgroundWatch;
}

namespace desktop::ui {

class WatchFolderDialog : public QDialog {
    Q_OBJECT
  public:
    // `currentJob` gives the job to watch with, asked each time watching starts.
    WatchFolderDialog(ConfigFolder config, std::function<JobSetup()> currentJob,
                      QWidget* parent = nullptr);
    ~WatchFolderDialog() override;

    QLineEdit* FolderEdit() const { return m_folder; }
    QPushButton* StartStopButton() const { return m_startStop; }
    QLabel* StatusLabel() const { return m_status; }
    QListWidget* DoneList() const { return m_done; }
    QListWidget* FailedList() const { return m_failed; }
    bool Watching() const;

    // Starts watching the folder in the edit field (made when missing); false, with the
    // reason in the status line, when the field is empty.
    bool StartWatching();
    // Stops watching: rows running end and their files go back to FOLDER/in.
    void StopWatching();

  private:
    void BrowseFolder();
    void ShowLine(const QString& line);
    void ShowState();

    ConfigFolder m_config;
    std::function<JobSetup()> m_currentJob;
    std::unique_ptr<BackgroundWatch> m_watch;
    QLineEdit* m_folder = nullptr;
    QPushButton* m_browse = nullptr;
    QPushButton* m_startStop = nullptr;
    QLabel* m_status = nullptr;
    QListWidget* m_done = nullptr;
    QListWidget* m_failed = nullptr;
    QTimer* m_endCheck = nullptr;
};

}  // namespace desktop::ui
