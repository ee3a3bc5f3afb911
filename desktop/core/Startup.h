// What the program loads before it shows its window or acts on its command line.
#pragma once

#include "desktop/core/Conversion.h"
#include "desktop/core/JobSetup.h"
#include "desktop/core/SetupFile.h"
#include "desktop/core/UiPort.h"

namespace desktop {

// Reads "conversion.ini" into `conversion` (defaults, and the message "Can't open
// conversion.ini file." through `ui`, when it cannot be read), loads "Default.plf" with
// override into `setup` (silently when it is missing) and makes an empty layout name "2up".
// `files` keeps "Default.plf" as its current name.
void LoadStartupSettings(SetupFiles& files, JobSetup& setup, ConversionSettings& conversion,
                         UiPort& ui);

}  // namespace desktop
