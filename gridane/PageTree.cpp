#include "gridane/PageTree.h"

#include <array>
#include <optional>
#include <string>

#include "gridane/RawTextEdits.h"
#include "gridane/TextFormat.h"
#include "pdf/CPdfException.h"
#include "pdf/CPdfObject.h"
#include "pdf/CPdfPageTree.h"
#include "pdf/CPdfRawText.h"

namespace gridane {
namespace {

constexpr std::array<const char*, 5> kBoxNames{"MediaBox", "CropBox", "BleedBox", "TrimBox",
                                               "ArtBox"};
constexpr size_t kCropBoxIndex = 1;
constexpr size_t kBleedBoxIndex = 2;
constexpr size_t kTrimBoxIndex = 3;

double NumberOrZero(const CPdfObject& value) {
    if (value.IsInt()) return value.GetInt();
    if (value.IsNum()) return value.GetNum();
    return 0;
}

// The first four elements of a box array; missing ones count as 0.
Box BoxFromArray(CPdfArray& array) {
    std::array<double, 4> v{0, 0, 0, 0};
    for (int i = 0; i < 4 && i < array.GetLength(); ++i) v[i] = NumberOrZero(array.Get(i));
    return {v[0], v[1], v[2], v[3]};
}

bool IsAbsent(const CPdfObject& value) {
    return value.IsNone() || value.IsNull();
}

// The text of a node's own /Resources value, to be copied into the pages that inherit it.
std::string ResourcesText(CPdfXRef& xref, int number, const CPdfObject& stored) {
    if (stored.IsRef()) {
        return std::to_string(stored.GetRefNum()) + " " + std::to_string(stored.GetRefGen()) + " R";
    }
    if (!stored.IsDict()) return {};
    std::optional<std::string> raw = GetRawObjectText(xref, number);
    if (!raw) return {};
    return DirectValueText(*raw, "/Resources").value_or("");
}

// What a node passes on to the pages under it: each box, the rotation and the resources,
// from the node itself or else from the nearest node above it that gives them.
struct Inherited {
    std::array<std::optional<Box>, 5> boxes;
    std::optional<int> rotation;
    std::optional<std::string> resourcesText;  // the value's text; empty when unreadable
};

// A page's attributes as it shows them. What the inner nodes pass on is worked out once per
// node, when the walk enters it, so that a page costs the same however many pages share its
// parent and however deep it lies.
class PageRecordMaker : public CPdfPageTreeVisitor {
  public:
    PageRecordMaker(CPdfXRef& xref, std::vector<PageRecord>& pages)
        : m_xref(xref), m_pages(pages) {}

    void InnerNode(const CPdfPageNode& node) override {
        Inherited passed =
            node.parent >= 0 ? m_inherited[static_cast<size_t>(node.parent)] : Inherited{};
        CPdfDict& dict = node.dict.GetDict();
        ReadOwnBoxesAndRotation(dict, passed);
        CPdfObject resources = dict.LookupDirect("Resources");
        if (!IsAbsent(resources))
            passed.resourcesText = ResourcesText(m_xref, node.number, resources);
        // The walk numbers inner nodes in the order it announces them.
        m_inherited.push_back(std::move(passed));
    }

    void Leaf(const CPdfPageLeaf& leaf) override {
        if (leaf.node.number <= 0) {
            m_xref.Warnings().Add(
                "page tree: a page written inside its parent's /Kids cannot be "
                "imposed; skipped");
            return;
        }
        const Inherited inherited = leaf.node.parent >= 0
                                        ? m_inherited[static_cast<size_t>(leaf.node.parent)]
                                        : Inherited{};
        Inherited own;
        CPdfDict& dict = leaf.Dict();
        ReadOwnBoxesAndRotation(dict, own);

        PageRecord page;
        page.objectNumber = leaf.node.number;
        page.generation = leaf.node.generation;
        std::array<Box*, 5> boxes{&page.mediaBox, &page.cropBox, &page.bleedBox, &page.trimBox,
                                  &page.artBox};
        for (size_t k = 0; k < kBoxNames.size(); ++k) {
            const std::optional<Box>& box = own.boxes[k] ? own.boxes[k] : inherited.boxes[k];
            if (box) *boxes[k] = *box;
        }
        page.hasCropBox = own.boxes[kCropBoxIndex] || inherited.boxes[kCropBoxIndex];
        page.hasBleedBox = own.boxes[kBleedBoxIndex] || inherited.boxes[kBleedBoxIndex];
        page.hasTrimBox = own.boxes[kTrimBoxIndex] || inherited.boxes[kTrimBoxIndex];
        if (!own.boxes[kCropBoxIndex] && inherited.boxes[kCropBoxIndex]) {
            page.inheritedEntries += BoxEntryText("/CropBox", page.cropBox);
        }
        page.rotation = own.rotation.value_or(inherited.rotation.value_or(0));
        if (IsAbsent(dict.LookupDirect("Resources")) && inherited.resourcesText &&
            !inherited.resourcesText->empty()) {
            page.inheritedEntries.insert(0, "/Resources " + *inherited.resourcesText + "\n");
        }
        if (!own.rotation && inherited.rotation) {
            page.inheritedEntries += FormatText("/Rotate %d\n", page.rotation);
        }
        m_pages.push_back(std::move(page));
    }

  private:
    // The boxes and the rotation `dict` gives itself, over those in `into`.
    static void ReadOwnBoxesAndRotation(CPdfDict& dict, Inherited& into) {
        for (size_t k = 0; k < kBoxNames.size(); ++k) {
            CPdfObject value = dict.Lookup(kBoxNames[k]);
            if (value.IsArray()) into.boxes[k] = BoxFromArray(value.GetArray());
        }
        CPdfObject rotate = dict.Lookup("Rotate");
        if (rotate.IsInt()) into.rotation = rotate.GetInt();
    }

    CPdfXRef& m_xref;
    std::vector<PageRecord>& m_pages;
    std::vector<Inherited> m_inherited;  // by the walk's inner-node index
};

}  // namespace

PageTree ReadPageTree(CPdfXRef& xref, int catalogNumber) {
    CPdfObject catalog = xref.Resolve(catalogNumber, xref.GetRootGen());
    CPdfObject pagesRef = catalog.IsDict() ? catalog.GetDict().LookupDirect("Pages") : CPdfObject();
    if (!pagesRef.IsRef()) throw CPdfException("File is broken. Can't find /Pages entry\n");

    PageTree tree;
    tree.rootNumber = pagesRef.GetRefNum();
    tree.rootGeneration = pagesRef.GetRefGen();
    tree.hasOutlines = catalog.GetDict().LookupDirect("Outlines").IsRef();
    PageRecordMaker maker(xref, tree.pages);
    CPdfPageTreeWalk(xref, xref.Warnings()).Walk(pagesRef, maker);
    return tree;
}

}  // namespace gridane
