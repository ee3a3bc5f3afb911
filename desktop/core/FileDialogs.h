// The file choosers of the main window, described as data for `UiPort::ChooseFile`.
#pragma once

#include <string>

#include "desktop/core/UiPort.h"

namespace desktop {

// "Load Settings": an existing setup file.
FileDialog LoadSetupDialog();
// "Save Settings As".
FileDialog SaveSetupDialog();
// "Browse" beside "Input:": an existing document of any kind the program converts; `current`
// is the field's value.
FileDialog InputFileDialog(const std::string& current);
// "Browse" beside "Output:".
FileDialog OutputFileDialog(const std::string& current);

}  // namespace desktop
