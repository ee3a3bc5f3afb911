#include "desktop/core/EngineSettings.h"

#include <utility>

#include "desktop/core/Interlocks.h"
#include "desktop/core/SheetSettings.h"
#include "platform/RunAndWait.h"

namespace desktop {
namespace {

class PutList {
  public:
    void Flag(std::string_view name, bool on) { Number(name, on ? 1 : 0); }
    void Number(std::string_view name, int32_t value) {
        m_puts.push_back({std::string(name), value});
    }
    void Text(std::string_view name, const std::string& value) {
        m_puts.push_back({std::string(name), value});
    }
    std::vector<PropertyPut> Take() { return std::move(m_puts); }

  private:
    std::vector<PropertyPut> m_puts;
};

void PutResetList(PutList& puts) {
    for (std::string_view flag :
         {"duplicate", "rotateRight", "rotateLeft", "up3",   "up3down", "up4",   "up3x2",
          "up2x3",     "up4x2",       "up2x4",      "up5x2", "up2x5",   "up6x2", "up2x6",
          "up3x4",     "up4x3",       "ab",         "ab3",   "ab4",     "ab6",   "ab8",
          "ab10",      "ab12",        "split",      "down"}) {
        puts.Flag(flag, false);
    }
    puts.Number("s", 1);
    puts.Number("e", 99999);
    for (std::string_view flag : {"up2to1", "up2to1h", "duplex", "duplex1423", "duplex4123"}) {
        puts.Flag(flag, false);
    }
    puts.Number("rightmargin", 0);
    puts.Number("bottommargin", 0);
    puts.Number("offset_split", 0);
    puts.Flag("outer_in", false);
}

void PutDuplexOrder(const JobSetup& setup, PutList& puts) {
    puts.Flag("ab", true);
    if (setup.IsOrderChosen(DuplexOrder::Order1423)) {
        puts.Flag("duplex1423", true);
    } else if (setup.IsOrderChosen(DuplexOrder::Order4123)) {
        puts.Flag("duplex4123", true);
    } else if (setup.IsOrderChosen(DuplexOrder::Order8127)) {
        puts.Flag("outer_in", true);
    } else {
        puts.Flag("duplex", true);
    }
}

// The many-up layout names and the flag each puts.
constexpr std::pair<std::string_view, std::string_view> kGridLayouts[] = {
    {"6up 2x3", "up2x3"},  {"6up 3x2", "up3x2"},  {"8up 4x2", "up4x2"},  {"8up 2x4", "up2x4"},
    {"10up 2x5", "up2x5"}, {"10up 5x2", "up5x2"}, {"12up 2x6", "up2x6"}, {"12up 6x2", "up6x2"},
    {"12up 4x3", "up4x3"}, {"12up 3x4", "up3x4"},
};

void PutThreeUp(const JobSetup& setup, PutList& puts) {
    if (setup.processingType != "3up") {
        puts.Flag("up3", false);
        return;
    }
    puts.Flag("ab", true);
    puts.Flag("ab3", true);
    puts.Flag("up3", true);
    bool down = IsChosen(setup.typeDown);
    puts.Flag("down", down);
    puts.Flag("up3", !down);
    puts.Flag("up3down", down);
}

void PutSplit(const JobSetup& setup, PutList& puts) {
    if (!IsChosen(setup.typeSplit)) {
        puts.Flag("split", false);
        return;
    }
    puts.Flag("split", true);
    for (std::string_view flag : {"ab", "ab3", "ab4", "ab6", "ab8", "ab10", "ab12"}) {
        puts.Flag(flag, false);
    }
}

// The sheet settings, each put every time so that no value stays from an earlier job; a
// setting that does not apply to the layout gets its default.
void PutSheetSettings(const JobSetup& setup, PutList& puts) {
    SheetOptionsApplying applying = ApplyingSheetOptions(setup);
    puts.Text("sheet", SheetPutText(setup.sheet));
    puts.Flag("fit", setup.fitToSheet != 0);
    puts.Number("outer_margin", setup.outerMargin);
    puts.Number("gutter", setup.gutter);
    puts.Number("signature", applying.signature ? setup.signature : 0);
    puts.Flag("rtl", setup.rightToLeft != 0);
    bool creep = applying.creep && !setup.creep.empty();
    puts.Text("creep", creep ? setup.creep : std::string("0"));
    puts.Flag("cropmarks", setup.cropMarks != 0);
    puts.Flag("foldmarks", applying.foldMarks && setup.foldMarks != 0);
}

// The settings of cards and free grids, each put every time like the sheet settings; one that
// does not apply to the layout gets its default.
void PutCardSettings(const JobSetup& setup, PutList& puts) {
    SheetOptionsApplying applying = ApplyingSheetOptions(setup);
    auto textIf = [](bool applies, const std::string& text, const char* fallback) {
        return applies && !text.empty() ? text : std::string(fallback);
    };
    puts.Text("grid", setup.grid);
    puts.Text("order", textIf(applying.fillOrder, setup.fillOrder, ""));
    puts.Text("from", applying.fillOrder && setup.fromBottom != 0 ? "bottom" : "");
    puts.Text("frame", textIf(true, setup.frame, "0"));
    puts.Flag("repeat", setup.repeat != 0);
    puts.Text("bleed", textIf(applying.cardSettings, setup.bleed, "0"));
    puts.Flag("duplex_backs", applying.cardSettings && setup.duplexBacks != 0);
    puts.Text("flip", textIf(applying.backSides, setup.flip, ""));
    puts.Text("back_shift", textIf(applying.backSides, setup.backShift, ""));
}

// Poster tiles, the press sheet, folded signatures and a template, each put every time; one
// that does not apply gets its default. The test sheet is off: only CalibrationPut asks for it.
void PutPressAndFolding(const JobSetup& setup, PutList& puts) {
    SheetOptionsApplying applying = ApplyingSheetOptions(setup);
    puts.Text("tile", setup.tile);
    puts.Text("poster", applying.posterSize ? setup.poster : std::string());
    puts.Text("overlap", applying.overlap && !setup.overlap.empty() ? setup.overlap : "0");
    puts.Text("slug", setup.slug);
    puts.Flag("regmarks", setup.regMarks != 0);
    puts.Flag("colorbar", setup.colorBar != 0);
    puts.Number("fold", setup.fold);
    puts.Text("binding", applying.bindingAndCover ? setup.binding : std::string());
    puts.Text("cover", applying.bindingAndCover ? setup.cover : std::string());
    puts.Text("template", setup.layoutTemplate);
    puts.Flag("calibration", false);
}

// What a job of poster tiles keeps of `setup`: the settings the tiles take; everything else is
// at its default, so that no layout setting left from other work reaches the engine.
JobSetup PosterJob(const JobSetup& setup) {
    JobSetup poster;
    for (const SetupKey& row : SetupKeys()) {
        if (!PosterTilesTake(row.key)) continue;
        if (row.text != nullptr) {
            poster.*row.text = setup.*row.text;
        } else {
            poster.*row.number = setup.*row.number;
        }
    }
    return poster;
}

}  // namespace

PropertyPut CalibrationPut() {
    return {"calibration", 1};
}

const JobSetup& ImposedJob(const JobSetup& setup, JobSetup& storage) {
    if (!ApplyingSheetOptions(setup).posterTiles) return setup;
    storage = PosterJob(setup);
    return storage;
}

std::vector<PropertyPut> GridanePuts(const JobSetup& job) {
    JobSetup storage;
    const JobSetup& setup = ImposedJob(job, storage);
    PutList puts;
    PutResetList(puts);
    puts.Flag("ab", IsChosen(setup.typeAB));
    if (setup.processingType == kLayoutSplitVertical) {
        puts.Flag("up2to1", true);
        puts.Number("offset_split", setup.offsetSplit);
    } else if (setup.processingType == kLayoutSplitHorizontal) {
        puts.Flag("up2to1h", true);
        puts.Number("offset_split", setup.offsetSplit);
    }
    if (IsChosen(setup.duplex2Up)) PutDuplexOrder(setup, puts);
    if (IsChosen(setup.typeAB4)) puts.Flag("ab4", true);
    for (const auto& [layout, flag] : kGridLayouts) {
        if (setup.processingType == layout) {
            puts.Flag(flag, true);
            puts.Flag("ab", true);
        }
    }
    puts.Number("s", setup.startPage);
    puts.Number("e", setup.endPage);
    puts.Flag("duplicate", setup.duplicate != 0);
    puts.Flag("up4", setup.processingType == "4up");
    puts.Flag("down", IsChosen(setup.typeDown));
    PutThreeUp(setup, puts);
    PutSplit(setup, puts);
    puts.Number("rightmargin", setup.rightMargin);
    puts.Number("bottommargin", setup.bottomMargin);
    puts.Text("cropbox", setup.cropBox);
    puts.Text("mediabox", setup.mediaBox);
    puts.Text("cropbox2", setup.cropBox2);
    puts.Text("mediabox2", setup.mediaBox2);
    PutSheetSettings(setup, puts);
    PutCardSettings(setup, puts);
    PutPressAndFolding(setup, puts);
    return puts.Take();
}

bool DoublingRequested(const JobSetup& setup) {
    return setup.duplicate != 0 && (setup.dupRotateLeft != 0 || setup.dupRotateRight != 0);
}

std::vector<PropertyPut> DoublingPuts(const JobSetup& setup) {
    PutList puts;
    puts.Flag("rotateLeft", setup.dupRotateLeft != 0);
    puts.Flag("rotateRight", setup.dupRotateRight != 0);
    return puts.Take();
}

std::vector<PropertyPut> AfterDoublingPuts() {
    PutList puts;
    puts.Flag("split", true);
    for (std::string_view flag : {"ab", "ab3", "ab4", "ab6", "duplicate"}) puts.Flag(flag, false);
    return puts.Take();
}

std::vector<std::string> EngineOptions(const std::vector<PropertyPut>& puts) {
    std::vector<std::string> options;
    for (const PropertyPut& put : puts) {
        std::string value = std::holds_alternative<int32_t>(put.value)
                                ? std::to_string(std::get<int32_t>(put.value))
                                : std::get<std::string>(put.value);
        options.push_back("--" + put.name + "=" + value);
    }
    options.emplace_back(platform::kEndOfOptions);
    return options;
}

std::vector<std::string> EngineOptions(const TurnelleSettings& settings) {
    std::vector<std::string> options;
    if (settings.type) options.push_back("--type=" + std::to_string(*settings.type));
    options.push_back("--rotateAngle=" + std::to_string(settings.rotateAngle));
    options.push_back("--force=" + std::to_string(settings.force));
    options.emplace_back(platform::kEndOfOptions);
    return options;
}

bool RotationRequested(const JobSetup& setup) {
    return !IsChosen(setup.rotateNone);
}

TurnelleSettings RotationSettings(const JobSetup& setup) {
    TurnelleSettings settings;
    if (IsChosen(setup.rotateOdd)) {
        settings.type = 3;
    } else if (IsChosen(setup.rotateEven)) {
        settings.type = 4;
    } else if (IsChosen(setup.rotateAll)) {
        settings.type = 2;
    }
    return settings;
}

TurnelleSettings DoublingRotationSettings(const JobSetup& setup) {
    TurnelleSettings settings;
    bool left = setup.dupRotateLeft != 0;
    bool right = setup.dupRotateRight != 0;
    if (left && right) {
        settings.type = 2;
    } else if (left) {
        settings.type = 5;
    } else if (right) {
        settings.type = 6;
    }
    return settings;
}

bool PaddingRequested(const JobSetup& setup) {
    return setup.noPagesBlank > 0 || setup.automaticAddBlanks != 0;
}

bool PaddingNeedsPageCount(const JobSetup& setup) {
    return setup.automaticAddBlanks != 0 && IsChosen(setup.duplex2Up);
}

int PaddingCount(const JobSetup& setup, int pageCount) {
    int count = setup.noPagesBlank;
    if (setup.automaticAddBlanks != 0) {
        if (IsChosen(setup.duplex2Up)) {
            if (pageCount < 0) return 0;  // the count failed: nothing is known to pad to
            count = 4 - pageCount % 4;
        }
        if (count == 4) count = 0;
    }
    return count;
}

std::string_view CleaningScript(const JobSetup& setup) {
    return setup.prepress != 0 ? OutsideProgram::kPrepressCleaning : OutsideProgram::kCleaning;
}

ProgramCall CleaningCall(std::string_view script, const std::string& source,
                         const std::string& target) {
    CallBuilder call;
    call.EndOfOptions();
    call.File("", source);
    call.File(" ", target);
    return call.Build(std::string(script));
}

}  // namespace desktop
