#include "gridane/SequenceSource.h"

#include "gridane/merge/SequenceFile.h"

namespace gridane {

SheetList ReadSequenceFile(ImpositionJob& job) {
    SequenceRange range;
    range.firstPage = job.settings.firstPage;
    range.lastPage = job.settings.lastPage;
    range.pageCount = static_cast<int32_t>(job.pages.size());
    range.fourCells = job.settings.up4;
    SheetList sheets;
    for (const SequenceCells& cells :
         ReadSequenceFile(job.settings.sequenceFile, range, job.files)) {
        SheetRecord sheet;
        for (size_t k = 0; k < cells.size(); ++k) sheet.slots[k] = cells[k];
        sheets.push_back(sheet);
    }
    return sheets;
}

}  // namespace gridane
