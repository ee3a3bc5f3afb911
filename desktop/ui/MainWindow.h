// The main window of VelmoraDE: every control of the job, the menus and their
// commands, the example picture and the live preview.
//
// The window holds no rule of its own. It copies values between its controls and the core's
// `JobSetup` (CopyControlsIn / ShowValues), hands option clicks to the core's interlocks and
// shows what they ask for, and forwards the commands to the core (setup files, the pipeline,
// the batch run, the debug log) through the Qt UI port.
#pragma once

#include <QMainWindow>
#include <QPointer>
#include <functional>
#include <future>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "desktop/core/CommandLine.h"
#include "desktop/core/ConfigFolder.h"
#include "desktop/core/Conversion.h"
#include "desktop/core/DebugLog.h"
#include "desktop/core/DesktopSession.h"
#include "desktop/core/Interlocks.h"
#include "desktop/core/JobSetup.h"
#include "desktop/core/SetupFile.h"
#include "desktop/core/Tasks.h"
#include "desktop/ui/BatchWindow.h"
#include "desktop/ui/DesktopServices.h"
#include "desktop/ui/QtUiPort.h"

class QAction;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QLayout;
class QMenu;
class QRadioButton;
class QTabWidget;
class QVBoxLayout;

namespace desktop::ui {

class BatchWindow;
class WatchFolderDialog;
class ExamplePicture;
class PreviewPane;
class SheetSizeEdit;
class TaskRow;

// The tabs of sizes and sheets (MainControls::sheetTabs), in their order.
enum SheetTab {
    kMarginsTab,
    kPageSizeTab,
    kSheetTab,
    kBookTab,
    kPosterTab,
    kMarksTab,
    kTemplateTab
};

// Every control of the window, for the window itself and for the tests.
struct MainControls {
    TaskRow* tasks = nullptr;  // the "Task" row on top
    QLineEdit* input = nullptr;
    QPushButton* inputBrowse = nullptr;
    QPushButton* inputView = nullptr;
    QLineEdit* output = nullptr;
    QPushButton* outputBrowse = nullptr;
    QPushButton* outputView = nullptr;
    QWidget* outputRow = nullptr;  // the band whose drops set OUTFILE
    QLineEdit* startPage = nullptr;
    QLineEdit* endPage = nullptr;
    QCheckBox* duplicate = nullptr;
    QCheckBox* rotateLeft = nullptr;
    QCheckBox* rotateRight = nullptr;
    QRadioButton* across = nullptr;
    QRadioButton* down = nullptr;
    QRadioButton* ab = nullptr;
    QRadioButton* split = nullptr;
    QRadioButton* ab4 = nullptr;
    QRadioButton* ab2Duplex = nullptr;
    QComboBox* layout = nullptr;
    QRadioButton* rotateNone = nullptr;
    QRadioButton* rotateOdd = nullptr;
    QRadioButton* rotateEven = nullptr;
    QRadioButton* rotateAll = nullptr;
    QLineEdit* rightMargin = nullptr;
    QLineEdit* bottomMargin = nullptr;
    QLineEdit* mediaBox = nullptr;
    QLineEdit* cropBox = nullptr;
    QLineEdit* mediaBox2 = nullptr;
    QLineEdit* cropBox2 = nullptr;
    SheetSizeEdit* sheet = nullptr;
    QCheckBox* fitToSheet = nullptr;
    QLineEdit* outerMargin = nullptr;
    QLineEdit* gutter = nullptr;
    QCheckBox* cropMarks = nullptr;
    QLineEdit* signature = nullptr;
    QLineEdit* creep = nullptr;
    QCheckBox* foldMarks = nullptr;
    QCheckBox* rightToLeft = nullptr;
    QCheckBox* repeat = nullptr;  // "Cards": step-and-repeat on the chosen paper
    QLabel* cardsFit = nullptr;   // the copies per sheet the preview's run chose
    QLineEdit* bleed = nullptr;
    QCheckBox* duplexBacks = nullptr;
    QLineEdit* grid = nullptr;
    QComboBox* fillOrder = nullptr;
    QCheckBox* fromBottom = nullptr;
    QLineEdit* frame = nullptr;
    QComboBox* flip = nullptr;
    QLineEdit* backShift = nullptr;
    QPushButton* testSheet = nullptr;  // "Test sheet...": the sheet that finds the back shift
    QTabWidget* sheetTabs = nullptr;   // Margins, Output page size, Sheet, Book, Poster, ...
    QComboBox* fold = nullptr;
    QComboBox* binding = nullptr;
    QComboBox* cover = nullptr;
    SheetSizeEdit* poster = nullptr;
    QLineEdit* tile = nullptr;
    QLineEdit* overlap = nullptr;
    QLineEdit* slug = nullptr;
    QCheckBox* regMarks = nullptr;
    QCheckBox* colorBar = nullptr;
    QLineEdit* layoutTemplate = nullptr;
    QPushButton* templateBrowse = nullptr;
    QLineEdit* blankPages = nullptr;
    QCheckBox* automatic = nullptr;
    QCheckBox* prepress = nullptr;
    QCheckBox* dontClean = nullptr;
    QPushButton* impose = nullptr;
    QPushButton* close = nullptr;
    QPushButton* cancel = nullptr;
    QProgressBar* progress = nullptr;
    ExamplePicture* example = nullptr;
    PreviewPane* preview = nullptr;
};

struct MainActions {
    QAction* loadSettings = nullptr;
    QAction* saveSettings = nullptr;
    QAction* saveSettingsAs = nullptr;
    QMenu* presets = nullptr;  // "Save as preset...", then one entry per preset
    QAction* savePreset = nullptr;
    QMenu* deletePreset = nullptr;
    QAction* conversionSetup = nullptr;
    QAction* prepareList = nullptr;
    QAction* processList = nullptr;
    QAction* watchFolder = nullptr;
    QAction* htmlHelp = nullptr;
    QAction* homepage = nullptr;
    QAction* videos = nullptr;
    QAction* forum = nullptr;
    QAction* subscribeProduct = nullptr;
    QAction* subscribeNewsletter = nullptr;
    QAction* supportMail = nullptr;
    QAction* about = nullptr;
    QAction* startDebug = nullptr;  // Ctrl+D
};

class MainWindow : public QMainWindow {
    Q_OBJECT
  public:
    // Opens the window: the session reads the conversion settings, creates
    // the engines and loads "Default.plf"; `line` acts when the window has been shown
    // (Start). `config` places the files. Messages of opening wait for Start.
    MainWindow(ConfigFolder config, CommandLine line = {}, QWidget* parent = nullptr);
    ~MainWindow() override;

