// The user's presets: named setup files in the "presets" folder of the configuration folder,
// saved and loaded by name alone. A preset holds the settings of a job, not its files: it is
// written without the input, the output and the batch output folder, and loading it keeps the
// job's own.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "desktop/core/ConfigFolder.h"
#include "desktop/core/JobSetup.h"
#include "desktop/core/SetupFile.h"

namespace desktop {

inline constexpr std::string_view kPresetFolderName = "presets";
inline constexpr std::string_view kPresetExtension = ".plf";
// The longest name, in characters: a menu entry, and far below any file name limit.
inline constexpr size_t kMaxPresetNameCharacters = 64;

// Why `name` (as typed, blanks at its ends already trimmed) cannot name a preset, or empty when
// it can: it must not be empty, be longer than kMaxPresetNameCharacters, hold a '/', a '\' or
// a control character, or start with a dot.
std::string PresetNameRefusal(std::string_view name);

struct PresetResult {
    bool done = false;
    std::string message;  // what to show: why it failed, or values a loaded file refused
};

class Presets {
  public:
    explicit Presets(const ConfigFolder& config);

    const std::string& Folder() const { return m_folder; }
    // The path of the preset `name` (which must pass PresetNameRefusal).
    std::string PathOf(std::string_view name) const;

    // The names of the saved presets, sorted; files that no name could have made are left out.
    std::vector<std::string> Names() const;
    bool Exists(std::string_view name) const;

    // Writes the settings of `setup` as the preset `name`, over one of that name.
    PresetResult Save(std::string_view name, const JobSetup& setup) const;
    // Takes the settings of the preset `name` into `setup`, keeping its files.
    PresetResult Load(std::string_view name, JobSetup& setup) const;
    PresetResult Remove(std::string_view name) const;

  private:
    std::string m_folder;
};

}  // namespace desktop
