// The desktop program's state and commands without any window: the job, its setup files,
// the conversion settings, the debug log, the batch list (while its window exists), the two
// engine objects, the office server its office conversions share, the quiet and command-line
// modes, and the commands that act on them (opening, the command line, Process, the batch run,
// closing).
//
// The quiet command line drives a session directly; the main window holds one and forwards
// its commands to it, copying its controls into `Setup()` first.
#pragma once

#include <functional>
#include <future>
#include <memory>
#include <optional>
#include <string>

#include "desktop/core/BatchList.h"
#include "desktop/core/BatchRun.h"
#include "desktop/core/CommandLine.h"
#include "desktop/core/ConfigFolder.h"
#include "desktop/core/Conversion.h"
#include "desktop/core/DebugLog.h"
#include "desktop/core/EngineObjects.h"
#include "desktop/core/EngineReportLog.h"
#include "desktop/core/JobSetup.h"
#include "desktop/core/OfficeServer.h"
#include "desktop/core/OutputGuard.h"
#include "desktop/core/PipelineWorker.h"
#include "desktop/core/SetupFile.h"

namespace desktop {

inline constexpr char kProcessQuestion[] = "Do you wish to process batch list now ?";
// The question with the list it is about: its file name and its rows, and what each answer does.
std::string ProcessQuestionText(const BatchList& list);
inline constexpr char kProcessQuestionTitle[] = "Process";
inline constexpr char kCantReadListTitle[] = "Can't read list file.";

// The status line after a test sheet was written to `output`.
std::string CalibrationWrittenText(const std::string& output);

class DesktopSession {
  public:
    // Nothing is read or created until Open().
    DesktopSession(UiPort& ui, ConfigFolder folder);
    ~DesktopSession();

    // Reads "conversion.ini" (writing the defaults on a first start), starts the pipeline's
    // worker thread, which makes the engine objects, loads "Default.plf" with override and makes
    // an empty layout "2up". Engines given here (a test's, made on the caller's thread) are used
    // on the caller's thread instead, without a worker.
    void Open(std::unique_ptr<EngineObjects> engines = nullptr);

    // How the caller waits for a job on the worker: the window keeps handling its events until
    // the job has ended; by default the caller just blocks. The UI port must then be safe to
    // call from the worker's thread.
    using JobWaiter = std::function<void(std::future<void>& done)>;
    void SetJobWaiter(JobWaiter waiter) { m_wait = std::move(waiter); }

    // Acts on the command line's actions in order. Returns false when one of them (-q) closed
    // the session; the remaining actions are not taken.
    bool ApplyCommandLine(const CommandLine& line);

    // The Process command: the batch list when there is one (asking first unless in
    // command-line mode), else ProcessFile for the job's input. INFILE is kept.
    void Process();
    // "Process List".
    BatchSummary ProcessList();
    // Writes the job's test sheet for the back shift as `output`: the job's input through the
    // steps of its plan up to the imposition, which writes the sheet (JobPlan.h). Refused with
    // a message when CalibrationUnavailable says why; asks before writing over a file as
    // Process does. Says on the status line where the sheet went and what to do with it.
    // Returns the pipeline's result code.
    int WriteCalibrationSheet(const std::string& output);

    // Shows the batch window's state, creating an empty one when there is none (its output
    // folder starts as the program-wide batch output folder).
    BatchList& EnsureBatchList();
    BatchList* Batch() { return m_batch ? &*m_batch : nullptr; }
    void DestroyBatchList() { m_batch.reset(); }
    // Reads list file `name` into the batch list (creating it); a message when unreadable,
    // and one for each line that was refused. False when it could not be read.
    bool LoadList(const std::string& name, bool append);
    // Loads setup file `name` into the job (it becomes the current setup file), showing a
    // message for each value that was refused.
    SetupReadResult LoadSetup(const std::string& name, SetupReadOptions options);
    // Closing the batch window: a list with rows is written to "default.lst" in the
    // configuration folder, without a message.
    void CloseBatchWindow();

