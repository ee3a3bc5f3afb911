#include "gridane/PageTree.h"

#include <array>

#include "gridane/RawTextEdits.h"
#include "gridane/TextFormat.h"
#include "pdf/CPdfException.h"
#include "pdf/CPdfObject.h"
#include "pdf/CPdfRawText.h"

namespace gridane {
namespace {

constexpr std::array<const char*, 5> kBoxNames{"MediaBox", "CropBox", "BleedBox", "TrimBox",
                                               "ArtBox"};
constexpr size_t kCropBoxIndex = 1;

// What a node hands down to its kids.
struct Inherited {
    std::array<Box, 5> boxes{kDefaultPageBox, kDefaultPageBox, kDefaultPageBox, kDefaultPageBox,
                             kDefaultPageBox};
    bool cropBoxFromNode = false;  // false while the crop box is the default
    int rotation = 0;
    bool rotationFromNode = false;
    std::string resources;  // the text of the nearest node's /Resources value
};

struct PendingNode {
    int number;
    int generation;
    Inherited inherited;
};

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

PageRecord MakePageRecord(const PendingNode& node, const Inherited& mine, CPdfDict& dict) {
    PageRecord page;
    page.objectNumber = node.number;
    page.generation = node.generation;
    page.rotation = mine.rotation;
    page.mediaBox = mine.boxes[0];
    page.cropBox = mine.boxes[1];
    page.bleedBox = mine.boxes[2];
    page.trimBox = mine.boxes[3];
    page.artBox = mine.boxes[4];
    page.hasCropBox = mine.cropBoxFromNode;
    if (IsAbsent(dict.LookupDirect("Resources")) && !mine.resources.empty()) {
        page.inheritedEntries += "/Resources " + mine.resources + "\n";
    }
    if (IsAbsent(dict.LookupDirect("CropBox")) && mine.cropBoxFromNode) {
        page.inheritedEntries += BoxEntryText("/CropBox", page.cropBox);
    }
    if (IsAbsent(dict.LookupDirect("Rotate")) && mine.rotationFromNode) {
        page.inheritedEntries += FormatText("/Rotate %d\n", page.rotation);
    }
    return page;
}

}  // namespace

PageTree ReadPageTree(CPdfXRef& xref, int catalogNumber) {
    CPdfObject catalog = xref.Resolve(catalogNumber, xref.GetRootGen());
    CPdfObject pagesRef = catalog.IsDict() ? catalog.GetDict().LookupDirect("Pages") : CPdfObject();
    if (!pagesRef.IsRef()) throw CPdfException("File is broken. Can't find /Pages entry\n");

    PageTree tree;
    tree.rootNumber = pagesRef.GetRefNum();
    tree.rootGeneration = pagesRef.GetRefGen();
    tree.hasOutlines = catalog.GetDict().LookupDirect("Outlines").IsRef();

    std::vector<bool> visited(static_cast<size_t>(xref.GetSize()) + 1, false);
    std::vector<PendingNode> pending{{tree.rootNumber, tree.rootGeneration, Inherited{}}};
    while (!pending.empty()) {
        PendingNode node = std::move(pending.back());
        pending.pop_back();
        if (node.number <= 0 || static_cast<size_t>(node.number) >= visited.size() ||
            visited[node.number]) {
            continue;
        }
        visited[node.number] = true;
        CPdfObject object = xref.Resolve(node.number, node.generation);
        if (!object.IsDict()) continue;
        CPdfDict& dict = object.GetDict();

        Inherited mine = node.inherited;
        for (size_t k = 0; k < kBoxNames.size(); ++k) {
            CPdfObject value = dict.Lookup(kBoxNames[k]);
            if (!value.IsArray()) continue;
            mine.boxes[k] = BoxFromArray(value.GetArray());
            if (k == kCropBoxIndex) mine.cropBoxFromNode = true;
        }
        CPdfObject rotate = dict.Lookup("Rotate");
        if (rotate.IsInt()) {
            mine.rotation = rotate.GetInt();
            mine.rotationFromNode = true;
        }

        CPdfObject kids = dict.Lookup("Kids");
        if (!kids.IsArray()) {
            tree.pages.push_back(MakePageRecord(node, mine, dict));
            continue;
        }
        CPdfObject resources = dict.LookupDirect("Resources");
        if (!IsAbsent(resources)) mine.resources = ResourcesText(xref, node.number, resources);
        // Kids go on the stack last first, so that the pages come out in document order.
        CPdfArray& kidArray = kids.GetArray();
        for (int i = kidArray.GetLength() - 1; i >= 0; --i) {
            CPdfObject kid = kidArray.GetNF(i);
            if (kid.IsRef()) pending.push_back({kid.GetRefNum(), kid.GetRefGen(), mine});
        }
    }
    return tree;
}

}  // namespace gridane
