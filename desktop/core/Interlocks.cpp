#include "desktop/core/Interlocks.h"

#include <algorithm>

namespace desktop {
namespace {

void ChooseAB(JobSetup& setup) {
    setup.typeAB = kChosen;
    setup.typeSplit = kNotChosen;
    setup.typeAB4 = kNotChosen;
    setup.duplex2Up = kNotChosen;
}

void ChooseRotation(JobSetup& setup, int JobSetup::*chosen) {
    for (int JobSetup::*flag : {&JobSetup::rotateNone, &JobSetup::rotateOdd, &JobSetup::rotateEven,
                                &JobSetup::rotateAll}) {
        setup.*flag = flag == chosen ? kChosen : kNotChosen;
    }
}

SplitDirection DirectionOf(std::string_view layout) {
    if (layout == kLayoutSplitVertical) return SplitDirection::Vertical;
    if (layout == kLayoutSplitHorizontal) return SplitDirection::Horizontal;
    return SplitDirection::None;
}

}  // namespace

DuplexModeDialog DuplexModeDialog::Open(const JobSetup& setup) {
    DuplexModeDialog dialog;
    if (std::optional<DuplexOrder> order = setup.ChosenOrder()) dialog.chosen = *order;
    return dialog;
}

ConversionModeDialog ConversionModeDialog::Open(const JobSetup& setup) {
    ConversionModeDialog dialog;
    dialog.direction = DirectionOf(setup.processingType);
    if (dialog.direction == SplitDirection::None) dialog.direction = SplitDirection::Vertical;
    dialog.offsetSplit = setup.offsetSplit;
    dialog.reorder1 = setup.reorder1;
    return dialog;
}

InterlockResult ApplyOption(const JobSetup& before, OptionAction action) {
    InterlockResult result;
    result.setup = before;
    JobSetup& setup = result.setup;
    switch (action) {
        case OptionAction::Across:
            setup.typeAcross = kChosen;
            setup.typeDown = kNotChosen;
            break;
        case OptionAction::Down:
            setup.typeDown = kChosen;
            setup.typeAcross = kNotChosen;
            break;
        case OptionAction::AB:
            ChooseAB(setup);
            break;
        case OptionAction::Split:
            setup.typeSplit = kChosen;
            setup.typeAB = kNotChosen;
            setup.typeAB4 = kNotChosen;
            setup.duplex2Up = kNotChosen;
            break;
        case OptionAction::AB4Duplex:
            setup.typeAB4 = kChosen;
            setup.typeSplit = kNotChosen;
            setup.typeAB = kNotChosen;
            setup.duplex2Up = kNotChosen;
            setup.processingType = "4up";
            break;
        case OptionAction::AB2Duplex:
            setup.duplex2Up = kChosen;
            result.dialog = DialogRequest::DuplexMode;
            result.duplexMode = DuplexModeDialog::Open(setup);
            break;
        case OptionAction::Automatic:
            if (setup.IsOrderChosen(DuplexOrder::Order8127) && setup.automaticAddBlanks == 0) {
                result.message = kAutomaticNotRecommended;
            }
            setup.noPagesBlank = 0;
            break;
        case OptionAction::RotateNone:
            ChooseRotation(setup, &JobSetup::rotateNone);
            break;
        case OptionAction::RotateOdd:
            ChooseRotation(setup, &JobSetup::rotateOdd);
            break;
        case OptionAction::RotateEven:
            ChooseRotation(setup, &JobSetup::rotateEven);
            break;
        case OptionAction::RotateAll:
            ChooseRotation(setup, &JobSetup::rotateAll);
            break;
        case OptionAction::Duplicate:
        case OptionAction::DupRotateLeft:
        case OptionAction::DupRotateRight:
        case OptionAction::SheetSetting:
            break;
    }
    return result;
}

InterlockResult ChooseLayout(const JobSetup& before, std::string_view layoutName) {
    InterlockResult result;
    result.setup = before;
    JobSetup& setup = result.setup;
    setup.processingType = std::string(layoutName);
    if (layoutName.starts_with("1up")) {
        ChooseAB(setup);
        result.dialog = DialogRequest::ConversionMode;
        result.conversionMode = ConversionModeDialog::Open(setup);
    } else if (layoutName.starts_with("2up") && IsChosen(setup.typeAB4)) {
        ChooseAB(setup);
    }
    return result;
}

JobSetup CloseDuplexMode(const JobSetup& before, const DuplexModeDialog& dialog,
                         DialogButton button) {
    JobSetup setup = before;
    setup.duplex2Up = kChosen;
    if (button == DialogButton::SaveExit) setup.ChooseOrder(dialog.chosen);
    setup.processingType = std::string(kDefaultLayout);
    setup.typeSplit = kNotChosen;
    setup.typeAB = kNotChosen;
    setup.typeAB4 = kNotChosen;
    if (setup.IsOrderChosen(DuplexOrder::Order8127) && setup.automaticAddBlanks == 0) {
        setup.automaticAddBlanks = 1;
        setup.noPagesBlank = 0;
    }
    return setup;
}

JobSetup CloseConversionMode(const JobSetup& before, const ConversionModeDialog& dialog,
                             DialogButton button) {
    JobSetup setup = before;
    if (button == DialogButton::Cancel) return setup;
    setup.offsetSplit = dialog.offsetSplit;
    setup.reorder1 = dialog.reorder1;
    if (dialog.direction == SplitDirection::Vertical) {
        setup.processingType = std::string(kLayoutSplitVertical);
    } else if (dialog.direction == SplitDirection::Horizontal) {
        setup.processingType = std::string(kLayoutSplitHorizontal);
    }
    return setup;
}

bool PosterTilesTake(std::string_view key) {
    static constexpr std::string_view kTaken[] = {
        "INFILE",        "OUTFILE",      "STARTPAGE",
        "ENDPAGE",       "NOPAGESBLANK", "AUTOMATICADDBLANKS",
        "DONTCLEANFILE", "PREPRESS",     "ROTATENONE",
        "ROTATEODD",     "ROTATEEVEN",   "ROTATEALL",
        "OUTFOLDER",     "SHEET",        "OUTERMARGIN",
        "TILE",          "POSTER",       "OVERLAP"};
    return std::find(std::begin(kTaken), std::end(kTaken), key) != std::end(kTaken);
}

SheetOptionsApplying ApplyingSheetOptions(const JobSetup& setup) {
    // A booklet is the 2-up layout in the outer-in order, folded from single pages: not from
    // each page twice.
    bool twoUp = setup.processingType == kDefaultLayout;
    bool booklet = twoUp && IsChosen(setup.duplex2Up) &&
                   setup.IsOrderChosen(DuplexOrder::Order8127) && setup.duplicate == 0;
    SheetOptionsApplying applying;
    applying.posterTiles = !setup.tile.empty() || !setup.poster.empty();
    applying.layout = !applying.posterTiles;
    applying.posterSize = setup.tile.empty();
    applying.overlap = applying.posterTiles;
    if (applying.posterTiles) return applying;
    applying.bindingAndCover = setup.fold != 0;
    applying.signature = booklet;
    applying.creep = booklet;
    applying.foldMarks = twoUp || IsChosen(setup.typeAB4) || setup.fold != 0;
    applying.cardSettings = setup.repeat != 0;
    applying.fillOrder = !setup.grid.empty();
    applying.backSides = IsChosen(setup.duplex2Up) || setup.fold != 0 ||
                         (setup.repeat != 0 && setup.duplexBacks != 0);
    return applying;
}

std::string CalibrationUnavailable(const JobSetup& setup) {
    if (setup.inFile.empty()) {
        return "Needs an input file: the test sheet has the size of the job's first sheet.";
    }
    if (!ApplyingSheetOptions(setup).backSides) {
        return "The layout prints no back sides: the test sheet is for A/B 2up (Duplex), folded "
               "signatures or Cards with backs behind fronts.";
    }
    return {};
}

}  // namespace desktop
