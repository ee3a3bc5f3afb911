#include "desktop/core/Startup.h"

namespace desktop {

void LoadStartupSettings(SetupFiles& files, JobSetup& setup, ConversionSettings& conversion,
                         UiPort& ui) {
    if (!ReadConversionIni(files.Folder().Resolve(kConversionIniName), conversion)) {
        ui.Message(kCantOpenConversionIni);
    }
    files.Load(std::string(kDefaultSetupName), setup, {.override = true});
    if (setup.processingType.empty()) setup.processingType = std::string(kDefaultLayout);
}

}  // namespace desktop
