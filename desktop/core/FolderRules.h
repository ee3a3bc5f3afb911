// The checks of the batch window's folder dialog, adapted to Linux paths (no window, no Qt).
//
// The system's rules spoke of drive letters; here a folder text is
// - invalid when it is empty or, after a leading "~" is expanded to the home folder, not an
//   absolute path;
// - missing when no folder of that name exists: the dialog asks whether it should be created,
//   and refuses with "can not be created" when no existing folder above it is writable;
// - accepted otherwise. The folder is never created here: a run creates it when it needs it.
#pragma once

#include <string>
#include <string_view>

namespace desktop {

enum class FolderVerdict { Invalid, Missing, Accepted };

// The text with a leading "~" (alone or before "/") replaced by the home folder.
std::string ExpandHome(std::string_view text);

FolderVerdict CheckFolderText(std::string_view text);

// After "Yes" to the question: whether the nearest existing folder above `text` (expanded) is
// a folder that the user may write into.
bool FolderCanBeCreated(std::string_view text);

// The three texts, with the folder as typed.
std::string FolderInvalidMessage(std::string_view text);
std::string FolderMissingQuestion(std::string_view text);
std::string FolderCannotBeCreatedMessage(std::string_view text);

// The longest folder text the dialog takes.
inline constexpr size_t kMaxFolderText = 260;

}  // namespace desktop
