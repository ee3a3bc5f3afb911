// The merge steps of the sheet writer over the run's job: the job's reader and output serve
// the merge of gridane/merge (SheetMerge), which keeps its state for the whole run in the job.
#include "gridane/SheetMergeSteps.h"

#include <array>
#include <map>

#include "gridane/PosterTiles.h"
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
        return m_job.activeContent.Filter(objectNumber, GetRawObjectText(InputXRef(), objectNumber))
            .value_or(std::string());
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
    for (const std::vector<int>* kept : {&job.plan.keptBefore, &job.plan.keptAfter}) {
        for (int page : *kept)
            merge.NoteKeptPage(job.pages[static_cast<size_t>(page) - 1].objectNumber);
    }
}

// Each page is found on the first sheet that shows it (under its base page's number), at its
// cell's place; kept pages in front stay themselves.
std::map<int, DestinationTarget> PageTargets(const ImpositionJob& job) {
    std::map<int, DestinationTarget> targets;
    auto pageOf = [&job](int page) -> const PageRecord* {
        bool valid = page >= 1 && static_cast<size_t>(page) <= job.pages.size();
        return valid ? &job.pages[static_cast<size_t>(page) - 1] : nullptr;
    };
    auto visible = [](const PageRecord& page) {
        Box box = page.VisibleBox();
        return std::array<double, 4>{box.x1, box.y1, box.x2, box.y2};
    };
    for (int page : job.plan.keptBefore) {
        if (const PageRecord* kept = pageOf(page)) {
            targets.emplace(
                kept->objectNumber,
                DestinationTarget{kept->objectNumber, kept->generation, {}, visible(*kept)});
        }
    }
    for (const PlannedSide& side : job.plan.sides) {
        const PageRecord* base = pageOf(side.basePage);
        if (base == nullptr) continue;
        for (const PlannedCell& cell : side.cells) {
            const PageRecord* shown = pageOf(cell.page);
            if (shown == nullptr) continue;
            PagePlacement placement = PlacementOf(cell);
            targets.emplace(shown->objectNumber,
                            DestinationTarget{base->objectNumber, base->generation, placement,
                                              visible(*shown)});
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

}  // namespace

PagePlacement PlacementOf(const PlannedCell& cell) {
    bool quarter = cell.quarterTurns % 2 == 1;
    return {cell.x, cell.y, cell.quarterTurns == 2, cell.scale, quarter ? cell.quarterTurns : 0};
}

void MergeSheetResources(SheetEdit& edit) {
    ImpositionJob& job = edit.job;
    SheetMerge& merge = MergeOf(job);
    std::vector<MergeCell> cells(edit.side.cells.size());
    for (size_t k = 0; k < cells.size(); ++k) {
        const PlannedCell& cell = edit.side.cells[k];
        if (cell.page >= 1 && static_cast<size_t>(cell.page) <= job.pages.size()) {
            cells[k].pageObjectNumber = job.pages[static_cast<size_t>(cell.page) - 1].objectNumber;
        }
        cells[k].placement = PlacementOf(cell);
        if (cell.showsPart && cell.clip) {
            cells[k].shownPart = {cell.clip->x1, cell.clip->y1, cell.clip->x2, cell.clip->y2};
        }
    }
    merge.BeginSheet(std::move(cells), edit.side.baseCell);
    merge.MergeResources(edit.pageText, edit.sheetFont);
    edit.sheetFontName = merge.SheetFontName();
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

int RewriteContentStream(ImpositionJob& job, int cell, int objectNumber, int generation) {
    return MergeOf(job).RewriteContentStream(cell, objectNumber, generation);
}

}  // namespace gridane
