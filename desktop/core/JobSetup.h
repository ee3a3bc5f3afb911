// `JobSetup`: one job of the desktop program as plain data, and the one key table that the
// setup-file reader and writer, the windows and the tests share.
//
// Option buttons are held as selection flags: 0 (`kChosen`) when the button is chosen, -1
// (`kNotChosen`) when it is not. Each button is a group of its own; the interlocks
// (Interlocks.h) keep related buttons exclusive. Check boxes hold 0 (off) or 1 (on). Nothing is
// range-checked: a record holds whatever a setup file or a control gave it.
#pragma once

#include <array>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace desktop {

inline constexpr int kChosen = 0;
inline constexpr int kNotChosen = -1;
inline bool IsChosen(int selectionFlag) {
    return selectionFlag == kChosen;
}

// The four page orders of the 2-up duplex option, with their codes as setup files store them.
enum class DuplexOrder { Order1243, Order1423, Order4123, Order8127 };
inline constexpr std::array<DuplexOrder, 4> kDuplexOrders{
    DuplexOrder::Order1243, DuplexOrder::Order1423, DuplexOrder::Order4123, DuplexOrder::Order8127};
int OrderCode(DuplexOrder order);                    // 1243, 1423, 4123 or 8127
std::optional<DuplexOrder> OrderFromCode(int code);  // only those four codes
std::string_view OrderLabel(DuplexOrder order);      // "Output 2up 1,2 then 4,3", ...

// The layout names of the "nUP positions:" list, in list order.
std::span<const std::string_view> LayoutNames();
inline constexpr std::string_view kLayoutSplitVertical = "1up Split on Vertical";
inline constexpr std::string_view kLayoutSplitHorizontal = "1up Split on Horizontal";
inline constexpr std::string_view kDefaultLayout = "2up";

struct JobSetup {
    std::string inFile;     // INFILE
    std::string outFile;    // OUTFILE
    std::string cropBox;    // CROPBOX, "bottom, left, top, right" as typed; empty: engine default
    std::string mediaBox;   // MEDIABOX
    std::string cropBox2;   // CROPBOX2, every second sheet
    std::string mediaBox2;  // MEDIABOX2
    int startPage = 1;      // STARTPAGE
    int endPage = 99999;    // ENDPAGE; 99999 means up to the last page
    int noPagesBlank = 0;   // NOPAGESBLANK
    int bottomMargin = 0;   // BOTTOMMARGIN
    int rightMargin = 0;    // RIGHTMARGIN
    int duplicate = 0;      // DUPLICATE (check)
    int automaticAddBlanks = 0;                  // AUTOMATICADDBLANKS (check)
    int dontCleanFile = 0;                       // DONTCLEANFILE (check)
    int dupRotateLeft = 0;                       // DUPROTATELEFT (check)
    int dupRotateRight = 0;                      // DUPROTATERIGHT (check)
    std::string processingType{kDefaultLayout};  // PROCESSINGTYPE, a layout name
    int offsetSplit = 0;                         // OFFSETSPLIT
    int reorder1 = 0;                            // REORDER1 (check)
    int prepress = 0;                            // PREPRESS (check)
    int typeAcross = kChosen;                    // TYPEACROSS
    int typeDown = kNotChosen;                   // TYPEDOWN
    int typeAB = kChosen;                        // TYPEAB
    int typeSplit = kNotChosen;                  // TYPESPLIT
    int typeAB4 = kNotChosen;                    // TYPEAB4
    int rotateNone = kChosen;                    // ROTATENONE
    int rotateOdd = kNotChosen;                  // ROTATEODD
    int rotateEven = kNotChosen;                 // ROTATEEVEN
    int rotateAll = kNotChosen;                  // ROTATEALL
    int duplex2Up = kNotChosen;  // the "A/B 2up (Duplex)" button; with the order: 2UPDUPLEX
    // One selection flag per page order, indexed by DuplexOrder.
    std::array<int, 4> duplexOrderFlags{kNotChosen, kNotChosen, kNotChosen, kNotChosen};
    std::string outFolder;  // OUTFOLDER, the batch output folder (program-wide copy)

    // The sheet settings (SheetSettings.h). Setup files carry each only when it is not its
    // default, after the keys above.
    std::string sheet;    // SHEET: "" as large as the grid, a paper name or "W,H" in points,
                          // either with ":portrait" or ":landscape" to force the orientation
    int fitToSheet = 0;   // FITTOSHEET (check): pages are enlarged to fill their cells too
    int outerMargin = 0;  // OUTERMARGIN, points between the sheet's edge and its cells
    int gutter = 0;       // GUTTER, points between neighbouring cells
    int signature = 0;    // SIGNATURE, booklet sections of N sheets; 0: one section
    int rightToLeft = 0;  // RIGHTTOLEFT (check)
    std::string creep;    // CREEP, paper thickness in mm as typed; "" none
    int cropMarks = 0;    // CROPMARKS (check)
    int foldMarks = 0;    // FOLDMARKS (check)

