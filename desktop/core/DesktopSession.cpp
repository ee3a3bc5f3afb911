#include "desktop/core/DesktopSession.h"

#include <iostream>

#include "desktop/core/KeyValueLines.h"
#include "desktop/core/OutsidePrograms.h"
#include "desktop/core/QuietUiPort.h"
#include "desktop/core/UiPort.h"

namespace desktop {

DesktopSession::DesktopSession(UiPort& ui, ConfigFolder folder)
    : m_ui(ui), m_folder(folder), m_setupFiles(folder), m_log(folder) {}

DesktopSession::~DesktopSession() = default;

void DesktopSession::Open(std::unique_ptr<EngineObjects> engines) {
    // A terminal user without a conversion.ini gets the defaults without a warning each run.
    std::vector<std::string> refused;
    if (!ReadConversionIni(m_folder.Resolve(kConversionIniName), m_conversion, &refused) &&
        !m_quietMode) {
        m_ui.Message(kCantOpenConversionIni);
    }
    ShowMessages(refused);
    m_engines = engines ? std::move(engines) : std::make_unique<EngineObjects>(m_ui);
    m_engines->SetProgressSink(&m_engineReports);
    LoadSetup(std::string(kDefaultSetupName), {.override = true});
    if (m_setup.processingType.empty()) m_setup.processingType = kDefaultLayout;
}

bool DesktopSession::ApplyCommandLine(const CommandLine& line) {
    if (line.commandLineMode) m_commandLineMode = true;
    for (const CommandLineAction& action : line.actions) {
        Apply(action);
        if (m_closed) return false;
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
            break;
        case Kind::Process:
            Process();
            break;
        case Kind::Quit:
            Close();
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

void DesktopSession::ShowMessages(const std::vector<std::string>& messages) {
    for (const std::string& message : messages) m_ui.Message(message);
}

SetupReadResult DesktopSession::LoadSetup(const std::string& name, SetupReadOptions options) {
    SetupReadResult read = m_setupFiles.Load(name, m_setup, options);
    ShowMessages(read.refused);
    return read;
}

PipelineContext DesktopSession::Context() {
    PipelineContext context{m_setup, m_conversion, *m_engines, m_ui, m_log, m_commandLineMode};
    context.converterTimeout = kConverterTimeout;
    return context;
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
        Answer answer = m_ui.Question(kProcessQuestion, kProcessQuestionTitle);
        if (answer == Answer::Cancel) return;
        if (answer == Answer::Yes) {
            ProcessList();
            return;
        }
    }
    m_batch.reset();
    PipelineContext context = Context();
    Record(ProcessFile(context, ProcessRequest{}));
    m_setup.inFile = keptInput;
}

BatchSummary DesktopSession::ProcessList() {
    PipelineContext context = Context();
    BatchSummary summary = RunBatch(context, Batch());
    if (summary.failed > 0) Record(summary.lastFailure);
    return summary;
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
        m_ui.Message(name, kCantReadListTitle);
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
        SetupWriteResult written = m_setupFiles.Save(m_setup, m_batch.has_value());
        if (!written.message.empty()) m_ui.Message(written.message);
    }
    m_batch.reset();
    if (m_engines) m_engines->ReleaseGridane();
    m_log.Close();
    m_closed = true;
}

int RunQuiet(const CommandLine& line) {
    QuietUiPort ui(&std::cerr);
    DesktopSession session(ui, ConfigFolder::FromEnvironment());
    session.SetQuietMode(true);
    session.Open();
    session.ApplyCommandLine(line);
    return session.ExitStatus();
}

}  // namespace desktop
