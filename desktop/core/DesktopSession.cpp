#include "desktop/core/DesktopSession.h"

#include <charconv>
#include <filesystem>
#include <fstream>
#include <iostream>

#include <unistd.h>

#include "desktop/core/Interlocks.h"
#include "desktop/core/Interrupts.h"
#include "desktop/core/KeyValueLines.h"
#include "desktop/core/OutsidePrograms.h"
#include "desktop/core/PdfProtection.h"
#include "desktop/core/QuietUiPort.h"
#include "desktop/core/UiPort.h"
#include "platform/File.h"
#include "platform/Text.h"

namespace desktop {

std::string ProcessQuestionText(const BatchList& list) {
    size_t rows = list.rows.size();
    std::string name(platform::FileNamePart(list.listFileName));
    std::string text = std::string(kProcessQuestion) + "\n\nThe batch list ";
    if (!name.empty()) text += name + " ";
    text += "has " + std::to_string(rows) + (rows == 1 ? " row" : " rows") + ".";
    return text + "\nYes: process the list. No: impose only the input file.";
}

std::string CalibrationWrittenText(const std::string& output) {
    return "Calibration sheet written: " + std::string(platform::FileNamePart(output)) +
           ". Print it on both sides, hold it to the light and type the labels under the "
           "back's cross into Back shift.";
}

DesktopSession::DesktopSession(UiPort& ui, ConfigFolder folder)
    : m_ui(ui),
      m_folder(folder),
      m_setupFiles(folder),
      m_log(folder),
      m_office(DefaultConverterMemoryLimit()) {}

DesktopSession::~DesktopSession() = default;

void DesktopSession::Open(std::unique_ptr<EngineObjects> engines) {
    // A first start finds no conversion.ini: the window writes the defaults for the user to
    // edit, and a terminal run just uses them. Only a file that is there and cannot be read is
    // worth a message.
    std::string ini = m_folder.Resolve(kConversionIniName);
    std::vector<std::string> refused;
    if (!ReadConversionIni(ini, m_conversion, &refused) && !m_quietMode) {
        std::error_code error;
        if (std::filesystem::exists(ini, error)) {
            m_ui.Message(kCantOpenConversionIni);
        } else {
            WriteConversionIni(m_folder.ResolveForWriting(kConversionIniName), m_conversion);
        }
    }
    // Whoever put files in a folder the user works in does not choose to run page scripts.
    if (m_folder.UsesWorkingFolder() && m_conversion.htmlJavaScript != 0) {
        m_conversion.htmlJavaScript = 0;
        refused.push_back(ini +
                          ": page scripts stay off (the working folder's conversion.ini "
                          "cannot switch them on)");
    }
    if (engines) {
        m_engines = std::move(engines);
        m_engines->SetProgressSink(&m_engineReports);
    } else {
        m_worker = std::make_unique<PipelineWorker>([this] {
            auto made = std::make_unique<EngineObjects>(m_ui);
            made->SetProgressSink(&m_engineReports);
            return made;
        });
    }
    ShowMessages(refused);
    LoadSetup(std::string(kDefaultSetupName), {.override = true});
    if (m_setup.processingType.empty()) m_setup.processingType = kDefaultLayout;
}

bool DesktopSession::ApplyCommandLine(const CommandLine& line) {
    if (line.commandLineMode) m_commandLineMode = true;
    if (!line.passwordFile.empty() && !ReadPasswordFile(line.passwordFile)) {
        m_lastFailure = kProcessBadInput;
        return false;
    }
    for (const CommandLineAction& action : line.actions) {
        Apply(action);
        if (m_closed || InterruptSignal() != 0) return false;
    }
    return true;
}

void DesktopSession::Apply(const CommandLineAction& action) {
    using Kind = CommandLineAction::Kind;
    switch (action.kind) {
        case Kind::LoadSetup: {
            SetupReadResult read = LoadSetup(action.value, {});
            if (read.outFolderRead && m_batch) m_batch->outputFolder = m_setup.outFolder;
            break;
        }
        case Kind::OutputFolder:
            EnsureBatchList().outputFolder = action.value;
            break;
        case Kind::Quiet:
            m_quietMode = true;
            break;
        case Kind::Output:
            // A name that cannot be taken leaves no output name, so that a later -p fails
            // instead of writing to an older one.
            m_setup.outFile = TakeName(action.value, "-o", "the output name");
            m_outputNamed = true;
            break;
        case Kind::Process:
            Process();
            break;
        case Kind::Calibration:
            WriteCalibrationSheet(TakeName(action.value, "--calibration", "the test sheet's name"));
            break;
        case Kind::Quit:
            Close();
            break;
        case Kind::BatchRows:
            TakeBatchRows(action.value);
            break;
        case Kind::LoadList:
            LoadList(action.value, true);
            break;
        case Kind::AddPattern:
            for (const std::string& file : FilesMatching(action.value))
                EnsureBatchList().AddFile(file);
            break;
        case Kind::Input:
            m_setup.inFile = TakeName(action.value, "command line", "the input name");
            break;
        case Kind::Ignored:
            break;
    }
}

std::string DesktopSession::TakeName(const std::string& name, std::string_view where,
                                     std::string_view what) {
    if (name.size() <= kMaxValueLength) return name;
    m_ui.Message(TooLongMessage(where, what));
    return {};
}

void DesktopSession::TakeBatchRows(const std::string& value) {
    int rows = 0;
    auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), rows);
    if (error != std::errc() || end != value.data() + value.size() || rows < 1 ||
        rows > kMaxBatchRows) {
        m_ui.Message("-j: the rows at once must be a number from 1 to " +
                     std::to_string(kMaxBatchRows) + " (not \"" + value +
                     "\"); one per core is used.");
        m_batchRows = 0;
        return;
    }
    m_batchRows = rows;
}

