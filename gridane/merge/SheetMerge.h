// The merge steps of one imposition run, sheet side by sheet side: the resources of every cell
// page are merged into the sheet's page (with clashing names renamed), the cells' annotations
// are placed where their pages are drawn and listed on the sheet, and the content streams of
// cells with renamed resources are rewritten with the new names.
//
// One object lives for a run and keeps what must hold across sheet sides: the renaming
// counter, the content streams already rewritten (by renames) and the annotations already
// placed. It borrows the run's MergeContext, which must outlive it.
#pragma once

#include <array>
#include <map>
#include <optional>
#include <random>
#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "gridane/merge/AnnotPlacement.h"
#include "gridane/merge/DestinationText.h"
#include "gridane/merge/MergeContext.h"
#include "gridane/merge/RenameMap.h"
#include "gridane/merge/ResourceText.h"

namespace gridane {

// Resource categories in the order they are merged.
inline constexpr std::array<std::string_view, 6> kResourceCategories{
    "XObject", "Font", "ExtGState", "ColorSpace", "Pattern", "Shading"};

// One cell of a sheet side.
struct MergeCell {
    int pageObjectNumber = 0;  // 0 for a blank cell
    PagePlacement placement;   // where the page is drawn on the sheet
    // The part of the page the cell shows, x1, y1, x2, y2 in the page's coordinates, when it
    // shows only a part (a poster tile): annotations beyond it stay off the sheet, the others
    // are cut to it.
    std::optional<std::array<double, 4>> shownPart;
};

class SheetMerge {
  public:
    explicit SheetMerge(MergeContext& context);

    // Starts a sheet side: empties the rename map. `cells` holds every cell of the side in
    // slot order (blank ones too); `baseCell` is the cell whose page becomes the sheet's page.
    void BeginSheet(std::vector<MergeCell> cells, int baseCell);

    // Merges the six categories of every cell into the base page text's resources: the
    // merges first, then the insertions. The edited resources reach the page text (and, for a
    // Resources object of its own, a new object) in WriteEditedObjects.
    void MergeResources(const std::string& basePageText);
    // The same, with one more font for the sheet's own text (`fontValue`, "n 0 R") listed under
    // a name no cell uses; SheetFontName() then gives that name.
    void MergeResources(const std::string& basePageText, std::string_view fontValue);
    const std::string& SheetFontName() const { return m_sheetFontName; }
    // The merged entry list of one category over all cells ("/Name value " per entry).
    std::string MergeResourceCategory(std::string_view category);
    void InsertMergedEntries(std::string_view category, const std::string& mergedList);
    void WriteEditedObjects(std::string& basePageText);

    // Places every cell's annotations and lists them in the base page text's /Annots.
    // `sheetObjectNumber` is the number the sheet's page is written under.
    void CarrySheetAnnotations(std::string& basePageText, int sheetObjectNumber);

    // Whether cell `cell`'s content may need the new names (every cell but the base cell's).
    bool MayRename(int cell) const { return cell != m_baseCell; }
    // Whether content streams of this sheet side's renamed cells are listed as other objects
    // (rewritten copies, or the drawing of a form for a stream that cannot be decoded).
    bool RewritesContents() const { return !m_renames.Empty() || !m_formNames.empty(); }
    // The number to list for content stream `objectNumber` of the page in cell `cell`, a cell
    // that may be renamed: the stream itself when the cell has no renames on this sheet side, else
    // a rewritten copy under a new number (one per stream and set of renames in the run), or, for a
    // stream that cannot be decoded, a new stream that draws it through a form with its page's own
    // resources.
    int RewriteContentStream(int cell, int objectNumber, int generation);

    const RenameMap& Renames() const { return m_renames; }

    // Where each input page can be found in the output (page object number -> the page object
    // that shows it and the page's place there). Annotations placed afterwards point their
    // page references (link destinations, their page) at those objects, and their explicit
    // destinations at the page's place, so that links to pages that are drawn only inside
    // another sheet still lead to them.
    void SetPageTargets(std::map<int, DestinationTarget> pageTargets) {
        m_pageTargets = std::move(pageTargets);
    }

