// The steps of a sheet side that make the other cells' resources and annotations reachable
// from the base page's object: resource merging with renaming, annotation carrying, writing
// the edited resource objects, and rewriting a cell's content stream with its new names.
//
// The sheet writer calls them in this order for every sheet side: MergeSheetResources,
// CarrySheetAnnotations, WriteEditedObjects; later, while the contents array is built,
// RewriteContentStream for each content stream of a cell that may be renamed, when the
// sheet has renames. A `SheetEdit` lives for one sheet side.
#pragma once

#include <array>
#include <string>

#include "gridane/ImpositionJob.h"
#include "gridane/merge/AnnotPlacement.h"

namespace gridane {

struct SheetEdit {
    ImpositionJob& job;
    const PlannedSide& side;
    const PageRecord& basePage;  // the page of the side's base cell
    std::string& pageText;       // the edit buffer of the base page's object text

    // Edit buffers of the objects the merge changes besides the page: empty until loaded.
    std::string resourcesText;
    int resourcesNumber = 0;
    std::array<std::string, 6>
        categoryTexts;  // XObject, Font, ExtGState, ColorSpace, Pattern, Shading
    std::array<int, 6> categoryNumbers{};

    // The font of the sheet's own text ("n 0 R"), empty for none, and the name the merge
    // lists it under.
    std::string sheetFont;
    std::string sheetFontName;
};

// Whether a cell's resource names may be changed on this sheet: every cell but the base one.
inline bool MayRenameCell(const PlannedSide& side, int cell) {
    return cell != side.baseCell;
}

// Where a cell's page is drawn, as the annotation and destination edits take it.
PagePlacement PlacementOf(const PlannedCell& cell);

void MergeSheetResources(SheetEdit& edit);
void CarrySheetAnnotations(SheetEdit& edit);
void WriteEditedObjects(SheetEdit& edit);
// Whether the current sheet side lists other streams for some cells' contents: renamed
// copies, or forms for streams that cannot be decoded.
bool SheetHasRenames(const ImpositionJob& job);
// The content stream to list for stream `objectNumber` of the page in the current side's cell
// `cell`: the stream itself, or a copy rewritten with the cell's new names (a new object
// number, 0 generation).
int RewriteContentStream(ImpositionJob& job, int cell, int objectNumber, int generation);

}  // namespace gridane