    // Closing with the Close button (or -q): saves "Default.plf" when it is the current setup
    // file, destroys the batch list, releases the engines, ends the office server and closes
    // the debug log.
    void Close();
    bool IsClosed() const { return m_closed; }

    // 0 when every file processed succeeded, else the result code of the last failure.
    int ExitStatus() const { return m_lastFailure; }

    JobSetup& Setup() { return m_setup; }
    ConversionSettings& Conversion() { return m_conversion; }
    SetupFiles& SetupFileNames() { return m_setupFiles; }
    DebugLog& Log() { return m_log; }
    // Where the engines' active-content warning is echoed (quiet mode's standard error; not
    // owned, nullptr: only into the debug log).
    void EchoEngineWarnings(std::ostream* echo);
    bool QuietMode() const { return m_quietMode; }
    void SetQuietMode(bool on) { m_quietMode = on; }
    bool CommandLineMode() const { return m_commandLineMode; }
    void SetCommandLineMode(bool on) { m_commandLineMode = on; }
    // The window's guard: Process asks before writing over a file this session did not write
    // for the same input (never in quiet or command-line mode).
    void GuardOutputs(bool on) { m_guardOutputs = on; }

    // Batch rows at once (0: one per core); the batch window's setting and -j.
    int BatchRows() const { return m_batchRows; }
    void SetBatchRows(int rows) { m_batchRows = rows; }

  private:
    void Apply(const CommandLineAction& action);
    // `name` when it fits a name's limit; else a message ("WHERE: WHAT is longer than ...") and
    // an empty name.
    std::string TakeName(const std::string& name, std::string_view where, std::string_view what);
    void ShowMessages(const std::vector<std::string>& messages);
    // -j's value: a number of rows from 1 to kMaxBatchRows, else a message and the default.
    void TakeBatchRows(const std::string& value);
    PipelineContext Context(EngineObjects& engines);
    // Runs `job` with the engines: on the worker, waiting as set, or here with given engines.
    void RunOnEngines(const std::function<void(EngineObjects&)>& job);
    void ReportFailures(const BatchSummary& summary);
    void Record(int result);
    // Whether a command may write `output` for the job's input: asks "Replace NAME?" when
    // guarded.
    bool MayWriteOutput(const std::string& output);
    // The window asks for the password of an input that needs one until it opens the input;
    // false when the user gave up.
    bool TakeInputPassword();
    // --password-file: false (with a message) when the file cannot be read.
    bool ReadPasswordFile(const std::string& name);

    UiPort& m_ui;
    ConfigFolder m_folder;
    JobSetup m_setup;
    ConversionSettings m_conversion;
    SetupFiles m_setupFiles;
    DebugLog m_log;
    // Every office conversion of the session uses it; it outlives the worker that converts.
    OfficeServer m_office;
    EngineReportLog m_engineReports{m_log};  // outlives the engines, which report into it
    std::ostream* m_engineWarningEcho = nullptr;
    std::unique_ptr<EngineObjects> m_engines;  // given engines, used on the caller's thread
    JobWaiter m_wait;
    std::unique_ptr<PipelineWorker> m_worker;  // goes before the reports its engines write to
    std::optional<BatchList> m_batch;
    OutputGuard m_outputGuard;
    std::string m_password;  // opens protected inputs; kept in memory only
    bool m_guardOutputs = false;
    bool m_quietMode = false;
    bool m_outputNamed = false;  // -o named the output
    bool m_commandLineMode = false;
    bool m_closed = false;
    int m_lastFailure = 0;
    int m_batchRows = 0;
};

// The whole quiet run of the program: a session on the quiet port (messages to standard
// error), the command line's actions, and the exit status. Needs no display.
int RunQuiet(const CommandLine& line);

}  // namespace desktop
