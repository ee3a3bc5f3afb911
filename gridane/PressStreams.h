// Writes the press items of a sheet side (PressItems.h) into the output: the slug's font once
// per run, the fixed marks once for the sides that carry the same, and each side's slug line.
#pragma once

#include <string>
#include <string_view>

#include "gridane/ImpositionJob.h"

namespace gridane {

// Notes the names the slug's fields give for this run: the input's and the output's file
// names, and the day. Called before a pre-pass replaces the input by a temporary file.
void NotePressNames(ImpositionJob& job);

// "n 0 R" of the slug's font, written at the first side that needs it; empty when `side` has
// no slug.
std::string SlugFontReference(ImpositionJob& job, const PlannedSide& side);

// Writes the side's press streams and returns their references for its contents array
// (" n 0 R" each), empty when it has no press items. `fontName` is the slug font's resource
// name on the side.
std::string WritePressStreams(ImpositionJob& job, const PlannedSide& side,
                              std::string_view fontName);

}  // namespace gridane
