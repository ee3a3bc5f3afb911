#include "turnelle/TurnelleCom.h"

#include <fstream>

#include "com/SettingPuts.h"
#include "pdf/CPdfException.h"
#include "platform/FileList.h"
#include "turnelle/RotationJob.h"
#include "turnelle/interface/TurnelleMembers.h"

namespace turnelle {

namespace {

#define TURNELLE_SETTING_PUT(name, dispid, kind, defaultText, help, setting, meaning) \
    VELMORA_SETTING_PUT(TurnelleSettings, name, kind, setting)

constexpr com::SettingPut<TurnelleSettings> kPuts[] = {TURNELLE_PROPERTIES(TURNELLE_SETTING_PUT)};

#undef TURNELLE_SETTING_PUT

constexpr std::span<const com::SettingPut<TurnelleSettings>> kSettingPuts = kPuts;

}  // namespace

bool TurnelleCom::PutProperty(std::string_view name, int32_t value) {
    return com::PutSetting(kSettingPuts, m_settings, name, value);
}

bool TurnelleCom::PutProperty(std::string_view name, const std::string& value) {
    return com::PutSetting(kSettingPuts, m_settings, name, std::string_view(value));
}

std::string TurnelleCom::getTurnelleFile(const std::string& input, const std::string& output,
                                         const std::string& params) {
    m_status.clear();
    m_warnings.Clear();
    std::string status = RunInput(input, output);
    if (m_progress != nullptr) {
        for (const std::string& warning : m_warnings.Lines()) m_progress->Warning(warning);
    }
    return status;
}

std::string TurnelleCom::RunInput(const std::string& input, const std::string& output) {
    if (platform::IsFileListName(input)) {
        std::ifstream list(input, std::ios::binary);
        if (list.is_open()) {
            RunFileList(list, output);
            return m_status;
        }
        m_status = "Unable to open file list: '" + input + "'\r\n";
    }
    return RunSingleFile(input, output) ? std::string() : m_status;
}

// Blank lines name no file and are passed over.
void TurnelleCom::RunFileList(std::istream& list, const std::string& outputArgument) {
    platform::FileListReader reader(list, platform::kMaxFileNameLength);
    while (auto line = reader.Next()) {
        if (line->listTooLong) {
            m_status = platform::FileListTooLongMessage();
            break;
        }
        if (line->tooLong) {
            m_status = platform::NameTooLongMessage(line->text);
        } else if (!line->text.empty()) {
            RunSingleFile(line->text, platform::ListLineOutputName(outputArgument, line->text));
        }
    }
}

bool TurnelleCom::RunSingleFile(const std::string& input, const std::string& output) {
    m_status.clear();
    RotationJob job(m_settings, input, output, m_progress);
    bool done = false;
    try {
        job.Run();
        done = true;
    } catch (const CPdfException& failure) {
        m_status = failure.GetMessage();
    } catch (...) {
        m_status = "Unexpected exception";
    }
    m_warnings.Append(job.Warnings());
    return done;
}

}  // namespace turnelle
