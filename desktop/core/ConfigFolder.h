// Where the desktop program's configuration files live.
//
// Relative names resolve against the working folder. A program started from a desktop menu has
// no useful working folder, so the configuration files ("Default.plf", "conversion.ini",
// "debug.txt" and the batch window's "default.lst") live in the working folder when
// "Default.plf" or "conversion.ini" is already there, else in `$XDG_CONFIG_HOME/velmora/`
// (`~/.config/velmora/` when that variable is unset, empty or not absolute). The choice is made
// once, when the `ConfigFolder` is made (at program start), so that every file of one run lives
// in one place; the folder is created when a file is first written there.
#pragma once

#include <string>
#include <string_view>

namespace desktop {

inline constexpr std::string_view kDefaultSetupName = "Default.plf";
inline constexpr std::string_view kConversionIniName = "conversion.ini";
inline constexpr std::string_view kDebugLogName = "debug.txt";
inline constexpr std::string_view kDefaultListName = "default.lst";

class ConfigFolder {
  public:
    // Decides from the current working folder and the environment.
    static ConfigFolder FromEnvironment();

    // Decides with the given folders: the working folder's files win when "Default.plf" or
    // "conversion.ini" exists in `workingFolder`, else `userFolder` (for example
    // "/home/u/.config/velmora") holds them. Either may end with '/' or not.
    ConfigFolder(std::string workingFolder, std::string userFolder);

    // The folder chosen, without a final '/'.
    const std::string& Folder() const { return m_folder; }
    bool UsesWorkingFolder() const { return m_usesWorkingFolder; }

    // The path of a configuration file of that bare name in the chosen folder.
    std::string PathOf(std::string_view name) const;

    // `name` itself, unless it is exactly one of the four configuration names above, which
    // map to PathOf(name). So "Default.plf" finds the user's file while "./Default.plf" or
    // "jobs/x.plf" mean what they say.
    std::string Resolve(std::string_view name) const;

    // Like Resolve, and when the name maps into the chosen folder, creates that folder (and
    // its parents) if needed, so that the file can be created. A failure to create it shows
    // up as a failure to open the file.
    std::string ResolveForWriting(std::string_view name) const;

  private:
    std::string m_folder;
    bool m_usesWorkingFolder = false;
};

// The per-user folder: $XDG_CONFIG_HOME/velmora when that is set and absolute, else
// $HOME/.config/velmora (the password database's home when HOME is unset); empty when no home
// can be found.
std::string UserConfigFolder();

bool IsConfigName(std::string_view name);

}  // namespace desktop