void DesktopSession::ShowMessages(const std::vector<std::string>& messages) {
    for (const std::string& message : messages) m_ui.Message(message);
}

SetupReadResult DesktopSession::LoadSetup(const std::string& name, SetupReadOptions options) {
    SetupReadResult read = m_setupFiles.Load(name, m_setup, options);
    ShowMessages(read.refused);
    return read;
}

void DesktopSession::RunOnEngines(const std::function<void(EngineObjects&)>& job) {
    if (!m_worker) {
        if (m_engines) job(*m_engines);
        return;
    }
    std::future<void> done = m_worker->Post(job);
    if (m_wait) m_wait(done);
    done.get();
}

PipelineContext DesktopSession::Context(EngineObjects& engines) {
    PipelineContext context{m_setup, m_conversion, engines, m_ui, m_log, m_commandLineMode};
    context.converterTimeout = kConverterTimeout;
    context.office = &m_office;
    context.engineWarningEcho = m_engineWarningEcho;
    context.password = m_password;
    return context;
}

void DesktopSession::EchoEngineWarnings(std::ostream* echo) {
    m_engineWarningEcho = echo;
    m_engineReports.SetWarningEcho(echo);
}

void DesktopSession::Record(int result) {
    if (result != kProcessDone) m_lastFailure = result;
}

void DesktopSession::Process() {
    std::string keptInput = m_setup.inFile;
    if (m_batch && !m_batch->rows.empty()) {
        if (m_commandLineMode) {
            ProcessList();
            return;
        }
        Answer answer = m_ui.Question(ProcessQuestionText(*m_batch), kProcessQuestionTitle);
        if (answer == Answer::Cancel) return;
        if (answer == Answer::Yes) {
            ProcessList();
            return;
        }
    }
    if (!MayWriteOutput(m_setup.outFile) || !TakeInputPassword()) return;
    m_batch.reset();
    ProcessReport report;
    int result = kProcessDone;
    RunOnEngines([&](EngineObjects& engines) {
        PipelineContext context = Context(engines);
        result = ProcessFile(context, JobRequest(m_setup), &report);
    });
    Record(result);
    if (result == kProcessDone) m_outputGuard.Wrote(m_setup.inFile, report.output);
    // An output named by a setup file, not by -o, is said, so that no file is written unseen.
    if (m_quietMode && result == kProcessDone && !m_outputNamed) {
        m_ui.Message("Wrote " + report.output);
    }
    m_setup.inFile = keptInput;
}