    const MainControls& Controls() const { return m_controls; }
    const MainActions& Actions() const { return m_actions; }
    JobSetup& Setup() { return m_session->Setup(); }
    const SetupFiles& Files() const { return m_session->SetupFileNames(); }
    ConversionSettings& Conversion() { return m_session->Conversion(); }
    DebugLog& Log() { return m_session->Log(); }
    QtUiPort& Port() { return m_port; }
    // What opens documents and addresses for this window and its batch window and dialogs.
    void SetOpener(Opener opener) { m_opener = std::move(opener); }
    BatchWindow* Batch() const { return m_batch; }
    DesktopSession& Session() { return *m_session; }

    // Controls -> JobSetup, and JobSetup -> controls.
    void CopyControlsIn();
    void ShowValues();

    // The commands.
    void Impose();
    void CloseCommand();
    void LoadSettings();
    void SaveSettings();
    void SaveSettingsAs();
    void ConversionSetup();
    BatchWindow* PrepareList();
    void ProcessList();
    // Shows the Watch Folder dialog (made once; it keeps watching while hidden).
    WatchFolderDialog* WatchFolder();
    void BrowseInput();
    void BrowseOutput();
    void BrowseTemplate();
    // "Test sheet...": asks where, then writes the job's test sheet for the back shift on the
    // pipeline's worker.
    void WriteTestSheet();
    void ViewInput();
    void ViewOutput();
    void StartDebugLog();
    void HtmlHelp();
    void OpenAddress(const std::string& address);
    void Subscribe(const std::string& page);
    void SupportMail();
    void About();

    // An option click or a new layout choice, through the core's interlocks.
    void ApplyOptionClick(OptionAction action);
    void ApplyLayoutChoice(const QString& name);
    // A button of the "Task" row: sets the controls for the task and says what it set.
    void ApplyTaskChoice(Task task);
    void ShowChosenSettings(const QString& summary);
    // Clears the task row's summary once the settings no longer hold what the task set.
    void ForgetChangedTask();

    // The "Presets" menu: "Save as preset..." asks for a name only; each preset loads with
    // one click and can be deleted.
    void SavePreset();
    void LoadPreset(const std::string& name);
    void DeletePreset(const std::string& name);
    // The menu's entries follow the presets folder each time it opens.
    void RebuildPresetsMenu();

