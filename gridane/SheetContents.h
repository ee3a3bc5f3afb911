// The drawing of a sheet side: for every cell its two small streams (written here, at the
// current output position) around the cell page's own content streams.
#pragma once

#include <string>

#include "gridane/ImpositionJob.h"
#include "pdf/CPdfObject.h"

namespace gridane {

// Writes the small streams of every cell of `side` and returns the contents array text for
// the side's page.
std::string BuildSheetContents(ImpositionJob& job, const PlannedSide& side);

// " n g R " for each content stream of the page shown in the current side's cell `cell`; when
// `mayRename` and the sheet's rename map is not empty, each readable stream is rewritten with
// the cell's new names.
std::string ListPageContents(ImpositionJob& job, const PageRecord& page, int cell, bool mayRename);

// `Lookup` of "Contents" on a page dictionary, where a stream whose filter the reader does not
// support counts as null: such a page is still drawn by reference, never decoded.
CPdfObject LookupContents(CPdfDict& page);

}  // namespace gridane
