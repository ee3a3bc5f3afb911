// The optional processing trace "debug.txt". Off at start; `Start` (Ctrl+D in the main window)
// creates or empties the file and turns it on until the program ends. Every write is flushed at
// once, so the file is complete even if the program stops. While off nothing is written and no
// file is made. One object per program, owned by the main window or the command line.
//
// A log kept in memory (`DebugLog::InMemory`) collects one batch row's lines while rows run side by
// side; the batch run then writes each row's lines into the program's log as one block.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>
#include <utility>

#include "desktop/core/ConfigFolder.h"

namespace desktop {

class UiPort;

inline constexpr std::string_view kDebugHeader = "Debug Started v1.18\r\n";
inline constexpr std::string_view kDebugStartedMessage = "Debugging started";

class DebugLog {
  public:
    // The log file is "debug.txt" placed by `folder`.
    explicit DebugLog(ConfigFolder folder);
    // A log that keeps what is written in memory, on when `on` (as the log it stands in for).
    struct InMemory {
        bool on = false;
    };
    explicit DebugLog(InMemory memory);
    ~DebugLog();
    DebugLog(const DebugLog&) = delete;
    DebugLog& operator=(const DebugLog&) = delete;

    // Closes the file if the log is on, then creates (or empties) it; when that succeeds the
    // log is on, its first line is written and `ui` shows "Debugging started". When the file
    // cannot be created the log is off and nothing is shown. Returns whether the log is on.
    bool Start(UiPort& ui);

    bool IsOn() const { return m_file != nullptr || m_inMemory; }

    // Writes the text as given (line ends included) and flushes; nothing while off.
    void Write(std::string_view text);

    // printf-style: "nUp status: %s\r\n". Numbers use the C locale.
    void Printf(const char* format, ...) __attribute__((format(printf, 2, 3)));

    // Flushes and closes the file; the log is off afterwards.
    void Close();

    // The file's path ("debug.txt" in the configuration folder).
    const std::string& Path() const { return m_path; }

    // What an in-memory log holds; it is empty afterwards.
    std::string TakeText() { return std::exchange(m_text, {}); }

  private:
    ConfigFolder m_folder;
    std::string m_path;
    std::FILE* m_file = nullptr;
    bool m_inMemory = false;
    std::string m_text;
};

}  // namespace desktop
