#include "desktop/core/FileDialogs.h"

namespace desktop {
namespace {

constexpr const char* kDocumentPatterns =
    "*.pdf;*.doc;*.docx;*.docm;*.xls;*.xlsx;*.xlsm;*.rtf;*.jpg;*.gif;*.png;*.bmp;*.wmf;*.emf;"
    "*.tif;*.tiff;*.txt;*.htm;*.html;*.asp;*.aspx;*.php";

FileDialog Dialog(FileDialog::Mode mode, std::string title, std::string patterns,
                  std::string extension, std::string current) {
    FileDialog dialog;
    dialog.mode = mode;
    dialog.title = std::move(title);
    dialog.filters = {{patterns, patterns}, {"All Files", "*.*"}};
    dialog.defaultExtension = std::move(extension);
    dialog.mustExist = mode == FileDialog::Mode::Open;
    dialog.initialName = std::move(current);
    return dialog;
}

}  // namespace

FileDialog LoadSetupDialog() {
    return Dialog(FileDialog::Mode::Open, "Open Velmora Setup File", "*.plf", "PLF", "");
}

FileDialog SaveSetupDialog() {
    return Dialog(FileDialog::Mode::Save, "Save Velmora Setup File", "*.plf", "PLF", "");
}

FileDialog InputFileDialog(const std::string& current) {
    return Dialog(FileDialog::Mode::Open, "Select pdf file", kDocumentPatterns, "pdf", current);
}

FileDialog OutputFileDialog(const std::string& current) {
    return Dialog(FileDialog::Mode::Save, "Save to PDF File", kDocumentPatterns, "pdf", current);
}

}  // namespace desktop
