#include "gridane/PropertyTable.h"

#include "gridane/interface/GridaneMembers.h"

namespace gridane {
namespace {

#define GRIDANE_SETTING_PUT(name, dispid, kind, defaultText, help, setting, meaning) \
    VELMORA_SETTING_PUT(JobSettings, name, kind, setting)

constexpr SettingPut kPuts[] = {GRIDANE_PROPERTIES(GRIDANE_SETTING_PUT)};

#undef GRIDANE_SETTING_PUT

}  // namespace

std::span<const SettingPut> GridaneSettingPuts() {
    return kPuts;
}

}  // namespace gridane
