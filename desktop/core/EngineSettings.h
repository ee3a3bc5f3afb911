// The settings that a job derives for the engines, as pure functions of the `JobSetup`: the
// imposition engine's property puts (a fixed reset list, then every derived value), the
// rotation module's settings, the number of blank pages to pad and the cleaning script.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "desktop/core/JobSetup.h"
#include "desktop/core/ProgramCall.h"

namespace desktop {

// One property put, by the name the engine's automation interface spells ("up2x3",
// "offset_split", "cropbox"). Flags are put as 0 or 1.
struct PropertyPut {
    std::string name;
    std::variant<int32_t, std::string> value;

    bool operator==(const PropertyPut&) const = default;
};

// The imposition engine's puts for a run, in order: the reset list (every flag the job may
// set, back to off, `s` 1 and `e` 99999, margins and split offset 0), then the values derived
// from `setup`, the sheet settings last. Later puts of a name override earlier ones; the whole list
// is meant to be put in order.
std::vector<PropertyPut> GridanePuts(const JobSetup& setup);

// The put that makes the imposition write the test sheet for the back shift (the size of the
// job's first sheet) instead of the imposed file. GridanePuts puts it off.
PropertyPut CalibrationPut();

// The job the plan's steps follow: `setup` itself, or for poster tiles `setup` with every
// setting the tiles do not take at its default (the result is then `storage`), so that no
// doubling, layout or reordering left from other work runs.
const JobSetup& ImposedJob(const JobSetup& setup, JobSetup& storage);

// The doubling pass runs when DUPLICATE is on with "Rotate Left" or "Rotate Right".
bool DoublingRequested(const JobSetup& setup);

// Puts before the doubling call: `rotateLeft` and `rotateRight` from the job.
std::vector<PropertyPut> DoublingPuts(const JobSetup& setup);

// Puts after the doubling call, for imposing the doubled file: `split` 1 and `ab`, `ab3`,
// `ab4`, `ab6`, `duplicate` 0.
std::vector<PropertyPut> AfterDoublingPuts();

// The command-line options that give a fresh `gridane` the puts `puts`, in order
// ("--up2x3=1", "--sheet=A4"), then the end-of-options marker: the names follow.
std::vector<std::string> EngineOptions(const std::vector<PropertyPut>& puts);

// The rotation module's settings for one call. `type` is put only when set (an unset type
// leaves the object's current value); `rotateAngle` and `force` are always put.
struct TurnelleSettings {
    std::optional<int32_t> type;
    int32_t rotateAngle = 180;
    int32_t force = 1;

    bool operator==(const TurnelleSettings&) const = default;
};

// The command-line options that give a fresh `turnelle` `settings`, then the end-of-options
// marker.
std::vector<std::string> EngineOptions(const TurnelleSettings& settings);

// Page rotation runs when "None" under "Rotate Pages:" is not chosen.
bool RotationRequested(const JobSetup& setup);

// Settings of the page rotation: type 3 (odd) for "Odd", else 4 (even) for "Even", else 2
// (all) for "All", else no type.
TurnelleSettings RotationSettings(const JobSetup& setup);

// Settings of the doubled file's rotation: type 2 (all) with both "Rotate Left" and "Rotate
// Right", 5 (first half) with "Rotate Left" only, 6 (second half) with "Rotate Right" only.
TurnelleSettings DoublingRotationSettings(const JobSetup& setup);

// Blank padding runs when NOPAGESBLANK > 0 or "Automatic" is on.
bool PaddingRequested(const JobSetup& setup);

// Whether PaddingCount needs the input's page count: "Automatic" with the 2-up duplex option.
bool PaddingNeedsPageCount(const JobSetup& setup);

// The most blank pages a job appends: an imposition takes pages up to 99999 (ENDPAGE's "all"),
// so more could never reach a sheet; a larger NOPAGESBLANK is refused, not padded.
inline constexpr int kMaxBlankPages = 99999;
inline constexpr char kTooManyBlanksMessage[] =
    "Cannot add %d blank pages: at most 99999 blank pages can be added";

// The number of blank pages to append (append only when it is at least 1). It starts as
// NOPAGESBLANK; with "Automatic" and the 2-up duplex option it is 4 - (pageCount % 4), and 0
// when the page count failed (negative); with "Automatic", 4 then becomes 0.
int PaddingCount(const JobSetup& setup, int pageCount);

// The cleaning script: "koblinp" with the pre-press option, else "koblin".
std::string_view CleaningScript(const JobSetup& setup);

// The cleaning call of `script` (a plan step's, CleaningScript): the two names, each in
// double quotes, one blank between.
ProgramCall CleaningCall(std::string_view script, const std::string& source,
                         const std::string& target);

}  // namespace desktop
