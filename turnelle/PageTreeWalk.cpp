#include "turnelle/PageTreeWalk.h"

#include <cmath>
#include <unordered_set>

#include "pdf/CPdfException.h"

namespace turnelle {

namespace {

constexpr int kProgressLimit = 10;

[[noreturn]] void FailDamaged() {
    throw CPdfException("PDF file was damaged");
}

// The node's own /Rotate when it has a number there, else `inherited`.
int OwnRotate(CPdfObject& node, int inherited) {
    CPdfObject rotate = node.GetDict().Lookup("Rotate");
    if (rotate.IsInt()) return rotate.GetInt();
    if (rotate.IsReal() && std::fabs(rotate.GetReal()) < 1e6) {
        return static_cast<int>(std::lround(rotate.GetReal()));
    }
    return inherited;
}

// One Pages node whose kids are being listed.
struct PendingNode {
    CPdfObject kids;
    int nextKid = 0;
    int inheritedRotate = 0;
};

class Walker {
  public:
    explicit Walker(ProgressDots& progress) : m_progress(progress) {}

    std::vector<RotationPageEntry> Walk(CPdfObject pagesNode, int pagesNumber) {
        Enter(pagesNode, pagesNumber, OwnRotate(pagesNode, 0));
        while (!m_pending.empty()) {
            PendingNode& node = m_pending.back();
            CPdfArray& kids = node.kids.GetArray();
            if (node.nextKid >= kids.GetLength()) {
                m_pending.pop_back();
                continue;
            }
            const int index = node.nextKid++;
            VisitKid(kids.Get(index), kids.GetNF(index), node.inheritedRotate);
        }
        return std::move(m_pages);
    }

  private:
    void Enter(CPdfObject& node, int number, int inheritedRotate) {
        m_progress.Step(kProgressLimit);
        if (number > 0 && !m_visitedNodes.insert(number).second) FailDamaged();
        CPdfObject kids = node.GetDict().Lookup("Kids");
        if (!kids.IsArray()) FailDamaged();
        m_pending.push_back(PendingNode{kids, 0, inheritedRotate});
    }

    // May push a new node, so it takes the parent's inherited rotation by value.
    void VisitKid(CPdfObject kid, CPdfObject stored, int inheritedRotate) {
        if (!kid.IsDict()) FailDamaged();
        const int number = stored.IsRef() ? stored.GetRefNum() : 0;
        CPdfObject type = kid.GetDict().Lookup("Type");
        if (type.IsName("Page")) {
            RotationPageEntry page;
            page.objectNumber = stored.IsRef() ? number : -1;
            page.currentRotate = OwnRotate(kid, inheritedRotate);
            m_pages.push_back(page);
        } else if (type.IsName("Pages")) {
            Enter(kid, number, OwnRotate(kid, inheritedRotate));
        }
    }

    ProgressDots& m_progress;
    std::vector<PendingNode> m_pending;
    std::unordered_set<int> m_visitedNodes;
    std::vector<RotationPageEntry> m_pages;
};

}  // namespace

std::vector<RotationPageEntry> WalkPageTree(const CPdfObject& pagesNode, int pagesNumber,
                                            ProgressDots& progress) {
    return Walker(progress).Walk(pagesNode, pagesNumber);
}

}  // namespace turnelle
