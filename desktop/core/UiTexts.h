// The fixed texts of the windows: titles, tool tips, file dialogs.
#pragma once

#include <string_view>

#include "desktop/core/UiPort.h"
#include "velmora/Version.h"

namespace desktop {

inline constexpr std::string_view kMainTitle =
    "Velmora Desktop Edition v" VELMORA_VERSION " - Corvell Software ";
inline constexpr std::string_view kBatchTitle = "Prepare batch list";

inline constexpr std::string_view kInputTip =
    "File to process. supports pdf, html, asp, apsx, php, word doc, docx, docm, excel xls, "
    "xlsm, xlsx, rtf, jpeg, bmp, png, gif, wmf, emf tiff and txt files.";
inline constexpr std::string_view kMediaBoxTip =
    "Set output page size: bottom, left, top, right e.g. 0,0,612,1584";
inline constexpr std::string_view kCropBoxTip =
    "Set output page size crop margins: bottom, left, top, right e.g. 5,5,612,1584";
inline constexpr int kTipMilliseconds = 20000;
inline constexpr std::string_view kDuplicateTip =
    "Every cell of a sheet side shows the same page: one side per page, as many copies as the "
    "layout has cells (two with 2up, eight with 8up)";
// The two rows of similar names, told apart.
inline constexpr std::string_view kProcessingTypeTip =
    "Where the pages go within one sheet: along its rows (across) or down its columns";
inline constexpr std::string_view kTypeOfProcessingTip =
    "Which pages come together on each sheet: in sequence (A/B), for cutting and stacking "
    "(Split), or in a folded duplex order";
inline constexpr std::string_view kTestSheetTip =
    "Writes a two-sided test sheet the size of this job's sheet, to find the back shift of "
    "your printer: print it on both sides, hold it to the light and type the labels under "
    "the back's cross into Back shift.";

// The About box.
inline constexpr std::string_view kAboutTitle = "About Velmora DE";
inline constexpr std::string_view kAboutText =
    "Velmora Desktop Edition " VELMORA_VERSION
    "\n\n"
    "Imposes PDF files for printing: booklets, books in signatures, cards, several pages to a "
    "sheet, cut and stack, and 2-up pages split back into single pages.\n\n"
    "Corvell Software";

inline constexpr std::string_view kInputPatterns =
    "*.pdf;*.doc;*.docx;*.docm;*.xls;*.xlsx;*.xlsm;*.rtf;*.jpg;*.gif;*.png;*.bmp;*.wmf;*.emf;"
    "*.tif;*.tiff;*.txt;*.htm;*.html;*.asp;*.aspx;*.php";

inline constexpr std::string_view kNoFile = "No file";

// The file dialogs of the main window and the batch window.
FileDialog BrowseInputDialog(std::string_view current);
FileDialog BrowseOutputDialog(std::string_view current);
// Saving the test sheet for the back shift as `proposed`; the window asks before it replaces a
// file, so the dialog does not.
FileDialog CalibrationSheetDialog(std::string_view proposed);
FileDialog BrowseTemplateDialog(std::string_view current);
FileDialog LoadSettingsDialog();
FileDialog SaveSettingsDialog();
FileDialog AddFileDialog();
FileDialog OpenListDialog();
FileDialog SaveListDialog();

}  // namespace desktop
