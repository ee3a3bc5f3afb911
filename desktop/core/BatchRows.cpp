#include "desktop/core/BatchRows.h"

#include <exception>
#include <filesystem>

#include "desktop/core/BatchRun.h"
#include "desktop/core/DebugLog.h"
#include "desktop/core/EngineObjects.h"
#include "desktop/core/EngineReportLog.h"
#include "platform/File.h"
#include "platform/Text.h"

namespace desktop {

namespace {

// The absolute form of a folder as given: unchanged when it is absolute already.
std::string AbsoluteFolder(const std::string& folder) {
    std::error_code error;
    std::filesystem::path absolute = std::filesystem::absolute(folder, error);
    return error ? folder : absolute.string();
}

}  // namespace

std::vector<RowJob> PlanRows(const BatchList& list) {
    std::vector<RowJob> jobs;
    std::vector<std::string> outputNames;
    std::string folder = AbsoluteFolder(list.outputFolder);
    for (size_t i = 0; i < list.rows.size(); ++i) {
        if (list.rows[i].use != kUseYes) continue;
        RowJob job;
        job.index = i;
        job.path = list.rows[i].path;
        job.readable = platform::IsReadableFile(job.path);
        job.status = kStatusProcessing;
        job.folder = list.outputFolder;
        if (job.readable) {
            job.name = std::string(platform::FileNamePart(job.path)) +
                       (NeedsPdfSuffix(job.path) ? ".pdf" : "");
            job.distinct = DistinctName(job.name, outputNames);
            outputNames.push_back(job.distinct);
            job.request = {static_cast<int>(i), job.path, folder + "/" + job.distinct};
        }
        jobs.push_back(std::move(job));
    }
    return jobs;
}

void RowPort::Message(std::string_view text, std::string_view title) {
    m_job.told.push_back({false, std::string(text), std::string(title)});
}

Answer RowPort::Question(std::string_view, std::string_view) {
    return Answer::Cancel;
}

void RowPort::Progress(int position) {
    if (m_sameThread) m_inner.Progress(position);
}

bool RowPort::HandlePendingMessages() {
    if (m_sameThread) return m_inner.HandlePendingMessages();
    return m_inner.CancelRequested();
}

void RowPort::Status(std::string_view text) {
    m_job.told.push_back({true, std::string(text), {}});
}

void RowPort::SetRowStatus(int, std::string_view status) {
    m_job.status = std::string(status);
    m_deliver(m_job.index, m_job.status);
}

std::optional<std::string> RowPort::ChooseFile(const FileDialog&) {
    return std::nullopt;
}

std::optional<std::string> RowPort::ChooseFolder(std::string_view, std::string_view) {
    return std::nullopt;
}

void RunRow(RowJob& job, const PipelineContext& base, EngineObjects& engines, RowPort& port) {
    DebugLog log(DebugLog::InMemory{base.log.IsOn()});
    EngineReportLog reports(log, base.engineWarningEcho);
    log.Printf("OK! CheckPDF szPathName: %s\r\n", job.path.c_str());
    log.Printf("BatchProcesslist: %s to folder: %s\r\n", job.path.c_str(), job.folder.c_str());
    PipelineContext context{base.setup,
                            base.conversion,
                            engines,
                            port,
                            log,
                            base.commandLineMode,
                            base.converterTimeout,
                            base.office,
                            base.engineWarningEcho};
    {
        ScopedProgressSink reporting(engines, &reports);
        try {
            job.result = ProcessFile(context, job.request, &job.report);
        } catch (const std::exception& error) {
            // Out of memory, most likely: the row fails, the batch goes on.
            job.result = kProcessOtherFailure;
            port.SetRowStatus(static_cast<int>(job.index), error.what());
        }
    }
    job.logText = log.TakeText();
}

}  // namespace desktop
