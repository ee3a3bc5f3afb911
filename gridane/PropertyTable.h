// The engine's side of its contract: for every property of GridaneMembers.h, how a put changes
// `JobSettings`. The table is expanded from that list (see com/SettingPuts.h), so the setting a
// property fills is named there and nowhere else; names, DISPIDs, defaults and meanings are
// the contract's (com::GridaneContract()).
#pragma once

#include <span>
#include <string_view>

#include "com/SettingPuts.h"
#include "gridane/JobSettings.h"

namespace gridane {

using SettingPut = com::SettingPut<JobSettings>;

// Every property's put, in the interface's declaration order.
std::span<const SettingPut> GridaneSettingPuts();

// The longest text a text property or a file name may have (the settings were held in
// buffers of 255 characters).
inline constexpr size_t kMaxTextLength = 254;

}  // namespace gridane
