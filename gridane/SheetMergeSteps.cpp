// The merge steps of the sheet writer over the run's job: the job's reader and output serve
// the merge of gridane/merge (SheetMerge), which keeps its state for the whole run in the job.
#include "gridane/SheetMergeSteps.h"

#include <map>

#include "gridane/SheetContents.h"
#include "gridane/merge/SheetMerge.h"
#include "pdf/CPdfRawText.h"

namespace gridane {

namespace {

class JobMergeContext : public MergeContext {
  public:
    explicit JobMergeContext(ImpositionJob& job) : m_job(job) {}

    CPdfXRef& InputXRef() override { return m_job.document.GetXRef(); }

    std::string InputRawText(int objectNumber) override {
        if (objectNumber < 1 || objectNumber >= InputXRef().GetSize()) return std::string();
        return GetRawObjectText(InputXRef(), objectNumber).value_or(std::string());
    }

    int InputGeneration(int objectNumber) override {
        const auto& entries = InputXRef().GetEntries();
        if (objectNumber < 1 || static_cast<size_t>(objectNumber) >= entries.size()) return 0;
        const CPdfXRefEntry& entry = entries[static_cast<size_t>(objectNumber)];
        return entry.type == CPdfXRefEntry::kInUse ? entry.generation : 0;
    }

    void WriteObject(int objectNumber, int generation, std::string_view text) override {
        m_job.output.BeginObject(objectNumber, generation);
        m_job.output.Write(text);
    }

    int WriteNewObject(const std::function<std::string(int)>& makeText) override {
        int number = m_job.output.BeginNewObject();
        m_job.output.Write(makeText(number));
        return number;
    }

  private:
    ImpositionJob& m_job;
};

}  // namespace

struct SheetMergeState {
    explicit SheetMergeState(ImpositionJob& job) : context(job), merge(context) {}
    JobMergeContext context;
    SheetMerge merge;
};

namespace {

// Pages written as they stand keep their annotations where they are.
void NoteKeptPages(ImpositionJob& job, SheetMerge& merge) {
    const JobSettings& settings = job.settings;
    const int pageCount = static_cast<int>(job.pages.size());
    bool keepsTrailing = settings.lastPage != kToLastPage && !settings.up2to1 && !settings.up2to1h;
    for (int page = 1; page <= pageCount; ++page) {
        bool leading = page < settings.firstPage;
        bool trailing = keepsTrailing && page > settings.lastPage;
        if (leading || trailing)
            merge.NoteKeptPage(job.pages[static_cast<size_t>(page) - 1].objectNumber);
    }
}

// Each page is found on the first sheet that shows it (under its base page's number); kept
// pages stay themselves.
std::map<int, int> PageTargets(const ImpositionJob& job) {
    std::map<int, int> targets;
    auto objectOf = [&job](int32_t page) {
        bool valid = page >= 1 && static_cast<size_t>(page) <= job.pages.size();
        return valid ? job.pages[static_cast<size_t>(page) - 1].objectNumber : 0;
    };
    const int pageCount = static_cast<int>(job.pages.size());
    for (int page = 1; page <= pageCount; ++page) {
        if (page < job.settings.firstPage) targets.emplace(objectOf(page), objectOf(page));
    }
    for (const SheetRecord& sheet : job.sheets) {
        int sheetObject = objectOf(sheet.Cell(BaseCell(sheet)));
        if (sheetObject == 0) continue;
        for (int k = 0; k < kMaxCells; ++k) {
            if (int cell = objectOf(sheet.Cell(k))) targets.emplace(cell, sheetObject);
        }
    }
    return targets;
}

SheetMerge& MergeOf(ImpositionJob& job) {
    if (!job.mergeState) {
        job.mergeState = std::make_shared<SheetMergeState>(job);
        NoteKeptPages(job, job.mergeState->merge);
        job.mergeState->merge.SetPageTargets(PageTargets(job));
    }
    return job.mergeState->merge;
}

PagePlacement PlacementOnSheet(const CellPlacement& cell) {
    return cell.Turned() ? PagePlacement{cell.altX, cell.altY, true}
                         : PagePlacement{cell.x, cell.y, false};
}

}  // namespace

void MergeSheetResources(SheetEdit& edit) {
    ImpositionJob& job = edit.job;
    SheetMerge& merge = MergeOf(job);
    std::vector<CellPlacement> placements =
        PlaceSheetCells(job, edit.sheet, NormaliseRotation(edit.basePage.rotation));
    std::vector<MergeCell> cells(placements.size());
    for (size_t k = 0; k < placements.size(); ++k) {
        int32_t page = edit.sheet.Cell(static_cast<int>(k));
        if (page >= 1 && static_cast<size_t>(page) <= job.pages.size()) {
            cells[k].pageObjectNumber = job.pages[static_cast<size_t>(page) - 1].objectNumber;
        }
        cells[k].placement = PlacementOnSheet(placements[k]);
    }
    merge.BeginSheet(std::move(cells), edit.baseCell);
    merge.MergeResources(edit.pageText);
}

void CarrySheetAnnotations(SheetEdit& edit) {
    MergeOf(edit.job).CarrySheetAnnotations(edit.pageText, edit.basePage.objectNumber);
}

void WriteEditedObjects(SheetEdit& edit) {
    MergeOf(edit.job).WriteEditedObjects(edit.pageText);
}

bool SheetHasRenames(const ImpositionJob& job) {
    return job.mergeState && job.mergeState->merge.RewritesContents();
}

int RewriteContentStream(ImpositionJob& job, const PageRecord& page, int objectNumber,
                         int generation) {
    return MergeOf(job).RewriteContentStream(page.objectNumber, objectNumber, generation);
}

}  // namespace gridane
