// Partial files a program removes when a signal ends it. A program that asks for it
// (`RemovePartialFilesOnSignals`) ends on SIGINT, SIGTERM and SIGHUP by removing every file
// still listed here and exiting with 128 + the signal; SIGXFSZ is ignored, so a write over the
// file-size limit fails with an error the writer reports (and removes its file for) instead
// of ending the program with the file left behind.
//
// The list is a fixed table of names read by the signal handler; `ReplaceFile` lists its
// private file while it is being written. A shared library holding its own copy of this code
// joins the program's handling when the program loads it (SharedLibrary.h calls its exported
// entry `kJoinPartialFileRemovalEntry`): its handler removes its own files, then hands the signal
// on to the handler that was there before.
#pragma once

#include <string>

namespace platform {

// Installs the handlers described above (once; later calls do nothing).
void RemovePartialFilesOnSignals();
// Whether this copy of the code removes its listed files on signals.
bool PartialFilesRemovedOnSignals();

// Lists `path` for removal on a signal; false when the table is full (the file is then only
// removed by its writer).
bool ListPartialFile(const std::string& path);
// Takes `path` off the list (after it was renamed into place or removed).
void UnlistPartialFile(const std::string& path);
// Removes every listed file now; safe in a signal handler, for a program that ends itself.
void RemoveListedPartialFiles();

// For a shared library's copy of this code: installs its handler in front of the program's
// current ones. A library exports it under the name below (one line of its own entry points).
void JoinPartialFileRemoval();
inline constexpr char kJoinPartialFileRemovalEntry[] = "VelmoraJoinPartialFileRemoval";

}  // namespace platform