bool DesktopSession::MayWriteOutput(const std::string& output) {
    if (!m_guardOutputs || m_quietMode || m_commandLineMode || output.empty()) return true;
    // The pipeline refuses to write over the input itself, with its own message.
    if (platform::IsSameFile(m_setup.inFile, output)) return true;
    if (!m_outputGuard.NeedsConfirmation(m_setup.inFile, output)) return true;
    return m_ui.Confirm(ReplaceQuestion(output), kReplaceButton, kReplaceTitle);
}

int DesktopSession::WriteCalibrationSheet(const std::string& output) {
    if (std::string why = CalibrationUnavailable(m_setup); !why.empty()) {
        m_ui.Message(why);
        int result = m_setup.inFile.empty() ? kProcessNoInput : kProcessOtherFailure;
        Record(result);
        return result;
    }
    if (!MayWriteOutput(output) || !TakeInputPassword()) return kProcessCancelled;
    ProcessRequest request = JobRequest(m_setup);
    request.output = output;
    request.calibration = true;
    int result = kProcessDone;
    RunOnEngines([&](EngineObjects& engines) {
        PipelineContext context = Context(engines);
        result = ProcessFile(context, request);
    });
    Record(result);
    if (result != kProcessDone) {
        // The pipeline has said why; the line keeps no earlier sheet's news.
        m_ui.Status("No calibration sheet written.");
        return result;
    }
    m_outputGuard.Wrote(m_setup.inFile, output);
    m_ui.Status(CalibrationWrittenText(output));
    return result;
}

bool DesktopSession::TakeInputPassword() {
    if (m_quietMode || m_commandLineMode) return true;
    bool asked = false;
    for (;;) {
        UnlockOutcome::Kind found = UnlockPdf(m_setup.inFile, m_password, "").kind;
        if (found != UnlockOutcome::Kind::NeedsPassword &&
            found != UnlockOutcome::Kind::WrongPassword) {
            return true;
        }
        // A password kept from another input is no "wrong password" of the user's.
        bool wrong = asked && found == UnlockOutcome::Kind::WrongPassword;
        std::optional<std::string> given = m_ui.AskPassword(m_setup.inFile, wrong);
        if (!given) return false;
        m_password = *given;
        asked = true;
    }
}

bool DesktopSession::ReadPasswordFile(const std::string& name) {
    // A pipe ("<(pass show ...)") is read too; only the first line, and only so much of it.
    constexpr std::streamsize kMaxPassword = 4096;
    std::ifstream file(name, std::ios::binary);
    std::string line(kMaxPassword, '\0');
    if (!file || (!file.getline(line.data(), kMaxPassword) && file.gcount() == 0)) {
        m_ui.Message("--password-file: can't read " + name);
        return false;
    }
    line.resize(std::char_traits<char>::length(line.c_str()));
    if (!line.empty() && line.back() == '\r') line.pop_back();
    m_password = line;
    return true;
}

