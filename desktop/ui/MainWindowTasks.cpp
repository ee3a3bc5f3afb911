// The main window's one-click settings: the "Task" row and the "Presets" menu.
#include <QInputDialog>
#include <QMenu>
#include <QStatusBar>
#include <QTabWidget>

#include "desktop/core/Presets.h"
#include "desktop/ui/MainWindow.h"
#include "desktop/ui/QtText.h"
#include "desktop/ui/TaskRow.h"

namespace desktop::ui {

namespace {

constexpr std::string_view kPresetTitle = "Presets";

}  // namespace

void MainWindow::ApplyTaskChoice(Task task) {
    if (m_running) return;
    CopyControlsIn();
    TaskResult result = ApplyTask(Setup(), task);
    Setup() = result.setup;
    ShowChosenSettings(Q(result.summary));
    // The tab that holds what the task set comes to the front.
    if (task == Task::Book) m_controls.sheetTabs->setCurrentIndex(kBookTab);
    if (task == Task::Poster) m_controls.sheetTabs->setCurrentIndex(kPosterTab);
    if (task == Task::Cards) m_controls.sheetTabs->setCurrentIndex(kSheetTab);
}

// Settings a task or a preset set, shown with the summary of what they are, which stays as long
// as they do.
void MainWindow::ShowChosenSettings(const QString& summary) {
    ShowValues();
    CopyControlsIn();  // as the controls hold them, so that an unchanged window compares equal
    m_taskSetup = Setup();
    RefreshPictures();
    m_controls.tasks->ShowSummary(summary);
    statusBar()->showMessage(summary);
}

// The summary tells what the task set up; the files and the page range are not part of it.
void MainWindow::ForgetChangedTask() {
    if (!m_taskSetup) return;
    JobSetup now = Setup();
    now.inFile = m_taskSetup->inFile;
    now.outFile = m_taskSetup->outFile;
    now.startPage = m_taskSetup->startPage;
    now.endPage = m_taskSetup->endPage;
    if (now == *m_taskSetup) return;
    m_taskSetup.reset();
    if (statusBar()->currentMessage() == m_controls.tasks->SummaryText())
        statusBar()->clearMessage();
    m_controls.tasks->ShowSummary({});
}

void MainWindow::SavePreset() {
    QInputDialog dialog(this);
    dialog.setObjectName(QStringLiteral("presetName"));
    dialog.setWindowTitle(QStringLiteral("Save as Preset"));
    dialog.setLabelText(QStringLiteral("Name of the preset:"));
    dialog.setTextValue(Q(m_lastPreset));
    if (dialog.exec() != QDialog::Accepted) return;
    std::string name = S(dialog.textValue().trimmed());
    if (std::string refusal = PresetNameRefusal(name); !refusal.empty()) {
        m_port.Message(refusal, kPresetTitle);
        return;
    }
    Presets presets(m_config);
    if (presets.Exists(name) &&
        !m_port.Confirm("Replace the preset \"" + name + "\"?", "Replace", kPresetTitle)) {
        return;
    }
    CopyControlsIn();
    PresetResult saved = presets.Save(name, Setup());
    if (!saved.done) {
        m_port.Message(saved.message, kPresetTitle);
        return;
    }
    m_lastPreset = name;
    statusBar()->showMessage(Q(saved.message));
}

void MainWindow::LoadPreset(const std::string& name) {
    if (m_running) return;
    CopyControlsIn();
    PresetResult loaded = Presets(m_config).Load(name, Setup());
    if (loaded.done) {
        m_lastPreset = name;
        ShowChosenSettings(QStringLiteral("Preset: ") + Q(name));
    }
    if (!loaded.message.empty()) m_port.Message(loaded.message, kPresetTitle);
}

void MainWindow::DeletePreset(const std::string& name) {
    if (!m_port.Confirm("Delete the preset \"" + name + "\"?", "Delete", kPresetTitle)) return;
    PresetResult removed = Presets(m_config).Remove(name);
    if (!removed.done) m_port.Message(removed.message, kPresetTitle);
}

// Runs before the menu opens: no entry of it is running then, so the old ones can go.
void MainWindow::RebuildPresetsMenu() {
    auto& a = m_actions;
    delete a.deletePreset;
    a.presets->clear();
    a.savePreset =
        a.presets->addAction(QStringLiteral("Save as Preset..."), this, &MainWindow::SavePreset);
    a.presets->addSeparator();
    std::vector<std::string> names = Presets(m_config).Names();
    if (names.empty()) {
        a.presets->addAction(QStringLiteral("(no presets saved yet)"))->setEnabled(false);
    }
    for (const std::string& name : names) {
        // A preset's name is shown as it is: no '&' in it makes a shortcut.
        QString shown = Q(name).replace('&', QStringLiteral("&&"));
        a.presets->addAction(shown, this, [this, name] { LoadPreset(name); });
    }
    a.presets->addSeparator();
    a.deletePreset = a.presets->addMenu(QStringLiteral("Delete Preset"));
    a.deletePreset->setEnabled(!names.empty());
    for (const std::string& name : names) {
        QString shown = Q(name).replace('&', QStringLiteral("&&"));
        a.deletePreset->addAction(shown, this, [this, name] { DeletePreset(name); });
    }
}

}  // namespace desktop::ui
