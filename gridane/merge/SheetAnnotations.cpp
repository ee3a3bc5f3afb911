// Annotation carrying of a sheet side (part of SheetMerge).
//
// Every cell's annotations are moved exactly as its page is drawn (the cell's translation,
// turned by 180 degrees for a turned cell) and listed in the sheet page's /Annots. The first
// placement of an annotation in a run is written under its own number; every further one
// (a page shown in several cells or on several sheets) is a copy under a new number, so that
// each placement keeps its own Rect.
#include <vector>

#include "gridane/merge/AnnotPlacement.h"
#include "gridane/merge/DestinationText.h"
#include "gridane/merge/SheetMerge.h"
#include "pdf/CPdfObject.h"
#include "pdf/CPdfRawEdit.h"
#include "pdf/CPdfXRef.h"

namespace gridane {

namespace {

std::vector<double> NumbersOf(const CPdfObject& value) {
    std::vector<double> numbers;
    if (!value.IsArray()) return numbers;
    CPdfArray& array = value.GetArray();
    for (int k = 0; k < array.GetLength(); ++k) {
        CPdfObject element = array.Get(k);
        if (!element.IsNum()) return {};
        numbers.push_back(element.IsInt() ? static_cast<double>(element.GetInt())
                                          : element.GetNum());
    }
    return numbers;
}

std::string RefText(int number, int generation) {
    return " " + std::to_string(number) + " " + std::to_string(generation) + " R ";
}

}  // namespace

void SheetMerge::NoteKeptPage(int pageObjectNumber) {
    CPdfXRef& xref = m_context.InputXRef();
    CPdfObject page = xref.Resolve(pageObjectNumber, m_context.InputGeneration(pageObjectNumber));
    if (!page.IsDict()) return;
    CPdfObject annots = page.GetDict().Lookup("Annots");
    if (!annots.IsArray()) return;
    for (int k = 0; k < annots.GetArray().GetLength(); ++k) {
        CPdfObject element = annots.GetArray().GetNF(k);
        if (element.IsRef()) m_placedAnnotations.insert(element.GetRefNum());
    }
}

void SheetMerge::CarrySheetAnnotations(std::string& basePageText, int sheetObjectNumber) {
    std::string list;
    for (const MergeCell& cell : m_cells) {
        if (cell.pageObjectNumber > 0) list += ShiftPageAnnotations(cell, sheetObjectNumber);
    }
    WriteSheetAnnots(basePageText, list);
}

std::string SheetMerge::ShiftPageAnnotations(const MergeCell& cell, int sheetObjectNumber) {
    // Most pages have no annotations: their text tells so without parsing the page.
    if (FindBytes(m_context.InputRawText(cell.pageObjectNumber), "/Annots") == kNotFound) {
        return std::string();
    }
    CPdfXRef& xref = m_context.InputXRef();
    CPdfObject page =
        xref.Resolve(cell.pageObjectNumber, m_context.InputGeneration(cell.pageObjectNumber));
    if (!page.IsDict()) return std::string();
    CPdfObject annots = page.GetDict().Lookup("Annots");
    if (!annots.IsArray()) return std::string();
    std::string list;
    for (int k = 0; k < annots.GetArray().GetLength(); ++k) {
        // Annotations written inside the array have no number to list; they are left out.
        CPdfObject element = annots.GetArray().GetNF(k);
        if (!element.IsRef()) continue;
        list += PlaceAnnotation(element.GetRefNum(), element.GetRefGen(), cell, sheetObjectNumber);
    }
    return list;
}

std::string SheetMerge::PlaceAnnotation(int number, int generation, const MergeCell& cell,
                                        int sheetObjectNumber) {
    std::string raw = m_context.InputRawText(number);
    if (raw.empty()) return std::string();
    CPdfObject annotation = m_context.InputXRef().Resolve(number, generation);
    if (annotation.IsDict()) {
        std::vector<double> rect = NumbersOf(annotation.GetDict().Lookup("Rect"));
        if (cell.shownPart && rect.size() == 4) {
            rect = RectWithin(rect, *cell.shownPart);
            if (rect.empty()) return std::string();  // on another part of the page
        }
        if (!rect.empty()) raw = ReplaceRectText(raw, PlacedRectText(rect, cell.placement));
        std::vector<double> quads = NumbersOf(annotation.GetDict().Lookup("QuadPoints"));
        if (!quads.empty())
            raw = ReplaceQuadPointsText(raw, PlacedPointsText(quads, cell.placement));
    }
    // The annotation now belongs to the sheet's page, and its page references lead to the
    // pages that show them.
    std::string_view dict = DictionaryPart(raw);
    DestinationPages pages{[this](int page) -> const DestinationTarget* {
                               auto target = m_pageTargets.find(page);
                               return target == m_pageTargets.end() ? nullptr : &target->second;
                           },
                           [this](int page) { return m_pageTargets.count(page) != 0; },
                           [this](const RefToken& ref) {
                               auto target = m_pageTargets.find(ref.number);
                               if (target == m_pageTargets.end()) {
                                   return std::to_string(ref.number) + " " +
                                          std::to_string(ref.generation) + " R";
                               }
                               return std::to_string(target->second.number) + " " +
                                      std::to_string(target->second.generation) + " R";
                           }};
    std::string head = RewriteDestinations(dict, pages);
    if (FindEntry(head, "/P")) {
        head = ReplaceEntryValue(head, "/P", std::to_string(sheetObjectNumber) + " 0 R");
    }
    raw = head + raw.substr(dict.size());
    if (m_placedAnnotations.insert(number).second) {
        m_context.WriteObject(number, generation, raw);
        return RefText(number, generation);
    }
    int copy = m_context.WriteNewObject([&raw](int n) { return SetObjectHeader(raw, n, 0); });
    return RefText(copy, 0);
}

void SheetMerge::WriteSheetAnnots(std::string& basePageText, const std::string& list) {
    std::string_view dict = DictionaryPart(basePageText);
    std::string value = "[" + list + "]";
    if (FindEntry(dict, "/Annots")) {
        // Written as a direct array whatever the old form: an Annots array object may be
        // shared, and the old entries are all in the list (the base cell comes first).
        basePageText = ReplaceEntryValue(basePageText, "/Annots", value);
    } else if (!list.empty()) {
        basePageText = InsertAfterDictOpen(basePageText, "/Annots " + value + "\n");
    }
}

}  // namespace gridane