// The run works on copies of the job and the list made here, so that the window may go on
// handling its events while the rows run elsewhere; the statuses reach the list as they come
// through the UI port, and all of them once the run has ended.
BatchSummary DesktopSession::ProcessList() {
    BatchSummary summary;
    JobSetup setup = m_setup;
    ConversionSettings conversion = m_conversion;
    std::optional<BatchList> rows = m_batch;
    BatchOptions options;
    options.rows = m_batchRows;
    if (m_worker) {
        options.makeEngines = [](UiPort& ui) { return std::make_unique<EngineObjects>(ui); };
    }
    // Rows that run at once convert office documents side by side, each on a LibreOffice of
    // its own; the extra ones end with the batch.
    if (m_worker) m_office.SetInstances(options.rows > 0 ? options.rows : DefaultBatchRows());
    RunOnEngines([&](EngineObjects& engines) {
        PipelineContext context{setup,
                                conversion,
                                engines,
                                m_ui,
                                m_log,
                                m_commandLineMode,
                                kConverterTimeout,
                                &m_office,
                                m_engineWarningEcho,
                                m_password};
        summary = RunBatch(context, rows ? &*rows : nullptr, options);
    });
    m_office.SetInstances(1);
    if (m_batch && rows && m_batch->rows.size() == rows->rows.size()) {
        for (size_t i = 0; i < rows->rows.size(); ++i)
            m_batch->rows[i].status = rows->rows[i].status;
    }
    if (summary.failed > 0) Record(summary.lastFailure);
    if (m_quietMode) ReportFailures(summary);
    return summary;
}

// Without a window nobody sees the row statuses: each failed row gets a line, then a summary.
void DesktopSession::ReportFailures(const BatchSummary& summary) {
    if (summary.failures.empty()) return;
    for (const BatchSummary::Failure& failure : summary.failures) {
        m_ui.Message(failure.path + ": " + failure.status);
    }
    m_ui.Message(std::to_string(summary.failed) + " of " + std::to_string(summary.tried) +
                 " files failed.");
}

BatchList& DesktopSession::EnsureBatchList() {
    if (!m_batch) {
        m_batch.emplace();
        m_batch->outputFolder = m_setup.outFolder;
    }
    return *m_batch;
}

bool DesktopSession::LoadList(const std::string& name, bool append) {
    BatchList& list = EnsureBatchList();
    if (!append) list.rows.clear();
    list.listFileName = name;
    ListFileRead read = ReadListFile(name, &list.rows);
    if (!read.opened) {
        // Without a window the title is all that says what the name is about.
        m_ui.Message(m_quietMode ? std::string(kCantReadListTitle) + " " + name : name,
                     kCantReadListTitle);
        return false;
    }
    ShowMessages(read.messages);
    return true;
}

void DesktopSession::CloseBatchWindow() {
    if (!m_batch || m_batch->rows.empty()) return;
    m_batch->listFileName = m_folder.ResolveForWriting(kDefaultListName);
    WriteListFile(m_batch->listFileName, m_batch->rows);
}

void DesktopSession::Close() {
    if (m_setupFiles.IsDefault()) {
        // While a batch list exists (a quiet run's -f makes one too) its output folder is
        // the file's OUTFOLDER line.
        JobSetup saved = m_setup;
        if (m_batch) saved.outFolder = m_batch->outputFolder;
        SetupWriteResult written = m_setupFiles.Save(saved, m_batch.has_value());
        if (!written.message.empty()) m_ui.Message(written.message);
    }
    m_batch.reset();
    RunOnEngines([](EngineObjects& engines) { engines.ReleaseGridane(); });
    m_office.Stop();
    m_log.Close();
    m_closed = true;
}

int RunQuiet(const CommandLine& line) {
    InstallInterruptHandlers();
    QuietUiPort ui(&std::cerr);
    ui.SetProgressLine(::isatty(STDERR_FILENO) == 1);
    ConfigFolder folder = ConfigFolder::FromEnvironment();
    if (folder.UsesWorkingFolder()) {
        ui.Message("Using the configuration files of the working folder " + folder.Folder());
    }
    DesktopSession session(ui, folder);
    session.SetQuietMode(true);
    session.EchoEngineWarnings(&std::cerr);
    session.Open();
    session.ApplyCommandLine(line);
    if (int signal = InterruptSignal()) return 128 + signal;
    return session.ExitStatus();
}

}  // namespace desktop
