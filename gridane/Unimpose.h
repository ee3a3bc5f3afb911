// Unimposing: a 2-up booklet (each sheet side two pages, paired from the outside in, in
// sections of `signature` sheets, mirrored with `rtl`) back into its pages in reading order.
// Each output page is one half of a sheet side, cut at the middle of its trimmed area; a sheet
// wider than tall (as shown) holds its pages side by side, a taller one one above the other.
// A pure builder of a sheet plan, written by the same sheet writer as every layout.
#pragma once

#include <string>
#include <vector>

#include "gridane/JobSettings.h"
#include "gridane/SheetPlan.h"

namespace gridane {

// Why the settings do not combine with `unimpose` (it takes the whole file and no layout);
// empty when they do or when it is off.
std::string CheckUnimposeSettings(const JobSettings& settings);

// The plan that shows the booklet's pages in reading order, one half sheet a page, with
// `problem` set when the sheets are not two equal halves of one size.
SheetPlan BuildUnimposePlan(const JobSettings& settings, const std::vector<PageGeometry>& sheets);

}  // namespace gridane
