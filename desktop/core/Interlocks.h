// The option interlocks of the main window and the logic of its two small dialogs, as pure
// functions on a `JobSetup`.
//
// The window copies its controls into the record first (so a check box already holds its new
// state), calls one of these functions, copies the returned record back into the controls,
// refreshes the layout picture, shows the message if there is one and opens the dialog if one is
// asked for. When the dialog closes, the window hands its outcome to the matching Close...
// function, which finishes the interlock. Option buttons need not be set by the caller: the
// function chooses the button that was clicked.
#pragma once

#include <string>
#include <string_view>

#include "desktop/core/JobSetup.h"

namespace desktop {

// What the user clicked in the main window.
enum class OptionAction {
    Across,          // "Across the page"
    Down,            // "Down the page"
    AB,              // "A/B"
    Split,           // "Split"
    AB4Duplex,       // "A/B 4up (Duplex)"
    AB2Duplex,       // "A/B 2up (Duplex)": opens the "2UP Duplex Mode" dialog
    Automatic,       // "Automatic" check box (the record holds its new state)
    RotateNone,      // "None" under "Rotate Pages:"
    RotateOdd,       // "Odd"
    RotateEven,      // "Even"
    RotateAll,       // "All"
    Duplicate,       // "Duplicate each page" check box
    DupRotateLeft,   // "Rotate Left" check box
    DupRotateRight,  // "Rotate Right" check box
    SheetSetting,    // a check box of the sheet settings: the pictures follow, nothing else
};

// The "2UP Duplex Mode" dialog: four exclusive option buttons, one per page order.
struct DuplexModeDialog {
    // The order chosen in the dialog; the dialog opens with the record's order, or 1243 when
    // the record has none.
    DuplexOrder chosen = DuplexOrder::Order1243;

    static DuplexModeDialog Open(const JobSetup& setup);
    void Choose(DuplexOrder order) { chosen = order; }
};

enum class SplitDirection { None, Vertical, Horizontal };

// The "1UP Conversion Mode" dialog: the split direction ("Convert 2up A/B pdf to 1up pdf (split
// on vertical line)" / "... horizontal line)"), "Split position offset:" and "Re-order based on
// outer-in source".
struct ConversionModeDialog {
    SplitDirection direction = SplitDirection::Vertical;
    int offsetSplit = 0;
    int reorder1 = 0;

    // Takes OFFSETSPLIT, REORDER1 and the direction of PROCESSINGTYPE; vertical when the layout
    // names neither split.
    static ConversionModeDialog Open(const JobSetup& setup);
};

enum class DialogButton { SaveExit, Cancel };

enum class DialogRequest { None, DuplexMode, ConversionMode };

struct InterlockResult {
    JobSetup setup;       // the record after the action (up to the dialog, if one opens)
    std::string message;  // a message box to show; empty for none
    DialogRequest dialog = DialogRequest::None;
    DuplexModeDialog duplexMode;          // starting state when dialog == DuplexMode
    ConversionModeDialog conversionMode;  // starting state when dialog == ConversionMode
};

// The text shown when "Automatic" is switched off under the outer-in order.
inline constexpr std::string_view kAutomaticNotRecommended =
    "This is not recommended as padding blank pages at the end are required to make it even "
    "number of pages, this may cause a pdf error.";

// A click on one of the main window's options.
InterlockResult ApplyOption(const JobSetup& setup, OptionAction action);

// A new choice in the "nUP positions:" list: PROCESSINGTYPE becomes `layoutName`; a "1up..."
// name asks for the "1UP Conversion Mode" dialog; "2up..." while "A/B 4up (Duplex)" is chosen
// returns to "A/B".
InterlockResult ChooseLayout(const JobSetup& setup, std::string_view layoutName);

// Finishes "A/B 2up (Duplex)" when its dialog closes: "&Save/Exit" takes the dialog's order,
// "Cancel" keeps the former; either way the layout becomes "2up", the other types of processing
// are un-chosen, and the outer-in order switches "Automatic" on (with no fixed blank pages).
JobSetup CloseDuplexMode(const JobSetup& setup, const DuplexModeDialog& dialog,
                         DialogButton button);

// Finishes the "1UP Conversion Mode" dialog: "&Save/Exit" takes the offset and the re-order
// check back and, for a direction, sets the matching "1up Split on ..." layout; "Cancel"
// changes nothing.
JobSetup CloseConversionMode(const JobSetup& setup, const ConversionModeDialog& dialog,
                             DialogButton button);

// Which of the sheet settings that belong to some layouts apply to the layout of `setup` (the
// others apply to every layout). The window disables those that do not and the engine gets
// their defaults; the record keeps what was set, for when they apply again.
struct SheetOptionsApplying {
    bool signature = false;  // the booklet: 2-up in the outer-in duplex order, no duplicates
    bool creep = false;      // the booklet
    bool foldMarks = false;  // sheets folded between their cells: 2-up, and the folded 4-up order
    bool cardSettings = false;  // bleed and backs behind fronts: with Cards (step-and-repeat)
    bool fillOrder = false;     // fill order and from the bottom: with a grid given
    // Flip and back shift: a duplex order, folded signatures, or cards with backs.
    bool backSides = false;
    // Poster tiles (a tile grid or a poster size) take only the page range, the paper and the
    // outer margin besides their own settings: with them, the layout, the other sheet settings,
    // cards, grids, doubled pages and the press sheet do not apply.
    bool posterTiles = false;
    bool layout = true;            // everything poster tiles leave out
    bool posterSize = false;       // the poster size: tiles given in columns x rows take its place
    bool overlap = false;          // with poster tiles
    bool bindingAndCover = false;  // with folded signatures
};
SheetOptionsApplying ApplyingSheetOptions(const JobSetup& setup);

// Why the test sheet for the back shift cannot be written for `setup`, or empty when it can: it
// takes its size from the input's first sheet, and only a layout that prints back sides has a
// back shift to find.
std::string CalibrationUnavailable(const JobSetup& setup);

// Whether poster tiles take the setting of `key`: the files, the page range, blank pages,
// cleaning, page rotation, the paper, the outer margin and the tiles' own settings.
bool PosterTilesTake(std::string_view key);

}  // namespace desktop
