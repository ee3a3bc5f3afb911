#include "desktop/core/BatchRun.h"

#include <algorithm>
#include <cctype>
#include <fstream>

#include "desktop/core/DebugLog.h"
#include "desktop/core/UiPort.h"

namespace desktop {

namespace {

// Forwards every call to the window's port and keeps the list's statuses in step with the
// statuses the pipeline shows.
class StatusKeepingPort : public UiPort {
  public:
    StatusKeepingPort(UiPort& inner, BatchList& list) : m_inner(inner), m_list(list) {}

    void Message(std::string_view text, std::string_view title) override {
        m_inner.Message(text, title);
    }
    Answer Question(std::string_view text, std::string_view title) override {
        return m_inner.Question(text, title);
    }
    void Progress(int position) override { m_inner.Progress(position); }
    bool HandlePendingMessages() override { return m_inner.HandlePendingMessages(); }
    void Status(std::string_view text) override { m_inner.Status(text); }
    void SetRowStatus(int row, std::string_view status) override {
        if (row >= 0 && static_cast<size_t>(row) < m_list.rows.size()) {
            m_list.rows[static_cast<size_t>(row)].status = status;
        }
        m_inner.SetRowStatus(row, status);
    }
    std::optional<std::string> ChooseFile(const FileDialog& dialog) override {
        return m_inner.ChooseFile(dialog);
    }
    std::optional<std::string> ChooseFolder(std::string_view title,
                                            std::string_view start) override {
        return m_inner.ChooseFolder(title, start);
    }

  private:
    UiPort& m_inner;
    BatchList& m_list;
};

bool CanOpenForReading(const std::string& path) {
    return std::ifstream(path, std::ios::binary).is_open();
}

std::string FileNamePart(const std::string& path) {
    size_t slash = path.find_last_of("\\/");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool Contains(const std::vector<std::string>& names, const std::string& name) {
    return std::find(names.begin(), names.end(), name) != names.end();
}

void RecordFailure(BatchSummary& summary, const BatchRow& row, int result) {
    ++summary.failed;
    summary.lastFailure = result;
    bool said = row.status != kStatusProcessing && row.status != kStatusReady;
    summary.failures.push_back({row.path, said ? row.status : ResultText(result)});
}

}  // namespace

bool NeedsPdfSuffix(const std::string& path) {
    if (path.size() < 3) return true;
    std::string tail = path.substr(path.size() - 3);
    for (char& c : tail) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return tail != "pdf";
}

std::string DistinctName(const std::string& name, const std::vector<std::string>& taken) {
    if (!Contains(taken, name)) return name;
    size_t dot = name.rfind('.');
    std::string stem = dot == std::string::npos ? name : name.substr(0, dot);
    std::string extension = dot == std::string::npos ? "" : name.substr(dot);
    for (int number = 2;; ++number) {
        std::string candidate = stem + " (" + std::to_string(number) + ")" + extension;
        if (!Contains(taken, candidate)) return candidate;
    }
}

std::string ResultText(int result) {
    switch (result) {
        case kProcessNoInput:
            return kNoInputMessage;
        case kProcessNoOutput:
            return kNoOutputMessage;
        case kProcessBadInput:
            return kInvalidInputMessage;
        case kProcessConversionFailed:
            return kConversionFailedMessage;
        case kProcessCancelled:
            return kCancelledMessage;
        default:
            return kPdfErrorMessage;
    }
}

BatchSummary RunBatch(PipelineContext& context, BatchList* list) {
    BatchSummary summary;
    context.log.Write("BatchProcesslist\r\n");
    if (list == nullptr || list->rows.empty()) {
        if (!context.commandLineMode) context.ui.Message(kPrepareListFirstMessage);
        return summary;
    }
    summary.ran = true;
    StatusKeepingPort port(context.ui, *list);
    PipelineContext rowContext{
        context.setup, context.conversion,      context.engines,         port,
        context.log,   context.commandLineMode, context.converterTimeout};
    std::vector<std::string> outputNames;
    for (size_t i = 0; i < list->rows.size(); ++i) {
        if (port.HandlePendingMessages()) {
            summary.cancelled = true;
            break;
        }
        if (list->rows[i].use != kUseYes) continue;
        ++summary.tried;
        std::string path = list->rows[i].path;
        int row = static_cast<int>(i);
        if (!CanOpenForReading(path)) {
            context.log.Printf("ERROR! CheckPDF szPathName: %s\r\n", path.c_str());
            port.SetRowStatus(row, kStatusFileError);
            RecordFailure(summary, list->rows[i], kProcessBadInput);
            continue;
        }
        context.log.Printf("OK! CheckPDF szPathName: %s\r\n", path.c_str());
        port.SetRowStatus(row, kStatusProcessing);
        context.log.Printf("BatchProcesslist: %s to folder: %s\r\n", path.c_str(),
                           list->outputFolder.c_str());
        ProcessRequest request{row, path, list->outputFolder, NeedsPdfSuffix(path), {}};
        std::string name = FileNamePart(path) + (request.appendPdf ? ".pdf" : "");
        std::string distinct = DistinctName(name, outputNames);
        outputNames.push_back(distinct);
        if (distinct != name) request.outputFileName = distinct;
        ProcessReport report;
        int result = ProcessFile(rowContext, request, &report);
        ++summary.processed;
        if (result == kProcessDone) {
            std::string status = kStatusDone;
            if (distinct != name) status += " as " + distinct + " (" + name + " came earlier)";
            if (!report.note.empty()) status += "; " + report.note;
            port.SetRowStatus(row, status);
        } else {
            RecordFailure(summary, list->rows[i], result);
            if (result == kProcessCancelled) {
                summary.cancelled = true;
                break;
            }
        }
    }
    if (!context.commandLineMode) context.ui.Message(kBatchDoneMessage);
    return summary;
}

}  // namespace desktop