    // Drops `paths` as if dropped at `point` (window coordinates).
    void DropFiles(const QStringList& paths, const QPoint& point);

    // After the window is shown: the messages of opening (a missing "conversion.ini") and the
    // command line, acting in order.
    void Start();

    // The batch window follows the session's batch list: made (and shown) when the list
    // exists, destroyed when it is gone.
    void SyncBatchWindow();

    // Whether a step of the pipeline is running (Impose or Process List).
    bool IsRunning() const { return m_running; }

    // Ends the session as the Close button does (saving "Default.plf" when it is the current
    // setup file); every way of closing the window, a logout and SIGTERM come here. Once only,
    // and never while a step runs.
    void EndSession();

    // Destroys the batch list window (the Process command's single path and Close).
    void DestroyBatchWindow();

    // Tests set this to answer the small dialogs without showing them.
    std::function<DialogButton(QDialog&)> dialogRunner;

    // The example picture and the preview follow every change.
    void RefreshPictures();

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

  private:
    void BuildControls();
    void BuildFileRows(QWidget* central, QVBoxLayout& form);
    void BuildPageRows(QWidget* central, QVBoxLayout& form);
    void BuildFinishRows(QVBoxLayout& form);
    QLayout* BuildPictures(QWidget* central);
    QLayout* BuildCommandRow(QWidget* central);
    void ConnectCommands();
    std::map<QWidget*, QLabel*> CreateSettingControls(QWidget* parent);
    // The margins, the output page size and the sheet settings in tabs, so that the window
    // fits a small screen.
    QWidget* BuildSheetTabs(QWidget* parent);
    QWidget* BuildMarginsTab(QWidget* parent);
    QWidget* BuildPageSizeTab(QWidget* parent);
    // A tab whose settings are not all at their defaults shows a dot after its name.
    void ShowChangedTabs();
    QWidget* BuildSheetTab(QWidget* parent);
    // The controls of cards, free grids and back sides, and the row of cards in the "Sheet"
    // tab.
    void BuildCardRows(QWidget* parent, QVBoxLayout& rows);
    QWidget* BuildBookTab(QWidget* parent);
    QWidget* BuildPosterTab(QWidget* parent);
    QWidget* BuildMarksTab(QWidget* parent);
    QWidget* BuildTemplateTab(QWidget* parent);
    // Enables the sheet settings that apply to the chosen layout.
    void ShowApplyingSettings();
    // "Test sheet..." is enabled when the job can have one, its tip saying why not otherwise.
    void ShowTestSheetButton();
    // The copies per sheet beside "Cards", from the newest preview.
    void ShowCardsFit();
    void BuildMenus();
    void SetTabOrder();
    void ApplyResult(const InterlockResult& result);
    DialogButton RunDialog(QDialog& dialog);
    void SetRunning(bool running);
    void WaitForJob(std::future<void>& done);
    void View(const std::string& name);
    // Opens a file or address with the desktop; says so when no program could.
    void Open(const std::string& nameOrAddress);
    // The output name the window proposed (not typed) follows a new input or layout: the field
    // is emptied, so that it shows the new proposal. NoteProposedOutput takes OUTFILE as
    // proposed when it has a proposal's form (a name kept from an earlier start).
    void FollowProposedOutput();
    void NoteProposedOutput();

    MainControls m_controls;
    // Every setting the window shows, with its row of the key table and its control.
    std::vector<std::pair<const SetupKey*, QWidget*>> m_bound;
    std::map<QWidget*, QLabel*> m_settingLabels;  // the label of each edit and list
    MainActions m_actions;
    ConfigFolder m_config;
    QtUiPort m_port;
    Opener m_opener = OpenWithDesktop;
    std::unique_ptr<DesktopSession> m_session;
    QPointer<BatchWindow> m_batch;
    WatchFolderDialog* m_watchFolder = nullptr;
    CommandLine m_line;
    // The proposal shown in the Output field, and what it was proposed for.
    struct ProposedOutput {
        std::string output, input, layoutWord;
    };
    std::optional<ProposedOutput> m_proposedOutput;
    // The preset saved or loaded last: "Save as Preset..." offers its name.
    std::string m_lastPreset;
    std::optional<JobSetup> m_taskSetup;  // the settings the last task left, while they stand
    bool m_running = false;
    bool m_ended = false;
};

}  // namespace desktop::ui
