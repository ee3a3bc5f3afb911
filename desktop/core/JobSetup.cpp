#include "desktop/core/JobSetup.h"

#include <algorithm>

#include "desktop/core/SheetSettings.h"

namespace desktop {
namespace {

constexpr std::array<std::string_view, 15> kLayoutNames{"1up Split on Vertical",
                                                        "1up Split on Horizontal",
                                                        "2up",
                                                        "3up",
                                                        "4up",
                                                        "6up 2x3",
                                                        "6up 3x2",
                                                        "8up 2x4",
                                                        "8up 4x2",
                                                        "10up 2x5",
                                                        "10up 5x2",
                                                        "12up 2x6",
                                                        "12up 6x2",
                                                        "12up 3x4",
                                                        "12up 4x3"};

using K = KeyKind;
using J = JobSetup;

const SetupKey kKeys[] = {
    {0, "INFILE", K::Text, "", "Input:", &J::inFile, nullptr},
    {1, "OUTFILE", K::Text, "", "Output:", &J::outFile, nullptr},
    {2, "CROPBOX", K::Text, "", "Crop box:", &J::cropBox, nullptr, false, BoxRefusal},
    {3, "MEDIABOX", K::Text, "", "Media box:", &J::mediaBox, nullptr, false, BoxRefusal},
    {4, "CROPBOX2", K::Text, "", "Crop box:", &J::cropBox2, nullptr, false, BoxRefusal},
    {5, "MEDIABOX2", K::Text, "", "Duplex Media box:", &J::mediaBox2, nullptr, false, BoxRefusal},
    {6, "STARTPAGE", K::Integer, "1", "Start at page no:", nullptr, &J::startPage},
    {7, "ENDPAGE", K::Integer, "99999", "End at page no:", nullptr, &J::endPage},
    {8, "NOPAGESBLANK", K::Integer, "0",
     "Add n blank pages onto the end of the source file before processing:", nullptr,
     &J::noPagesBlank},
    {9, "BOTTOMMARGIN", K::Integer, "0", "Bottom margin:", nullptr, &J::bottomMargin},
    {10, "RIGHTMARGIN", K::Integer, "0", "Right margin:", nullptr, &J::rightMargin},
    {11, "DUPLICATE", K::Check, "0", "Duplicate each page", nullptr, &J::duplicate},
    {12, "AUTOMATICADDBLANKS", K::Check, "0", "Automatic", nullptr, &J::automaticAddBlanks},
    {13, "DONTCLEANFILE", K::Check, "0", "Don't clean source file first", nullptr,
     &J::dontCleanFile},
    {14, "DUPROTATELEFT", K::Check, "0", "Rotate Left", nullptr, &J::dupRotateLeft},
    {15, "DUPROTATERIGHT", K::Check, "0", "Rotate Right", nullptr, &J::dupRotateRight},
    {16, "PROCESSINGTYPE", K::Text, "2up", "nUP positions:", &J::processingType, nullptr},
    {17, "OFFSETSPLIT", K::Integer, "0", "Split position offset:", nullptr, &J::offsetSplit},
    {18, "REORDER1", K::Check, "0", "Re-order based on outer-in source", nullptr, &J::reorder1},
    {19, "PREPRESS", K::Check, "0", "Pre-press option - retain fonts (default unchecked)", nullptr,
     &J::prepress},
    {20, "TYPEACROSS", K::SelectionFlag, "0", "Across the page", nullptr, &J::typeAcross},
    {21, "TYPEDOWN", K::SelectionFlag, "-1", "Down the page", nullptr, &J::typeDown},
    {22, "TYPEAB", K::SelectionFlag, "0", "A/B", nullptr, &J::typeAB},
    {23, "TYPESPLIT", K::SelectionFlag, "-1", "Split", nullptr, &J::typeSplit},
    {24, "TYPEAB4", K::SelectionFlag, "-1", "A/B 4up (Duplex)", nullptr, &J::typeAB4},
    {25, "ROTATENONE", K::SelectionFlag, "0", "None", nullptr, &J::rotateNone},
    {26, "ROTATEODD", K::SelectionFlag, "-1", "Odd", nullptr, &J::rotateOdd},
    {27, "ROTATEEVEN", K::SelectionFlag, "-1", "Even", nullptr, &J::rotateEven},
    {28, "ROTATEALL", K::SelectionFlag, "-1", "All", nullptr, &J::rotateAll},
    {29, "2UPDUPLEX", K::DuplexSelection, "-1", "A/B 2up (Duplex)", nullptr, &J::duplex2Up},
    {30, "OUTFOLDER", K::Text, "", "Output to folder:", &J::outFolder, nullptr},
    {31, "SHEET", K::Text, "", "Sheet:", &J::sheet, nullptr, true, SheetRefusal},
    {32, "FITTOSHEET", K::Check, "0", "Fit pages to sheet", nullptr, &J::fitToSheet, true,
     CheckRefusal},
    {33, "OUTERMARGIN", K::Integer, "0", "Outer margin:", nullptr, &J::outerMargin, true,
     MarginRefusal},
    {34, "GUTTER", K::Integer, "0", "Gutter:", nullptr, &J::gutter, true, MarginRefusal},
    {35, "SIGNATURE", K::Integer, "0", "Signature of N sheets:", nullptr, &J::signature, true,
     SignatureRefusal},
    {36, "RIGHTTOLEFT", K::Check, "0", "Right-to-left", nullptr, &J::rightToLeft, true,
     CheckRefusal},
    {37, "CREEP", K::Text, "", "Creep (mm):", &J::creep, nullptr, true, CreepRefusal, IsNoCreep},
    {38, "CROPMARKS", K::Check, "0", "Crop marks", nullptr, &J::cropMarks, true, CheckRefusal},
    {39, "FOLDMARKS", K::Check, "0", "Fold marks", nullptr, &J::foldMarks, true, CheckRefusal},
    {40, "REPEAT", K::Check, "0", "Cards", nullptr, &J::repeat, true, CheckRefusal},
    {41, "BLEED", K::Text, "", "Bleed:", &J::bleed, nullptr, true, BleedRefusal},
    {42, "DUPLEXBACKS", K::Check, "0", "Backs behind fronts", nullptr, &J::duplexBacks, true,
     CheckRefusal},
    {43, "FLIP", K::Text, "", "Flip on:", &J::flip, nullptr, true, FlipRefusal},
    {44, "GRID", K::Text, "", "Grid:", &J::grid, nullptr, true, GridRefusal},
    {45, "FILLORDER", K::Text, "", "Fill:", &J::fillOrder, nullptr, true, FillOrderRefusal},
    {46, "FROMBOTTOM", K::Check, "0", "From the bottom", nullptr, &J::fromBottom, true,
     CheckRefusal},
    {47, "FRAME", K::Text, "", "Frame:", &J::frame, nullptr, true, FrameRefusal},
    {48, "BACKSHIFT", K::Text, "", "Back shift:", &J::backShift, nullptr, true, BackShiftRefusal},
    {49, "TILE", K::Text, "", "Tiles:", &J::tile, nullptr, true, GridRefusal},
    {50, "POSTER", K::Text, "", "Poster size:", &J::poster, nullptr, true, SheetRefusal},
    {51, "OVERLAP", K::Text, "", "Overlap:", &J::overlap, nullptr, true, OverlapRefusal},
    {52, "SLUG", K::Text, "", "Slug:", &J::slug, nullptr, true, PlainTextRefusal},
    {53, "REGMARKS", K::Check, "0", "Registration marks", nullptr, &J::regMarks, true,
     CheckRefusal},
    {54, "COLORBAR", K::Check, "0", "Colour bar", nullptr, &J::colorBar, true, CheckRefusal},
    {55, "FOLD", K::Integer, "0", "Fold:", nullptr, &J::fold, true, FoldRefusal},
    {56, "BINDING", K::Text, "", "Binding:", &J::binding, nullptr, true, BindingRefusal},
    {57, "COVER", K::Text, "", "Cover:", &J::cover, nullptr, true, CoverRefusal},
    {58, "TEMPLATE", K::Text, "", "Template:", &J::layoutTemplate, nullptr, true, PlainTextRefusal},
};

}  // namespace

int OrderCode(DuplexOrder order) {
    switch (order) {
        case DuplexOrder::Order1243:
            return 1243;
        case DuplexOrder::Order1423:
            return 1423;
        case DuplexOrder::Order4123:
            return 4123;
        case DuplexOrder::Order8127:
            return 8127;
    }
    return 1243;
}

std::optional<DuplexOrder> OrderFromCode(int code) {
    for (DuplexOrder order : kDuplexOrders) {
        if (OrderCode(order) == code) return order;
    }
    return std::nullopt;
}

std::string_view OrderLabel(DuplexOrder order) {
    switch (order) {
        case DuplexOrder::Order1243:
            return "Output 2up 1,2 then 4,3";
        case DuplexOrder::Order1423:
            return "Output 2up 1,4 then 2,3";
        case DuplexOrder::Order4123:
            return "Output 2up 4,1 then 2,3";
        case DuplexOrder::Order8127:
            return "Output 2up Outer-In e.g. 8,1 2,7 6,3 4,5";
    }
    return {};
}

std::span<const std::string_view> LayoutNames() {
    return kLayoutNames;
}

void JobSetup::ChooseOrder(DuplexOrder order) {
    for (DuplexOrder each : kDuplexOrders) OrderFlag(each) = each == order ? kChosen : kNotChosen;
}

void JobSetup::ClearOrders() {
    duplexOrderFlags.fill(kNotChosen);
}

std::optional<DuplexOrder> JobSetup::ChosenOrder() const {
    for (DuplexOrder order : {DuplexOrder::Order8127, DuplexOrder::Order4123,
                              DuplexOrder::Order1423, DuplexOrder::Order1243}) {
        if (IsOrderChosen(order)) return order;
    }
    return std::nullopt;
}

std::span<const SetupKey> SetupKeys() {
    return kKeys;
}

const SetupKey* FindSetupKey(std::string_view key) {
    auto found = std::find_if(std::begin(kKeys), std::end(kKeys),
                              [key](const SetupKey& row) { return row.key == key; });
    return found == std::end(kKeys) ? nullptr : &*found;
}

}  // namespace desktop
