// The page-tree walk both engines read their pages with: the leaf pages under the catalog's
// /Pages in document order, each with its line of ancestors, so that an engine can take the
// attributes a page inherits (boxes, rotation, resources) from the nearest node that gives
// them.
//
// One rule for damaged trees: a kid that is not a dictionary, a node reached a second time (a
// loop, or a kid listed twice), a /Pages node without a /Kids array, a kid of another /Type and
// a node deeper than kMaxDepth are skipped, each with a warning, and the walk goes on. Kids
// are read within their array's length; /Count is not read at all: the pages are the leaves
// found. A node is a leaf when its /Type is /Page, or when it has neither a /Type nor a /Kids
// array but a /Contents or /MediaBox of its own (an untyped dictionary with neither is
// skipped); it is an inner node when it has a /Kids array and is not a /Page.
#pragma once

#include <map>
#include <vector>

#include "pdf/CPdfObject.h"
#include "pdf/CPdfWarnings.h"

class CPdfXRef;

struct CPdfPageNode {
    int number = 0;  // object number as listed by its parent; 0 for a direct dictionary
    int generation = 0;
    CPdfObject dict;  // the node's dictionary
    int parent = -1;  // index of its parent among the walk's inner nodes; -1 for the root
};

class CPdfPageTreeWalk;

// A leaf page met by the walk; valid during the Leaf call only.
struct CPdfPageLeaf {
    const CPdfPageNode& node;
    const CPdfPageTreeWalk& walk;

    // The page's dictionary.
    CPdfDict& Dict() const { return node.dict.GetDict(); }
    // The page and its ancestors, nearest first: the page, its parent, ..., the root.
    std::vector<const CPdfPageNode*> Lineage() const;
};

class CPdfPageTreeVisitor {
  public:
    virtual ~CPdfPageTreeVisitor() = default;
    // Every inner node, before its kids. The n-th call (from 0) is the node its kids name as
    // their `parent` n, so a visitor can keep what each node passes on in a vector.
    virtual void InnerNode(const CPdfPageNode&) {}
    virtual void Leaf(const CPdfPageLeaf& leaf) = 0;
};

class CPdfPageTreeWalk {
  public:
    static constexpr int kMaxDepth = 256;

    // `warnings` receives what the walk skips; both must outlive the walk.
    CPdfPageTreeWalk(CPdfXRef& xref, CPdfWarnings& warnings) : m_xref(xref), m_warnings(warnings) {}

    // Walks the tree under `root` (the catalog's /Pages as stored: a reference or a direct
    // dictionary) and tells `visitor` of every inner node and leaf in document order. Only the
    // reader's own failures (an object stream too large to decode) raise CPdfException.
    void Walk(const CPdfObject& root, CPdfPageTreeVisitor& visitor);

    const CPdfPageNode& InnerNode(int index) const { return m_inner[static_cast<size_t>(index)]; }

    // The kids the walk cut because it reached them a second time (a loop back to an ancestor,
    // or a node listed twice): for each inner node object, their positions in its /Kids, in
    // order. A writer that copies the tree's nodes drops these kids, so that its output holds
    // the tree the walk read.
    const std::map<int, std::vector<int>>& CutKids() const { return m_cutKids; }

  private:
    struct Pending {
        int node;  // index in m_inner
        CPdfObject kids;
        int nextKid = 0;
        int depth = 0;
    };

    // Takes the node listed as `stored` under inner node `parent`: a leaf goes to the visitor,
    // an inner node onto the pending list, a bad node only into the warnings.
    // `kid` is its position in the parent's /Kids (0 for the root).
    void Visit(const CPdfObject& stored, int parent, int kid, int depth,
               CPdfPageTreeVisitor& visitor);
    void Skip(const CPdfObject& stored, std::string_view why);

    CPdfXRef& m_xref;
    CPdfWarnings& m_warnings;
    std::vector<CPdfPageNode> m_inner;
    std::vector<Pending> m_pending;
    std::vector<bool> m_visited;
    std::map<int, std::vector<int>> m_cutKids;
};
