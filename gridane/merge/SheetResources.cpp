// Resource merging of a sheet side (part of SheetMerge).
//
// The base page's own entries are listed first under their names; every other cell's entries
// follow, and an entry whose name is already listed for a different object gets a fresh name,
// unused on the sheet, recorded in the rename map for that cell's page. An entry listed again
// for the same object is not repeated, so the merged dictionaries hold every name once.
#include <algorithm>
#include <chrono>

#include "gridane/merge/ResourceText.h"
#include "gridane/merge/SheetMerge.h"
#include "pdf/CPdfRawEdit.h"

namespace gridane {

namespace {

// Same stored value: references compare by object number, direct values by their text.
bool SameValue(std::string_view a, std::string_view b) {
    auto refA = ReferenceAt(a, 0);
    auto refB = ReferenceAt(b, 0);
    if (refA && refB) return refA->number == refB->number;
    return a == b;
}

std::string EntryText(std::string_view name, std::string_view value) {
    std::string text = "/";
    text += name;
    text += ' ';
    text += value;
    text += ' ';
    return text;
}

}  // namespace

SheetMerge::SheetMerge(MergeContext& context) : m_context(context) {}

void SheetMerge::BeginSheet(std::vector<MergeCell> cells, int baseCell) {
    m_cells = std::move(cells);
    // A sheet always has its base cell among its cells; a blank one stands in otherwise.
    if (baseCell < 0 || static_cast<size_t>(baseCell) >= m_cells.size()) {
        m_cells.resize(static_cast<size_t>(std::max(baseCell, 0)) + 1);
    }
    m_baseCell = std::max(baseCell, 0);
    m_renames.Clear();
    m_resourcesByPage.clear();
    m_resourcesEdited = false;
    m_resourcesText.clear();
    m_resourcesForm = ResourcesForm::Absent;
    m_formNames.clear();
    for (std::string& list : m_mergedLists) list.clear();
}

void SheetMerge::MergeResources(const std::string& basePageText) {
    MergeResources(basePageText, {});
}

void SheetMerge::MergeResources(const std::string& basePageText, std::string_view fontValue) {
    LoadEditBuffers(basePageText);
    AssignRenameOwners();
    for (size_t c = 0; c < kResourceCategories.size(); ++c) {
        m_mergedLists[c] = MergeResourceCategory(kResourceCategories[c]);
    }
    m_sheetFontName.clear();
    if (!fontValue.empty()) {
        static_assert(kResourceCategories[1] == "Font");
        CategoryListing fonts = ListedNames(m_mergedLists[1]);
        m_sheetFontName = "SheetText";
        for (int n = 2; fonts.count(m_sheetFontName) != 0; ++n)
            m_sheetFontName = "SheetText" + std::to_string(n);
        m_mergedLists[1] += EntryText(m_sheetFontName, fontValue);
    }
    static_assert(kResourceCategories[0] == "XObject");
    PrepareCellContents(m_mergedLists[0]);
    for (size_t c = 0; c < kResourceCategories.size(); ++c) {
        InsertMergedEntries(kResourceCategories[c], m_mergedLists[c]);
    }
}

const std::string& SheetMerge::CellResources(int pageObjectNumber) {
    auto it = m_resourcesByPage.find(pageObjectNumber);
    if (it == m_resourcesByPage.end()) {
        it = m_resourcesByPage
                 .emplace(pageObjectNumber,
                          EffectiveResourcesText(m_context, pageObjectNumber, &m_resourcesByNode))
                 .first;
    }
    return it->second;
}

std::string SheetMerge::MergeResourceCategory(std::string_view category) {
    // A fresh time stamp seeds the run's name generator for every category; the new names take
    // the milliseconds too, so that runs differ.
    auto now = std::chrono::system_clock::now().time_since_epoch();
    auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(now).count();
    m_stampMilliseconds = static_cast<unsigned>(ms % 1000);
    m_nameNumbers.seed(static_cast<unsigned>(ms / 1000) + m_stampMilliseconds);

    CategoryListing listing;
    std::string merged;
    for (size_t cell = 0; cell < m_cells.size(); ++cell) {
        if (m_cells[cell].pageObjectNumber <= 0) continue;
        merged += CollectCellEntries(static_cast<int>(cell), category,
                                     MayRename(static_cast<int>(cell)), listing);
    }
    return merged;
}

std::string SheetMerge::CollectCellEntries(int cell, std::string_view category, bool renamable,
                                           CategoryListing& listing) {
    const int page = m_cells[static_cast<size_t>(cell)].pageObjectNumber;
    const int owner = RenameOwner(cell);
    const char letter = category[0];
    std::string categoryText =
        CategoryDictText(m_context, CellResources(page), "/" + std::string(category));
    std::string list;
    for (DictEntryText entry : ListDictEntries(categoryText)) {
        if (category == "Pattern") {
            entry.valueText =
                PlacedPatternValue(entry.valueText, m_cells[static_cast<size_t>(cell)].placement);
        }
        auto listed = listing.find(entry.name);
        if (listed == listing.end()) {
            listing.emplace(entry.name, entry.valueText);
            list += EntryText(entry.keyText.substr(1), entry.valueText);
            continue;
        }
        if (SameValue(listed->second, entry.valueText) || !renamable) continue;
        std::string newName = m_renames.Find(owner, letter, entry.name);
        if (newName.empty()) {
            newName = NewName(letter, listing);
            m_renames.Add(owner, letter, entry.name, newName);
        }
        if (listing.emplace(newName, entry.valueText).second) {
            list += EntryText(newName, entry.valueText);
        }
    }
    return list;
}

std::string SheetMerge::NewName(char letter, const CategoryListing& listing) {
    // The category's letter, 9 and a number; drawn again while the name is taken on the sheet.
    for (;;) {
        long number =
            static_cast<long>(m_renameCounter) + long(m_nameNumbers()) + m_stampMilliseconds;
        ++m_renameCounter;
        std::string name = std::string(1, letter) + "9" + std::to_string(number);
        if (listing.count(name) == 0) return name;
    }
}

SheetMerge::CategoryListing SheetMerge::ListedNames(const std::string& mergedList) {
    CategoryListing listing;
    for (const DictEntryText& entry : ListDictEntries("<< " + mergedList + ">>")) {
        listing.emplace(entry.name, entry.valueText);
    }
    return listing;
}

void SheetMerge::LoadEditBuffers(const std::string& basePageText) {
    std::string value = EntryValueText(basePageText, "/Resources");
    if (value.substr(0, 2) == "<<") {
        m_resourcesForm = ResourcesForm::InPage;
        m_resourcesText = value;
    } else if (!value.empty() && ReferenceAt(value, 0)) {
        m_resourcesForm = ResourcesForm::OwnObject;
        m_resourcesText = ResolveDictText(m_context, value);
    } else {
        // No Resources of its own: start from what the page inherits, so that it keeps it.
        m_resourcesForm = ResourcesForm::Absent;
        m_resourcesText = EffectiveResourcesText(
            m_context, m_cells[static_cast<size_t>(m_baseCell)].pageObjectNumber,
            &m_resourcesByNode);
    }
    if (m_resourcesText.empty()) m_resourcesText = "<< >>";
}

void SheetMerge::InsertMergedEntries(std::string_view category, const std::string& mergedList) {
    if (mergedList.empty()) return;
    std::string key = "/" + std::string(category);
    std::string value = "<< " + mergedList + ">>";
    if (FindEntry(m_resourcesText, key)) {
        m_resourcesText = ReplaceEntryValue(m_resourcesText, key, value);
    } else {
        m_resourcesText = InsertAfterDictOpen(m_resourcesText, key + " " + value + "\n");
    }
    m_resourcesEdited = true;
}

void SheetMerge::WriteEditedObjects(std::string& basePageText) {
    if (!m_resourcesEdited) return;
    switch (m_resourcesForm) {
        case ResourcesForm::InPage:
            basePageText = ReplaceEntryValue(basePageText, "/Resources", m_resourcesText);
            break;
        case ResourcesForm::OwnObject: {
            // A Resources object may be shared by other pages and sheets: the edited copy gets
            // a number of its own, so that no other page's resources change.
            const std::string& text = m_resourcesText;
            int number = m_context.WriteNewObject(
                [&text](int n) { return std::to_string(n) + " 0 obj\n" + text + "\nendobj\n"; });
            basePageText =
                ReplaceEntryValue(basePageText, "/Resources", std::to_string(number) + " 0 R");
            break;
        }
        case ResourcesForm::Absent:
            basePageText =
                InsertAfterDictOpen(basePageText, "\n/Resources " + m_resourcesText + "\n");
            break;
    }
    m_resourcesEdited = false;
}

}  // namespace gridane
