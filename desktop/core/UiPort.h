// The one way the desktop core reaches the user. The windows implement it with real dialogs;
// `QuietUiPort` records the calls and answers from a script, for the command line and the
// tests. Every call is made on one thread at a time (the window's or the pipeline worker's);
// only CancelRequested may be asked from any thread.
#pragma once

#include <cstdint>
#include <optional>

#include <string>
#include <string_view>
#include <utility>
#include <vector>
#include "desktop/core/BatchProgress.h"

namespace desktop {

enum class Answer { Yes, No, Cancel };

// The title of the program's message boxes when a call names none.
inline constexpr std::string_view kProgramTitle = "Velmora Desktop Edition";

// A file chooser: an open dialog (the file must exist when `mustExist`) or a save dialog.
struct FileDialog {
    enum class Mode { Open, Save };
    Mode mode = Mode::Open;
    std::string title;  // "Select pdf file"
    // (label, patterns) pairs; patterns separated by ';' ("*.pdf;*.doc"), "*.*" for all files.
    std::vector<std::pair<std::string, std::string>> filters;
    std::string defaultExtension;  // "pdf", without the dot
    bool mustExist = false;
    std::string initialName;    // the current value of the field, may be empty
    bool asksToReplace = true;  // a save dialog asks before it names a file that is there

    bool operator==(const FileDialog&) const = default;
};

// The progress bar's last position: the output is in place.
inline constexpr int kLastProgressPosition = 7;

class UiPort {
  public:
    virtual ~UiPort() = default;

    // A modal message box with an OK button; an empty title means kProgramTitle.
    virtual void Message(std::string_view text, std::string_view title = {}) = 0;

    // A modal question with Yes, No and Cancel.
    virtual Answer Question(std::string_view text, std::string_view title) = 0;

    // A modal question with `acceptLabel` ("Replace") and Cancel; true for the first. Without
    // a window of its own it is the Yes/No/Cancel question, Yes accepting.
    virtual bool Confirm(std::string_view text, std::string_view acceptLabel,
                         std::string_view title) {
        (void)acceptLabel;
        return Question(text, title) == Answer::Yes;
    }

    // Asks for the password that opens `file` (`wrongBefore`: the last one given did not);
    // nullopt when the user gave up. Without a window nobody is asked.
    virtual std::optional<std::string> AskPassword(std::string_view file, bool wrongBefore) {
        (void)file;
        (void)wrongBefore;
        return std::nullopt;
    }

    // Moves the progress bar (range 1 to kLastProgressPosition; 0 before the first step). The
    // imposition ends at 6; the cleaning of the output runs from there, and the last position
    // is reached when the output is in place.
    virtual void Progress(int position) = 0;
    // Moves the bar within the step that runs, toward the next position: `done` of `total`
    // units of the step's work (objects copied, pages written), as the program reports them.
    virtual void StepProgress(int64_t done, int64_t total) {
        (void)done;
        (void)total;
    }

    // Names the step the running job has come to ("Cleaning input", "Imposing"), for the
    // progress bar.
    virtual void Step(std::string_view title) { (void)title; }

    // Lets pending window events be handled (repaints, clicks). Returns true when the user
    // has asked to cancel the running work since the last call.
    virtual bool HandlePendingMessages() = 0;

    // A line in the window's status bar (standard error without a window): how a finished job
    // went when that is worth knowing beyond its result, e.g. done without cleaning.
    virtual void Status(std::string_view text) = 0;

    // Sets the status text (column 2) of a batch list row, when the batch window exists.
    virtual void SetRowStatus(int row, std::string_view status) = 0;

    // How far the batch run has come (after each row that ends).
    virtual void ShowBatchProgress(const BatchProgress& progress) { (void)progress; }

    // True while the user has asked to cancel the running work. Unlike HandlePendingMessages
    // it handles nothing and may be asked from any thread (batch rows running side by side).
    virtual bool CancelRequested() const { return false; }

    // A file chooser; nullopt when the user cancelled.
    virtual std::optional<std::string> ChooseFile(const FileDialog& dialog) = 0;

    // A folder chooser starting at `start`; nullopt when the user cancelled.
    virtual std::optional<std::string> ChooseFolder(std::string_view title,
                                                    std::string_view start) = 0;
};

}  // namespace desktop
