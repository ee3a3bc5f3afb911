#include "gridane/PageTree.h"

#include <array>

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

// A page's attributes as it shows them: each box, the rotation and the resources from the
// page itself or else from the nearest node above it that gives them.
class PageRecordMaker : public CPdfPageTreeVisitor {
  public:
    PageRecordMaker(CPdfXRef& xref, std::vector<PageRecord>& pages)
        : m_xref(xref), m_pages(pages) {}

    void Leaf(const CPdfPageLeaf& leaf) override {
        if (leaf.node.number <= 0) {
            m_xref.Warnings().Add(
                "page tree: a page written inside its parent's /Kids cannot be "
                "imposed; skipped");
            return;
        }
        const std::vector<const CPdfPageNode*> line = leaf.Lineage();
        PageRecord page;
        page.objectNumber = leaf.node.number;
        page.generation = leaf.node.generation;
        std::array<Box*, 5> boxes{&page.mediaBox, &page.cropBox, &page.bleedBox, &page.trimBox,
                                  &page.artBox};
        for (size_t k = 0; k < kBoxNames.size(); ++k) {
            const CPdfPageNode* holder = Nearest(line, [&](CPdfDict& dict) {
                CPdfObject value = dict.Lookup(kBoxNames[k]);
                if (value.IsArray()) *boxes[k] = BoxFromArray(value.GetArray());
                return value.IsArray();
            });
            if (k != kCropBoxIndex) continue;
            page.hasCropBox = holder != nullptr;
            if (holder != nullptr && holder != line.front()) {
                page.inheritedEntries += BoxEntryText("/CropBox", page.cropBox);
            }
        }
        const CPdfPageNode* rotation = Nearest(line, [&](CPdfDict& dict) {
            CPdfObject rotate = dict.Lookup("Rotate");
            if (rotate.IsInt()) page.rotation = rotate.GetInt();
            return rotate.IsInt();
        });
        const CPdfPageNode* resources =
            Nearest(line, [](CPdfDict& dict) { return !IsAbsent(dict.LookupDirect("Resources")); });
        if (resources != nullptr && resources != line.front()) {
            std::string text = ResourcesText(m_xref, resources->number,
                                             resources->dict.GetDict().LookupDirect("Resources"));
            if (!text.empty()) page.inheritedEntries.insert(0, "/Resources " + text + "\n");
        }
        if (rotation != nullptr && rotation != line.front()) {
            page.inheritedEntries += FormatText("/Rotate %d\n", page.rotation);
        }
        m_pages.push_back(std::move(page));
    }

  private:
    // The first node of `line` for which `gives` is true; nullptr when none.
    template <class Gives>
    static const CPdfPageNode* Nearest(const std::vector<const CPdfPageNode*>& line, Gives gives) {
        for (const CPdfPageNode* node : line) {
            if (gives(node->dict.GetDict())) return node;
        }
        return nullptr;
    }

    CPdfXRef& m_xref;
    std::vector<PageRecord>& m_pages;
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
