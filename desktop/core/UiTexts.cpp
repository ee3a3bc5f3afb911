#include "desktop/core/UiTexts.h"

#include <string>

namespace desktop {

namespace {

FileDialog Make(FileDialog::Mode mode, std::string_view title, std::string_view patterns,
                std::string_view extension, bool mustExist, std::string_view current = {}) {
    FileDialog dialog;
    dialog.mode = mode;
    dialog.title = std::string(title);
    dialog.filters = {{std::string(patterns), std::string(patterns)}, {"All Files", "*.*"}};
    dialog.defaultExtension = std::string(extension);
    dialog.mustExist = mustExist;
    dialog.initialName = std::string(current);
    return dialog;
}

}  // namespace

FileDialog BrowseInputDialog(std::string_view current) {
    return Make(FileDialog::Mode::Open, "Select pdf file", kInputPatterns, "pdf", true, current);
}

FileDialog BrowseOutputDialog(std::string_view current) {
    return Make(FileDialog::Mode::Save, "Save to PDF File", kInputPatterns, "pdf", false, current);
}

FileDialog CalibrationSheetDialog(std::string_view proposed) {
    FileDialog dialog =
        Make(FileDialog::Mode::Save, "Save the calibration sheet", "*.pdf", "pdf", false, proposed);
    dialog.asksToReplace = false;
    return dialog;
}

FileDialog BrowseTemplateDialog(std::string_view current) {
    return Make(FileDialog::Mode::Open, "Select layout template", "*.json", "json", true, current);
}

FileDialog LoadSettingsDialog() {
    return Make(FileDialog::Mode::Open, "Open Velmora Setup File", "*.plf", "PLF", true);
}

FileDialog SaveSettingsDialog() {
    return Make(FileDialog::Mode::Save, "Save Velmora Setup File", "*.plf", "PLF", false);
}

FileDialog AddFileDialog() {
    return Make(FileDialog::Mode::Open, "Add Files (Don't forget you can use drag and drop)",
                kInputPatterns, "", true);
}

FileDialog OpenListDialog() {
    return Make(FileDialog::Mode::Open, "Open List File", "*.lst", "", true);
}

FileDialog SaveListDialog() {
    return Make(FileDialog::Mode::Save, "Save List File", "*.lst", "LST", false);
}

}  // namespace desktop
