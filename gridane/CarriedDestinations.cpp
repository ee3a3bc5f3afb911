#include "gridane/CarriedDestinations.h"

#include <array>
#include <optional>
#include <string>
#include <utility>

#include "gridane/SheetMergeSteps.h"
#include "pdf/CPdfObject.h"
#include "pdf/CPdfRawText.h"

namespace gridane {
namespace {

// Walks the outline and the named destinations from the catalog, marking every object that
// may hold a destination.
class HolderFinder {
  public:
    explicit HolderFinder(CPdfXRef& xref)
        : m_xref(xref),
          m_held(static_cast<size_t>(xref.GetSize()), false),
          m_seen(m_held.size(), false) {}

    std::vector<bool> Find(int catalogNumber) {
        Hold(CPdfObject::MakeRef(catalogNumber, m_xref.GetRootGen()));
        CPdfObject catalog = m_xref.Resolve(catalogNumber, m_xref.GetRootGen());
        if (!catalog.IsDict()) return std::move(m_held);
        CPdfDict& dict = catalog.GetDict();
        WalkOutline(dict.LookupDirect("Outlines"));
        CPdfObject names = dict.LookupDirect("Names");
        Hold(names);
        CPdfObject namesDict = dict.Lookup("Names");
        if (namesDict.IsDict()) WalkNameTree(namesDict.GetDict().LookupDirect("Dests"));
        CPdfObject dests = dict.LookupDirect("Dests");
        Hold(dests);
        CPdfObject destsDict = dict.Lookup("Dests");
        if (destsDict.IsDict()) {
            for (const auto& [key, value] : destsDict.GetDict().Entries()) HoldValue(value);
        }
        return std::move(m_held);
    }

  private:
    bool Valid(const CPdfObject& ref) const {
        return ref.IsRef() && ref.GetRefNum() > 0 && ref.GetRefNum() < m_xref.GetSize();
    }
    void Hold(const CPdfObject& stored) {
        if (Valid(stored)) m_held[static_cast<size_t>(stored.GetRefNum())] = true;
    }
    // A node visited for the first time: held, and its dictionary given; none otherwise.
    CPdfObject Visit(const CPdfObject& stored) {
        if (!Valid(stored) || m_seen[static_cast<size_t>(stored.GetRefNum())]) return {};
        m_seen[static_cast<size_t>(stored.GetRefNum())] = true;
        Hold(stored);
        CPdfObject node = m_xref.Resolve(stored.GetRefNum(), stored.GetRefGen());
        return node.IsDict() ? node : CPdfObject();
    }
    // A destination value: an array object, or a dictionary (an action, or a named
    // destination's << /D [...] >>) whose /D may be an object of its own.
    void HoldValue(const CPdfObject& stored) {
        Hold(stored);
        CPdfObject value = stored;
        if (Valid(stored)) value = m_xref.Resolve(stored.GetRefNum(), stored.GetRefGen());
        if (value.IsDict()) Hold(value.GetDict().LookupDirect("D"));
    }

    void WalkOutline(const CPdfObject& root) {
        std::vector<CPdfObject> pending{root};
        while (!pending.empty()) {
            CPdfObject node = Visit(pending.back());
            pending.pop_back();
            if (!node.IsDict()) continue;
            CPdfDict& item = node.GetDict();
            HoldValue(item.LookupDirect("Dest"));
            HoldValue(item.LookupDirect("A"));
            pending.push_back(item.LookupDirect("Next"));
            pending.push_back(item.LookupDirect("First"));
        }
    }

    void WalkNameTree(const CPdfObject& root) {
        std::vector<CPdfObject> pending{root};
        while (!pending.empty()) {
            CPdfObject stored = pending.back();
            pending.pop_back();
            // The tree's root may be written inside the names dictionary.
            CPdfObject node = stored.IsDict() ? stored : Visit(stored);
            if (!node.IsDict()) continue;
            CPdfObject kids = node.GetDict().Lookup("Kids");
            if (kids.IsArray()) {
                for (int k = 0; k < kids.GetArray().GetLength(); ++k)
                    pending.push_back(kids.GetArray().GetNF(k));
            }
            CPdfObject names = node.GetDict().Lookup("Names");
            if (!names.IsArray()) continue;
            for (int k = 1; k < names.GetArray().GetLength(); k += 2)
                HoldValue(names.GetArray().GetNF(k));
        }
    }

    CPdfXRef& m_xref;
    std::vector<bool> m_held;
    std::vector<bool> m_seen;
};

std::array<double, 4> VisibleOf(const PageRecord& page) {
    Box box = page.VisibleBox();
    return {box.x1, box.y1, box.x2, box.y2};
}

}  // namespace

std::vector<bool> FindDestinationHolders(ImpositionJob& job) {
    std::vector<bool> held = HolderFinder(job.document.GetXRef()).Find(job.rootNumber);
    auto release = [&held](int number) {
        if (number > 0 && static_cast<size_t>(number) < held.size()) held[number] = false;
    };
    for (const PageRecord& page : job.pages) release(page.objectNumber);
    release(job.pageTreeRoot);
    return held;
}

void DestinationTargets::AddKeptPage(const PageRecord& page, WrittenPage written) {
    m_targets.emplace(page.objectNumber, DestinationTarget{written.number, written.generation,
                                                           PagePlacement{}, VisibleOf(page)});
}

void DestinationTargets::AddSide(const ImpositionJob& job, const PlannedSide& side,
                                 WrittenPage written) {
    for (const PlannedCell& cell : side.cells) {
        if (cell.page < 1 || static_cast<size_t>(cell.page) > job.pages.size()) continue;
        const PageRecord& page = job.pages[static_cast<size_t>(cell.page) - 1];
        PagePlacement placement = PlacementOf(cell);
        m_targets.emplace(page.objectNumber, DestinationTarget{written.number, written.generation,
                                                               placement, VisibleOf(page)});
    }
}

const DestinationTarget* DestinationTargets::Of(int pageObjectNumber) const {
    auto found = m_targets.find(pageObjectNumber);
    return found == m_targets.end() ? nullptr : &found->second;
}

void WriteCarriedDestinations(ImpositionJob& job, const DestinationTargets& targets) {
    CPdfXRef& xref = job.document.GetXRef();
    std::vector<bool> isPage(job.heldBack.size(), false);
    for (const PageRecord& page : job.pages) {
        if (static_cast<size_t>(page.objectNumber) < isPage.size())
            isPage[page.objectNumber] = true;
    }
    DestinationPages pages{[&targets](int number) { return targets.Of(number); },
                           [&isPage](int number) {
                               return number > 0 && static_cast<size_t>(number) < isPage.size() &&
                                      isPage[number];
                           },
                           {}};
    const std::vector<CPdfXRefEntry>& entries = xref.GetEntries();
    for (size_t number = 1; number < job.heldBack.size() && number < entries.size(); ++number) {
        if (!job.heldBack[number] || job.output.IsWritten(static_cast<int>(number))) continue;
        std::optional<std::string> raw = job.activeContent.Filter(
            static_cast<int>(number), GetRawObjectText(xref, static_cast<int>(number)));
        if (!raw || raw->empty() || IsObjectOrXRefStream(*raw)) continue;
        std::string_view dict = DictionaryPart(*raw);
        std::string text = RewriteDestinations(dict, pages);
        text.append(std::string_view(*raw).substr(dict.size()));
        const CPdfXRefEntry& entry = entries[number];
        job.output.BeginObject(static_cast<int>(number), entry.type == 1 ? entry.generation : 0);
        job.output.Write(text);
    }
}

}  // namespace gridane
