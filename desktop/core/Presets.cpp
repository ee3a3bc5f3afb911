#include "desktop/core/Presets.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

namespace desktop {
namespace fs = std::filesystem;
namespace {

size_t CharacterCount(std::string_view utf8) {
    return static_cast<size_t>(std::count_if(utf8.begin(), utf8.end(), [](char byte) {
        return (static_cast<unsigned char>(byte) & 0xC0) != 0x80;
    }));
}

bool IsControl(char byte) {
    auto value = static_cast<unsigned char>(byte);
    return value < 0x20 || value == 0x7F;
}

// A preset is a plain file of the folder: a link or a folder of that name is none.
bool IsPresetFile(const fs::path& path) {
    std::error_code error;
    return fs::symlink_status(path, error).type() == fs::file_type::regular;
}

PresetResult Refused(std::string_view name) {
    return {false, PresetNameRefusal(name)};
}

}  // namespace

std::string PresetNameRefusal(std::string_view name) {
    if (name.empty()) return "A preset needs a name.";
    if (CharacterCount(name) > kMaxPresetNameCharacters) {
        return "A preset name has at most " + std::to_string(kMaxPresetNameCharacters) +
               " characters.";
    }
    if (name.find_first_of("/\\") != std::string_view::npos) {
        return "A preset name cannot hold \"/\" or \"\\\".";
    }
    if (name.front() == '.') return "A preset name cannot start with a dot.";
    if (std::any_of(name.begin(), name.end(), IsControl)) {
        return "A preset name cannot hold a line break or other control character.";
    }
    return {};
}

Presets::Presets(const ConfigFolder& config)
    : m_folder(config.Folder() + "/" + std::string(kPresetFolderName)) {}

std::string Presets::PathOf(std::string_view name) const {
    return m_folder + "/" + std::string(name) + std::string(kPresetExtension);
}

std::vector<std::string> Presets::Names() const {
    std::vector<std::string> names;
    std::error_code error;
    for (fs::directory_iterator it(m_folder, error), end; !error && it != end;
         it.increment(error)) {
        const fs::path& path = it->path();
        if (path.extension() != kPresetExtension || !IsPresetFile(path)) continue;
        std::string name = path.stem().string();
        if (PresetNameRefusal(name).empty()) names.push_back(std::move(name));
    }
    std::sort(names.begin(), names.end());
    return names;
}

bool Presets::Exists(std::string_view name) const {
    return PresetNameRefusal(name).empty() && IsPresetFile(PathOf(name));
}

PresetResult Presets::Save(std::string_view name, const JobSetup& setup) const {
    if (!PresetNameRefusal(name).empty()) return Refused(name);
    std::error_code error;
    fs::create_directories(m_folder, error);
    JobSetup settings = setup;
    settings.inFile.clear();
    settings.outFile.clear();
    settings.outFolder.clear();
    SetupWriteResult written = WriteSetupFile(PathOf(name), name, settings, false);
    if (!written.written) return {false, "Can't save the preset \"" + std::string(name) + "\"."};
    return {true, "Saved the preset \"" + std::string(name) + "\"."};
}

PresetResult Presets::Load(std::string_view name, JobSetup& setup) const {
    if (!PresetNameRefusal(name).empty()) return Refused(name);
    if (!IsPresetFile(PathOf(name))) {
        return {false, "There is no preset \"" + std::string(name) + "\"."};
    }
    JobSetup loaded = setup;
    SetupReadResult read = ReadSetupFile(PathOf(name), loaded, {.override = true}, name);
    if (!read.opened) return {false, "Can't read the preset \"" + std::string(name) + "\"."};
    loaded.inFile = setup.inFile;
    loaded.outFile = setup.outFile;
    loaded.outFolder = setup.outFolder;
    setup = loaded;
    PresetResult result{true, {}};
    for (const std::string& refusal : read.refused) {
        if (!result.message.empty()) result.message += "\n";
        result.message += refusal;
    }
    return result;
}

PresetResult Presets::Remove(std::string_view name) const {
    if (!PresetNameRefusal(name).empty()) return Refused(name);
    std::error_code error;
    if (!IsPresetFile(PathOf(name)) || !fs::remove(PathOf(name), error)) {
        return {false, "Can't delete the preset \"" + std::string(name) + "\"."};
    }
    return {true, {}};
}

}  // namespace desktop
