// Opening documents and addresses with the desktop's default program (`xdg-open`, started with
// the name as one argument, never through a shell), and where the installed help pages are.
#pragma once

#include <functional>
#include <string>

namespace desktop::ui {

// Opens a file or an address; false when no program could open it (the openers are missing, or
// each ended at once with a failure). `xdg-open` is tried first, then the desktop's web browser
// (`sensible-browser`, `x-www-browser`); the caller tells the user when none could.
bool OpenWithDesktop(const std::string& nameOrAddress);

// What opens a document or address: OpenWithDesktop, or what a test gives the windows instead.
using Opener = std::function<bool(const std::string&)>;

// The help pages' folder: share/velmora/help beside the program's folder (bin/../share), the
// build tree's copy included; empty when none is found.
std::string HelpFolder();

// What the user is told when no program could open `nameOrAddress`.
std::string NothingOpensText(const std::string& nameOrAddress);

// The first page of the help: HelpFolder() + "/index.html".
std::string HelpIndex();

}  // namespace desktop::ui
