#include "gridane/GridaneCom.h"

#include <fstream>

#include "gridane/ImpositionJob.h"
#include "gridane/PrePasses.h"
#include "gridane/PropertyTable.h"
#include "pdf/CPdfException.h"
#include "platform/FileList.h"
#include "platform/TempFileName.h"

namespace gridane {
namespace {

// The first of the run's names that is too long to be taken, or nullptr.
const std::string* TooLongName(const std::string& input, const std::string& output,
                               const JobSettings& settings) {
    for (const std::string* name :
         {&input, &output, &settings.sequenceFile, &settings.templateFile}) {
        if (name->size() > kMaxTextLength) return name;
    }
    return nullptr;
}

}  // namespace

bool GridaneCom::PutProperty(std::string_view name, int32_t value) {
    return com::PutSetting(GridaneSettingPuts(), m_settings, name, value);
}

bool GridaneCom::PutProperty(std::string_view name, const std::string& value) {
    return com::PutSetting(GridaneSettingPuts(), m_settings, name, std::string_view(value));
}

std::string GridaneCom::getGridaneFile(const std::string& input, const std::string& output) {
    m_status.clear();
    m_warnings.Clear();
    RunInput(input, output);
    if (m_progress != nullptr) {
        for (const std::string& warning : m_warnings.Lines()) m_progress->Warning(warning);
    }
    return m_status;
}

void GridaneCom::RunInput(const std::string& input, const std::string& output) {
    if (platform::IsFileListName(input) && !m_settings.printTemplate) {
        std::ifstream list(input, std::ios::binary);
        if (list.is_open()) {
            RunFileList(list, output);
            return;
        }
        m_status = "Unable to open file list: '" + input + "'\r\n";
    }
    RunSingleFile(input, output);
}

// Every listed file is imposed; the list's status is the first failure, so that a later
// success does not hide it. With none, the last file's status (a pre-pass file's name) stands.
void GridaneCom::RunFileList(std::istream& list, const std::string& outputArgument) {
    platform::FileListReader reader(list, kMaxTextLength);
    std::string firstFailure;
    auto keepFirst = [&firstFailure](const std::string& failure) {
        if (firstFailure.empty()) firstFailure = failure;
    };
    while (auto line = reader.Next()) {
        if (line->listTooLong) {
            keepFirst(platform::FileListTooLongMessage());
            break;
        }
        if (line->tooLong) {
            keepFirst(platform::NameTooLongMessage(line->text));
            continue;
        }
        std::string output = platform::ListLineOutputName(outputArgument, line->text);
        RunSingleFile(line->text, output);
        if (!m_status.empty() && !IsTempFileNameBeside(m_status, output)) keepFirst(m_status);
    }
    if (!firstFailure.empty()) m_status = firstFailure;
}

void GridaneCom::RunSingleFile(const std::string& input, const std::string& output) {
    m_status.clear();
    m_cards = {};
    if (const std::string* name = TooLongName(input, output, m_settings)) {
        m_status = platform::NameTooLongMessage(*name);
        return;
    }
    ImpositionJob job(m_settings, input, output, m_progress);
    job.files = m_files;
    try {
        if (m_settings.printTemplate) {
            m_status = PrintTemplate(job);
        } else if (m_settings.templateFile.empty() && m_settings.duplicate &&
                   (m_settings.rotateLeft || m_settings.rotateRight)) {
            m_status = RunDoublingPrePass(job);
        } else {
            RunImposition(job);
        }
    } catch (const CPdfException& e) {
        m_status = e.GetMessage();
    } catch (...) {
        m_status = "Unexpected exception";
    }
    if (m_status.empty()) m_cards = {job.plan.fittedGrid, job.plan.fittedTurned};
    m_warnings.Append(job.Warnings());
}

}  // namespace gridane
