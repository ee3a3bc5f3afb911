#include "turnelle/PageTreeWalk.h"

#include <cmath>

#include "pdf/CPdfPageTree.h"

namespace turnelle {

namespace {

constexpr int kProgressLimit = 10;

// The node's own /Rotate when it has a number there; nothing otherwise.
bool OwnRotate(CPdfDict& node, int* rotate) {
    CPdfObject value = node.Lookup("Rotate");
    if (value.IsInt()) {
        *rotate = value.GetInt();
        return true;
    }
    if (value.IsReal() && std::fabs(value.GetReal()) < 1e6) {
        *rotate = static_cast<int>(std::lround(value.GetReal()));
        return true;
    }
    return false;
}

class PageLister : public CPdfPageTreeVisitor {
  public:
    explicit PageLister(ProgressDots& progress) : m_progress(progress) {}

    void InnerNode(const CPdfPageNode&) override { m_progress.Step(kProgressLimit); }

    void Leaf(const CPdfPageLeaf& leaf) override {
        RotationPageEntry page;
        page.objectNumber = leaf.node.number > 0 ? leaf.node.number : -1;
        for (const CPdfPageNode* node : leaf.Lineage()) {
            if (OwnRotate(node->dict.GetDict(), &page.currentRotate)) break;
        }
        m_pages.push_back(page);
    }

    std::vector<RotationPageEntry> Take() { return std::move(m_pages); }

  private:
    ProgressDots& m_progress;
    std::vector<RotationPageEntry> m_pages;
};

}  // namespace

PageTreeRead WalkPageTree(CPdfXRef& xref, const CPdfObject& pagesRoot, CPdfWarnings& warnings,
                          ProgressDots& progress) {
    PageLister lister(progress);
    CPdfPageTreeWalk walk(xref, warnings);
    walk.Walk(pagesRoot, lister);
    return {lister.Take(), walk.CutKids()};
}

}  // namespace turnelle