    // Annotations of a page written as it stands (a kept page) keep their place: placing them
    // on a sheet makes copies.
    void NoteKeptPage(int pageObjectNumber);

  private:
    // Names listed so far in one category's merged list, with their values.
    using CategoryListing = std::map<std::string, std::string>;

    std::string CollectCellEntries(int cell, std::string_view category, bool renamable,
                                   CategoryListing& listing);
    // `valueText` of a Pattern entry for a page drawn with `placement`: a copy of the pattern
    // (written once per pattern and placement) whose matrix also carries the placement.
    // Renames are kept per page, so that every cell showing a page draws it with the same
    // names; a page with patterns shown in cells placed differently needs other patterns, and
    // so other names, in each: those cells get an owner of their own (a negative number).
    void AssignRenameOwners();
    int RenameOwner(int cell) const { return m_renameOwners[static_cast<size_t>(cell)]; }
    std::string PlacedPatternValue(const std::string& valueText, const PagePlacement& placement);
    std::string NewName(char letter, const CategoryListing& listing);
    // The names of a merged entry list ("/Name value ...").
    static CategoryListing ListedNames(const std::string& mergedList);

    // Rewrites now the content streams of the cells whose pages got new names; a stream that
    // cannot be decoded gets a form, listed in `xobjectList` under a fresh name.
    void PrepareCellContents(std::string& xobjectList);
    // The content streams (number, generation) that page `pageObjectNumber` lists.
    std::vector<std::pair<int, int>> ContentStreamRefs(int pageObjectNumber);
    // The copy of a stream with `renames` applied (written once per stream and renames);
    // nullopt when the stream cannot be decoded.
    std::optional<int> RenamedCopy(int objectNumber, int generation,
                                   const CategoryRenames& renames);
    // A form XObject over stream `objectNumber`'s data with page `pageObjectNumber`'s
    // resources (written once per pair, with a warning); 0 when the stream has no text.
    int FormOf(int pageObjectNumber, int objectNumber);
    const std::string& CellResources(int pageObjectNumber);
    void LoadEditBuffers(const std::string& basePageText);
    std::string ShiftPageAnnotations(const MergeCell& cell, int sheetObjectNumber);
    std::string PlaceAnnotation(int number, int generation, const MergeCell& cell,
                                int sheetObjectNumber);
    void WriteSheetAnnots(std::string& basePageText, const std::string& list);

    MergeContext& m_context;
    std::vector<MergeCell> m_cells;
    int m_baseCell = 0;
    RenameMap m_renames;
    std::vector<int> m_renameOwners;  // per cell: its page, or its own owner (see above)
    int m_renameCounter = 0;
    unsigned m_stampMilliseconds = 0;
    // The numbers of new resource names. The run's own generator, so that nothing else in the
    // process (another run, a library) draws from it or reseeds it.
    std::minstd_rand m_nameNumbers;
    std::map<int, std::string> m_resourcesByPage;  // this sheet side's cell resources
    ResourcesByNode m_resourcesByNode;             // what each tree node passes on, run-wide

    // Edit buffers of the sheet side: the base page's Resources dictionary text and where it
    // stands.
    enum class ResourcesForm { InPage, OwnObject, Absent };
    ResourcesForm m_resourcesForm = ResourcesForm::Absent;
    std::string m_resourcesText;
    bool m_resourcesEdited = false;
    std::array<std::string, kResourceCategories.size()> m_mergedLists;

    std::map<std::pair<int, std::string>, int> m_rewrittenStreams;  // (stream, renames) -> copy
    std::map<std::string, int> m_placedPatterns;             // "pattern matrix" -> its placed copy
    std::map<std::pair<int, int>, int> m_forms;              // (page, stream) -> form
    std::map<std::pair<int, int>, std::string> m_formNames;  // this side's form names
    std::string m_sheetFontName;               // the name of the sheet's own font on this side
    std::map<int, std::string> m_undecodable;  // stream -> why
    std::set<int> m_placedAnnotations;
    std::map<int, DestinationTarget> m_pageTargets;
};

}  // namespace gridane