    // Cards and free grids, written likewise only when not at their defaults.
    int repeat = 0;         // REPEAT (check): step-and-repeat, the grid fitted to the sheet
    std::string bleed;      // BLEED, points of each card shown beyond its trim; "" none
    int duplexBacks = 0;    // DUPLEXBACKS (check): pages alternate front and back of a card
    std::string flip;       // FLIP: "" or "long", or "short"
    std::string grid;       // GRID: "CxR", or "" for the layout's own grid
    std::string fillOrder;  // FILLORDER: "" or "rows", or "columns"
    int fromBottom = 0;     // FROMBOTTOM (check): the grid fills from its bottom row
    std::string frame;      // FRAME, points of the line round every page; "" none
    std::string backShift;  // BACKSHIFT: "X,Y" points every back side moves by; "" none

    // Poster tiles, the press sheet, folded signatures and a template, written likewise only
    // when not at their defaults.
    std::string tile;     // TILE: "CxR" sheets every page is enlarged over; "" none
    std::string poster;   // POSTER: the size pages are enlarged to, in the SHEET form; "" none
    std::string overlap;  // OVERLAP, points neighbouring tiles share; "" none
    std::string slug;     // SLUG: a line of text in every sheet's margin, with {file}, ...
    int regMarks = 0;     // REGMARKS (check)
    int colorBar = 0;     // COLORBAR (check)
    int fold = 0;         // FOLD: pages per folded signature, 4, 8, 16 or 32; 0 none
    std::string binding;  // BINDING: "" or "saddle", or "perfect"
    std::string cover;    // COVER: "" or "separate"
    std::string layoutTemplate;  // TEMPLATE: a layout template's JSON file; "" none

    bool operator==(const JobSetup&) const = default;

    int& OrderFlag(DuplexOrder order) { return duplexOrderFlags[static_cast<size_t>(order)]; }
    int OrderFlag(DuplexOrder order) const { return duplexOrderFlags[static_cast<size_t>(order)]; }
    bool IsOrderChosen(DuplexOrder order) const { return IsChosen(OrderFlag(order)); }
    // Chooses `order` and un-chooses the three others.
    void ChooseOrder(DuplexOrder order);
    // Un-chooses all four orders.
    void ClearOrders();
    // The chosen order, looked for in the sequence 8127, 4123, 1423, 1243 (the sequence the
    // setup-file writer uses); nullopt when none is chosen.
    std::optional<DuplexOrder> ChosenOrder() const;
};

// How a key's value is read and written.
enum class KeyKind {
    Text,             // taken as it is
    Integer,          // decimal, a sign accepted
    Check,            // an integer, 0 or 1
    SelectionFlag,    // an integer, 0 (chosen) or -1
    DuplexSelection,  // 2UPDUPLEX: the main flag and the page order in one integer
};

// One row of the key table. Exactly one of `text` and `number` is set; for 2UPDUPLEX `number`
// is the main flag and the page order travels beside it (see SetupFile.h).
struct SetupKey {
    int order;             // position in the setup file, from 0
    std::string_view key;  // "INFILE", compared whole and case-sensitively
    KeyKind kind;
    std::string_view defaultText;  // the default as the file writes it
    std::string_view label;        // the control's label
    std::string JobSetup::*text;   // Text keys
    int JobSetup::*number;         // every other kind
    // Keys added after the system's own: written only when the value is not the default. A
    // value read from a file is taken only when `Refusal` (where a key has one) finds nothing
    // wrong with it.
    bool writtenWhenChanged = false;
    std::string (*Refusal)(std::string_view value) = nullptr;
    // True for a value that means the default though written otherwise ("0.0" for no creep):
    // such a value is not written either.
    bool (*MeansDefault)(std::string_view value) = nullptr;
};

// Every key in setup-file order: INFILE first, 2UPDUPLEX 30th, OUTFOLDER 31st (the writer
// leaves it out unless the batch list window exists), then the sheet settings from SHEET to
// FOLDMARKS, those of cards and free grids from REPEAT to BACKSHIFT, then TILE to TEMPLATE,
// written only when not at their defaults.
std::span<const SetupKey> SetupKeys();

// The row of `key` (exact spelling), or nullptr.
const SetupKey* FindSetupKey(std::string_view key);

}  // namespace desktop
