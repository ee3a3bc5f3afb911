// Setup files (".plf"): one line per key of the key table, "KEY;value", written with CR-LF.
//
// Reading: each line is split at ';' and line feed with empty tokens skipped: the first token
// is the key, the next the value. Keys are compared whole and case-sensitively; unknown keys
// are ignored, missing keys leave their value, a later duplicate wins. A key without a value
// reads as empty text or 0; a line without a key is skipped. A value longer than 254
// characters is refused whole: its key keeps its value, a message names the key and the line,
// and the rest of the file still applies. The sheet settings (SHEET ... FOLDMARKS) are held to
// their limits (SheetSettings.h) the same way: a value out of them is refused with a message.
// A file is written without the sheet settings at their defaults, so reading one first puts
// every sheet setting back to its default.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "desktop/core/ConfigFolder.h"
#include "desktop/core/JobSetup.h"

namespace desktop {

struct SetupReadOptions {
    // INFILE and OUTFILE lines always apply; without it each applies only while that name is
    // empty.
    bool override = false;
};

struct SetupReadResult {
    bool opened = false;               // false: the file could not be read; nothing else changed
    bool outFolderRead = false;        // an OUTFOLDER line was read into `outFolder` (the caller
                                       // also gives it to the batch list window when there is one)
    std::vector<std::string> refused;  // a message for each value that was not taken
};

// Reads the text of a setup file into `setup` (CR-LF pairs count as line feeds). REORDER1 is
// set to 0 first, as the reader of a file does. Returns a message for each refused value,
// naming the file as `fileName`.
std::vector<std::string> ParseSetupText(std::string_view text, JobSetup& setup,
                                        SetupReadOptions options,
                                        std::string_view fileName = "setup file");

// Reads the file at `path` (named `fileName` in messages; the path when empty). REORDER1
// becomes 0 even when the file cannot be opened (then silently, with every other value
// unchanged).
SetupReadResult ReadSetupFile(const std::string& path, JobSetup& setup, SetupReadOptions options,
                              std::string_view fileName = {});

// The file text: one "KEY;value\r\n" line per key in table order, OUTFOLDER only with
// `withOutFolder` (while the batch list window exists): 30 or 31 lines, then a line for each
// sheet setting that is not at its default. 2UPDUPLEX is the main
// flag when the option is not chosen, else the chosen order's code (0 when no order is chosen).
// A text holding a line break is written up to it (a line cannot carry one).
std::string SetupFileText(const JobSetup& setup, bool withOutFolder);

// The 2UPDUPLEX value that the writer writes and the reader's decoding of it.
int EncodeDuplexValue(const JobSetup& setup);
void DecodeDuplexValue(int value, JobSetup& setup);

struct SetupWriteResult {
    bool written = false;
    // What to show: "Saved to file: NAME" after writing any name but exactly "Default.plf",
    // "Can't save to :NAME" when the file cannot be created, else empty.
    std::string message;
};

// Writes `setup` to `path`; `name` is the name as the user knows it, for the message.
SetupWriteResult WriteSetupFile(const std::string& path, std::string_view name,
                                const JobSetup& setup, bool withOutFolder);

// The current setup file name and the loading and saving under it, with "Default.plf" (and
// the other configuration names) placed by the `ConfigFolder`.
class SetupFiles {
  public:
    explicit SetupFiles(ConfigFolder folder);

    // "Default.plf" until a file is loaded or saved under another name.
    const std::string& CurrentName() const { return m_currentName; }
    bool IsDefault() const { return m_currentName == kDefaultSetupName; }
    const ConfigFolder& Folder() const { return m_folder; }

    // Makes `name` the current name (even when it cannot be read) and reads it.
    SetupReadResult Load(const std::string& name, JobSetup& setup, SetupReadOptions options);

    // Writes the current name.
    SetupWriteResult Save(const JobSetup& setup, bool withOutFolder) const;

    // Makes `name` the current name and writes it.
    SetupWriteResult SaveAs(const std::string& name, const JobSetup& setup, bool withOutFolder);

  private:
    ConfigFolder m_folder;
    std::string m_currentName{kDefaultSetupName};
};

}  // namespace desktop
