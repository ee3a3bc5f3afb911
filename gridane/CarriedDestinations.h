// Bookmarks and destinations carried onto the sheets. The outline, the named destinations (the
// catalog's /Names /Dests tree and its /Dests dictionary) and the catalog's own entries (an
// /OpenAction) name pages by their objects; an imposed file shows most pages inside a sheet, so
// every explicit destination is pointed at the page object that shows its page, at the page's
// place there (merge/DestinationText.h). The objects that hold such destinations are held
// back from the copy pass and written once the page tree is, when the sheets' numbers are
// known. The outline's tree, titles, colours, flags and counts are kept byte for byte.
#pragma once

#include <unordered_map>
#include <vector>

#include "gridane/ImpositionJob.h"
#include "gridane/SheetWriter.h"
#include "gridane/merge/DestinationText.h"

namespace gridane {

// The input objects that may hold destinations to pages, by object number: the catalog, the
// outline's items with their actions and destination objects, the name tree of named
// destinations with its values, and the /Dests dictionary with its values. Every chain is
// followed once per object, so loops end. Pages and the page-tree root are never held.
std::vector<bool> FindDestinationHolders(ImpositionJob& job);

// Where each input page shows in the output, told while the page tree is written: the first
// placement of a page wins (a kept page in front, else the first sheet that shows it).
class DestinationTargets {
  public:
    void AddKeptPage(const PageRecord& page, WrittenPage written);
    void AddSide(const ImpositionJob& job, const PlannedSide& side, WrittenPage written);
    // nullptr when the page shows nowhere.
    const DestinationTarget* Of(int pageObjectNumber) const;

  private:
    std::unordered_map<int, DestinationTarget> m_targets;
};

// Writes the held-back objects with every destination to an input page pointed at its target;
// one to a page that shows nowhere is left without a destination (null).
void WriteCarriedDestinations(ImpositionJob& job, const DestinationTargets& targets);

}  // namespace gridane
