#include "desktop/core/Pipeline.h"

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "desktop/core/DebugLog.h"
#include "desktop/core/EngineSettings.h"
#include "desktop/core/OutsidePrograms.h"
#include "desktop/core/PadwickBinding.h"
#include "desktop/core/PipelineRun.h"
#include "desktop/core/UiPort.h"
#include "platform/File.h"

namespace desktop {

namespace {

bool CanOpenForReading(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return file.is_open();
}

// The text after the last '\\' or '/', or the whole name.
std::string FileNamePart(const std::string& name) {
    size_t slash = name.find_last_of("\\/");
    return slash == std::string::npos ? name : name.substr(slash + 1);
}

}  // namespace

int ProcessFile(PipelineContext& context, const ProcessRequest& request) {
    PipelineRun run(context, request);
    return run.Run();
}

bool ContainsTemp(std::string_view status) {
    return status.find("temp") != std::string_view::npos;
}

PipelineRun::PipelineRun(PipelineContext& context, const ProcessRequest& request)
    : m_context(context), m_request(request), m_setup(context.setup) {}

PipelineRun::~PipelineRun() {
    for (const std::string& path : m_madeFiles) Remove(path);
}

int PipelineRun::Run() {
    m_callOutFile = m_setup.outFile;
    if (m_request.IsBatchCall()) m_setup.inFile = m_request.inputOverride;
    m_callInFile = m_setup.inFile;
    while (true) {
        int result = Attempt();
        if (result != kRetry) return result;
        // The retry starts again from the call's own names, so that nothing is padded or
        // suffixed twice.
        m_setup.inFile = m_callInFile;
        m_setup.outFile = m_callOutFile;
    }
}

int PipelineRun::Attempt() {
    m_cleaningRan = m_rotationRan = m_doublingRan = false;
    m_rotationFile.clear();
    m_doublingFile.clear();
    Progress(1);
    if (std::optional<int> result = CheckNames()) return *result;
    if (std::optional<int> result = Convert()) return *result;
    Progress(2);
    if (std::optional<int> result = Pad()) return *result;
    CleanInput();
    Progress(4);
    m_keptInput = m_setup.inFile;
    m_rotationFile = m_setup.outFile + ".rot";
    return RunEngines();
}

std::optional<int> PipelineRun::CheckNames() {
    if (!m_request.outputFolder.empty()) {
        std::error_code ignored;
        std::filesystem::create_directories(m_request.outputFolder, ignored);
        m_setup.outFile = m_request.outputFolder + "/" + FileNamePart(m_setup.inFile);
    }
    if (m_setup.inFile.empty()) {
        Message(kNoInputMessage);
        return kProcessNoInput;
    }
    if (m_setup.outFile.empty()) {
        Message(kNoOutputMessage);
        return kProcessNoOutput;
    }
    if (m_request.appendPdf) m_setup.outFile += ".pdf";
    // A web address names no file here: the web converter fetches it.
    bool webPage = IsWebAddress(m_setup.inFile) && UrlIsWebPage(m_setup.inFile);
    if (!webPage && !CanOpenForReading(m_setup.inFile)) {
        Message(kInvalidInputMessage);
        return kProcessBadInput;
    }
    // The engine would refuse to write over its input, and the output's clean-up would then
    // remove the user's file.
    if (platform::IsSameFile(m_setup.inFile, m_setup.outFile)) {
        char text[4096];
        std::snprintf(text, sizeof text, kSameFileMessage, m_setup.outFile.c_str());
        Message(text);
        return kProcessNoOutput;
    }
    return std::nullopt;
}

std::optional<int> PipelineRun::Convert() {
    // A PDF is imposed as the PDF it is, whatever its name says.
    if (platform::StartsAsPdf(m_setup.inFile)) return std::nullopt;
    std::string extension = ConversionExtension(m_setup.inFile);
    if (!NeedsConversion(extension, m_setup.inFile, ConversionKind::Any)) return std::nullopt;
    // A kind the user switched off goes on as it is: the engine then says what it makes of it.
    std::optional<ConversionKind> kind = MatchingConversionKind(m_setup.inFile);
    if (kind && !ConversionSwitchedOn(*kind, m_context.conversion)) return std::nullopt;
    ConversionOutcome converted =
        ConvertToPdf(m_setup.inFile, m_context.conversion, m_work.Path(), m_context.ui,
                     m_context.log, m_context.converterTimeout);
    if (converted.pdfName.empty() || !converted.succeeded) {
        std::string because = converted.stopText.empty() ? "" : "\n" + converted.stopText;
        Message(std::string(kConversionFailedMessage) + because);
        return kProcessConversionFailed;
    }
    KeepConvertedCopy(converted.pdfName, m_context.conversion.pdfDir, m_context.log);
    m_setup.inFile = converted.pdfName;
    return std::nullopt;
}

std::optional<int> PipelineRun::Pad() {
    if (!PaddingRequested(m_setup)) return std::nullopt;
    std::string padded = m_work.Path() + "blanks_" + FileTitle(m_setup.inFile) + ".pdf";
    PadwickBinding padwick;
    int pageCount = PaddingNeedsPageCount(m_setup) ? padwick.GetPageCount(m_setup.inFile) : 0;
    int blanks = PaddingCount(m_setup, pageCount);
    if (blanks > kMaxBlankPages) {
        char text[128];
        std::snprintf(text, sizeof text, kTooManyBlanksMessage, blanks);
        Report(text);
        return kProcessOtherFailure;
    }
    if (blanks >= 1) {
        padwick.AddBlanks(m_setup.inFile, padded, blanks);
        m_setup.inFile = padded;
    }
    if (m_context.log.IsOn()) {
        m_context.log.Printf("blanksFilename: %s\r\n", m_setup.inFile.c_str());
        m_context.ui.Message(m_setup.inFile);
    }
    return std::nullopt;
}

void PipelineRun::CleanInput() {
    if (m_setup.dontCleanFile != 0) return;
    std::string source = m_setup.inFile;
    std::string title = FileTitle(source);
    std::string postScript = m_work.Path() + title + ".ps";
    std::string cleaned = m_work.Path() + "__" + title + ".pdf";
    m_context.log.Printf("temp ps file: %s\r\n", postScript.c_str());
    m_context.log.Printf("temp pdf file: %s\r\n", cleaned.c_str());
    Progress(2);
    ProgramCall call = CleaningCall(m_setup, source, cleaned);
    m_context.log.Printf("params: %s\r\n", call.parameters.c_str());
    Progress(3);
    RunProgram(call, m_context.ui, m_context.log);
    Remove(postScript);
    m_setup.inFile = cleaned;
    m_cleaningRan = true;
    m_restoreName = source;
}

void PipelineRun::Progress(int position) {
    m_context.ui.Progress(position);
    m_context.ui.HandlePendingMessages();
}

void PipelineRun::Report(const std::string& text) {
    if (m_request.IsBatchCall()) {
        m_context.ui.SetRowStatus(m_request.row, text);
    } else {
        Message(text);
    }
}

void PipelineRun::Message(const std::string& text) {
    m_context.ui.Message(text);
}

void PipelineRun::Remove(const std::string& path) {
    if (!path.empty()) std::remove(path.c_str());
}

}  // namespace desktop
