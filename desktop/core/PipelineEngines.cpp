// The engine steps of ProcessFile: rotation, the imposition engine's settings, the doubling
// pass, imposition, cleaning of the output, the retry and the outcome.
#include <cstdio>
#include <fstream>

#include "com/Hresult.h"
#include "desktop/core/DebugLog.h"
#include "desktop/core/EngineObjects.h"
#include "desktop/core/EngineSettings.h"
#include "desktop/core/OutsidePrograms.h"
#include "desktop/core/PipelineRun.h"
#include "desktop/core/UiPort.h"
#include "pdfbinding/PdfLibraryBinding.h"
#include "pdfbinding/ReorderSplitPages.h"
#include "platform/Utf.h"

namespace desktop {

namespace {

// The page count of a PDF file through the DPL library; -1 when it cannot be read.
int PdfPageCount(const std::string& path) {
    PdfLibraryBinding pdf;
    if (!pdf.IsUsable()) return -1;
    std::u16string wide = platform::Utf8ToUtf16(path);
    if (pdf.DPLLoadFromFile(pdf.InstanceId(), wide.c_str(), u"") == 0) return -1;
    int document = pdf.DPLSelectedDocument(pdf.InstanceId());
    int pages = pdf.DPLPageCount(pdf.InstanceId());
    pdf.DPLRemoveDocument(pdf.InstanceId(), document);
    return pages;
}

std::string ImposeFailedText(const std::string& input, const std::string& output,
                             const std::string& status) {
    return "Imposed file: " + input + " to " + output + "\n\n" + status;
}

}  // namespace

int PipelineRun::RunEngines() {
    if (RotationRequested(m_setup)) {
        if (std::optional<int> result = Rotate()) return *result;
    }
    try {
        PutGridaneProperties(m_context.engines.Gridane(), GridanePuts(m_setup));
        if (DoublingRequested(m_setup)) {
            if (std::optional<int> result = Double()) return *result;
        }
        std::string status = Impose();
        if (m_cleaningRan) {
            Remove(m_setup.inFile);
            m_setup.inFile = m_restoreName;
        }
        Progress(6);
        if (ContainsTemp(status)) status.clear();
        CleanOutput();
        if (!status.empty() && m_firstAttempt && m_setup.dontCleanFile == 0) {
            m_setup.dontCleanFile = 1;
            m_firstAttempt = false;
            Remove(m_doublingFile);
            Remove(m_rotationFile);
            return kRetry;
        }
        return Outcome(status);
    } catch (const com::ComError& error) {
        Remove(m_doublingFile);
        return ComFailure(error.what());
    } catch (const std::exception&) {
        Remove(m_doublingFile);
        return OtherFailure();
    }
}

std::optional<int> PipelineRun::Rotate() {
    try {
        m_context.log.Write("rotate\r\n");
        m_context.log.Printf("rotate tempFile: %s\r\n", m_rotationFile.c_str());
        Made(m_rotationFile);
        PutTurnelleSettings(m_context.engines.Turnelle(), RotationSettings(m_setup));
        std::string status =
            GetTurnelleFile(m_context.engines.Turnelle(), m_setup.inFile, m_rotationFile, "");
        if (!status.empty()) {
            // A failed rotation ends the call with its own text, single call or batch.
            Remove(m_rotationFile);
            Report(status);
            return kProcessConversionFailed;
        }
    } catch (const com::ComError& error) {
        Remove(m_rotationFile);
        return ComFailure(error.what());
    } catch (const std::exception&) {
        Remove(m_rotationFile);
        return OtherFailure();
    }
    m_rotationRan = true;
    m_setup.inFile = m_rotationFile;
    return std::nullopt;
}

std::optional<int> PipelineRun::Double() {
    try {
        PutGridaneProperties(m_context.engines.Gridane(), DoublingPuts(m_setup));
        std::string status =
            GetGridaneFile(m_context.engines.Gridane(), m_setup.inFile, m_setup.outFile);
        if (!ContainsTemp(status)) {
            Report(std::string(kPdfErrorMessage) + "," + status);
            return kProcessImpositionFailed;
        }
        m_doublingFile = status;
        Made(m_doublingFile);
        m_setup.inFile = m_doublingFile;
        PutGridaneProperties(m_context.engines.Gridane(), AfterDoublingPuts());
        m_rotationFile = m_setup.outFile + ".rot";
        Made(m_rotationFile);
        m_context.log.Printf("rotate2 tempFile: %s\r\n", m_rotationFile.c_str());
        PutTurnelleSettings(m_context.engines.Turnelle(), DoublingRotationSettings(m_setup));
        std::string rotation =
            GetTurnelleFile(m_context.engines.Turnelle(), m_setup.inFile, m_rotationFile, "");

        std::string redistilled = m_rotationFile + "_gs.pdf";
        Made(redistilled);
        ProgramCall call = CleaningCall(m_setup, m_rotationFile, redistilled);
        m_context.log.Printf("rot params1: %s\r\n", call.parameters.c_str());
        RunProgram(call, m_context.ui, m_context.log);
        Remove(m_rotationFile);
        m_rotationFile = redistilled;
        if (!rotation.empty()) {
            Remove(redistilled);
            Remove(m_doublingFile);
            Report(rotation);
            return kProcessConversionFailed;
        }
    } catch (const com::ComError& error) {
        Remove(m_rotationFile);
        Remove(m_doublingFile);
        return ComFailure(error.what());
    } catch (const std::exception&) {
        Remove(m_rotationFile);
        Remove(m_doublingFile);
        m_context.log.Write("Error with pdf file\r\n");
        return OtherFailure();
    }
    m_setup.inFile = m_rotationFile;
    m_doublingRan = true;
    return std::nullopt;
}

std::string PipelineRun::Impose() {
    DebugLog& log = m_context.log;
    log.Printf("nUp file m_filename: %s to %s\r\n", m_setup.inFile.c_str(),
               m_setup.outFile.c_str());
    if (std::ifstream(m_setup.inFile, std::ios::binary).is_open()) {
        log.Printf("OK! opened nUp file m_filename: %s\r\n", m_setup.inFile.c_str());
    } else {
        log.Printf("ERROR! - can't open nUp file m_filename: %s\r\n", m_setup.inFile.c_str());
    }
    Progress(5);
    log.Printf("nUp m_filenameOut: %s\r\n", m_setup.outFile.c_str());
    std::string status =
        GetGridaneFile(m_context.engines.Gridane(), m_setup.inFile, m_setup.outFile);
    log.Printf("nUp status: %s\r\n", status.c_str());
    return status;
}

void PipelineRun::CleanOutput() {
    if (m_setup.dontCleanFile != 0) return;
    const std::string& output = m_setup.outFile;
    if (!std::ifstream(output, std::ios::binary).is_open()) return;  // nothing to clean
    std::string cleaned = output + "_clean.pdf";
    Made(cleaned);
    ProgramCall call = CleaningCall(m_setup, output, cleaned);
    Progress(6);
    // The cleaning script's own words go to the debug log; the user gets one line.
    KeptErrors run = RunProgramKeepingErrors(call, m_context.ui, m_context.log,
                                             m_work.Path() + "cleaning-errors.txt");
    // Only a cleaned file that reads as the same document replaces the imposed one.
    int imposedPages = PdfPageCount(output);
    int cleanedPages = PdfPageCount(cleaned);
    if (imposedPages > 0 && cleanedPages == imposedPages) {
        Remove(output);
        if (std::rename(cleaned.c_str(), output.c_str()) == 0) return;
    }
    m_context.log.Printf("cleaned output not used: %s\r\n", cleaned.c_str());
    Remove(cleaned);
    std::string reason = !run.result.Succeeded() ? FailureReason(run)
                         : cleanedPages < 0
                             ? "the cleaned file cannot be read"
                             : "the cleaned file has " + std::to_string(cleanedPages) +
                                   " pages instead of " + std::to_string(imposedPages);
    // The imposed output stays as it is; a window's batch run only logs it.
    if (!m_request.IsBatchCall() || m_context.commandLineMode) {
        Message("output not cleaned: " + reason);
    }
}

int PipelineRun::Outcome(std::string status) {
    if (m_rotationRan || m_doublingRan) Remove(m_rotationFile);
    if (status.empty()) {
        ReorderSplitOutput();
        if (!m_request.IsBatchCall() && !m_context.commandLineMode) {
            m_context.ui.Message(kDoneMessage, kProgramTitle);
        }
        Remove(m_doublingFile);
        return kProcessDone;
    }
    if (m_request.IsBatchCall()) {
        m_context.ui.SetRowStatus(m_request.row, status);
    } else {
        Message(ImposeFailedText(m_keptInput, m_setup.outFile, status));
    }
    Remove(m_doublingFile);
    return kProcessImpositionFailed;
}

void PipelineRun::ReorderSplitOutput() {
    if (m_setup.processingType != kLayoutSplitVertical || m_setup.reorder1 == 0) return;
    Made(m_rotationFile);
    int result = ReorderSplitPages(m_setup.outFile, m_rotationFile);
    if (result == kReorderNotWholeSheets) {
        std::string text = "Pages not reordered: the page count of " + m_setup.outFile +
                           " is not a multiple of 4.";
        m_context.log.Printf("%s\r\n", text.c_str());
        if (!m_request.IsBatchCall()) Message(text);
    }
}

int PipelineRun::ComFailure(const std::string& text) {
    Report(text);
    return kProcessComFailure;
}

int PipelineRun::OtherFailure() {
    Report(kPdfErrorMessage);
    return kProcessOtherFailure;
}

}  // namespace desktop
