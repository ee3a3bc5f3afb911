#include "gridane/GridaneCom.h"

#include <fstream>
#include <iostream>

#include "gridane/FileList.h"
#include "gridane/ImpositionJob.h"
#include "gridane/PrePasses.h"
#include "gridane/PropertyTable.h"
#include "pdf/CPdfException.h"

namespace gridane {
namespace {

const char kNameTooLong[] = "File name longer than 254 characters: '";

std::string Shortened(const std::string& name) {
    return name.size() <= 60 ? name : name.substr(0, 60) + "...";
}

// The first of the run's names that is too long to be taken, or nullptr.
const std::string* TooLongName(const std::string& input, const std::string& output,
                               const JobSettings& settings) {
    for (const std::string* name : {&input, &output, &settings.sequenceFile}) {
        if (name->size() > kMaxTextLength) return name;
    }
    return nullptr;
}

}  // namespace

GridaneCom::GridaneCom() : m_progress(&std::cout) {}

bool GridaneCom::PutProperty(std::string_view name, int32_t value) {
    const PropertyInfo* property = FindProperty(name);
    if (property == nullptr || property->kind == PropertyKind::Text) return false;
    property->putNumber(m_settings, value);
    return true;
}

bool GridaneCom::PutProperty(std::string_view name, const std::string& value) {
    const PropertyInfo* property = FindProperty(name);
    if (property == nullptr || property->kind != PropertyKind::Text) return false;
    property->putText(m_settings, value);
    return true;
}

std::string GridaneCom::getGridaneFile(const std::string& input, const std::string& output) {
    m_status.clear();
    m_warnings.Clear();
    if (IsFileListName(input)) {
        std::ifstream list(input, std::ios::binary);
        if (list.is_open()) {
            RunFileList(list, output);
            return m_status;
        }
        m_status = "Unable to open file list: '" + input + "'\r\n";
    }
    RunSingleFile(input, output);
    return m_status;
}

void GridaneCom::RunFileList(std::istream& list, const std::string& outputArgument) {
    FileListReader reader(list, kMaxTextLength);
    while (auto line = reader.Next()) {
        if (line->tooLong) {
            m_status = kNameTooLong + Shortened(line->text) + "'\n";
            continue;
        }
        RunSingleFile(line->text, ListLineOutputName(outputArgument, line->text));
    }
}

void GridaneCom::RunSingleFile(const std::string& input, const std::string& output) {
    m_status.clear();
    if (const std::string* name = TooLongName(input, output, m_settings)) {
        m_status = kNameTooLong + Shortened(*name) + "'\n";
        return;
    }
    ImpositionJob job(m_settings, input, output, m_progress);
    try {
        if (m_settings.duplicate && (m_settings.rotateLeft || m_settings.rotateRight)) {
            m_status = RunDoublingPrePass(job);
        } else {
            RunImposition(job);
        }
    } catch (const CPdfException& e) {
        m_status = e.GetMessage();
    } catch (...) {
        m_status = "Unexpected exception";
    }
    m_warnings.Append(job.Warnings());
}

}  // namespace gridane
