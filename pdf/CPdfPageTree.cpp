#include "pdf/CPdfPageTree.h"

#include <string>

#include "pdf/CPdfXRef.h"

std::vector<const CPdfPageNode*> CPdfPageLeaf::Lineage() const {
    std::vector<const CPdfPageNode*> line{&node};
    for (int at = node.parent; at >= 0; at = walk.InnerNode(at).parent) {
        line.push_back(&walk.InnerNode(at));
    }
    return line;
}

void CPdfPageTreeWalk::Walk(const CPdfObject& root, CPdfPageTreeVisitor& visitor) {
    m_inner.clear();
    m_pending.clear();
    m_visited.assign(static_cast<size_t>(m_xref.GetSize()), false);
    m_cutKids.clear();
    Visit(root, -1, 0, 0, visitor);
    while (!m_pending.empty()) {
        Pending& pending = m_pending.back();
        CPdfArray& kids = pending.kids.GetArray();
        if (pending.nextKid >= kids.GetLength()) {
            m_pending.pop_back();
            continue;
        }
        const int position = pending.nextKid++;
        CPdfObject kid = kids.GetNF(position);
        // Visit may add to m_pending: take what it needs first.
        Visit(kid, pending.node, position, pending.depth + 1, visitor);
    }
}

void CPdfPageTreeWalk::Skip(const CPdfObject& stored, std::string_view why) {
    // A damaged tree may skip a node at every kid: past the cap a text would only be counted,
    // so it is not made.
    if (m_warnings.IsFull()) return m_warnings.Add({});
    std::string text = "page tree: ";
    if (stored.IsRef()) {
        text += "object ";
        text += std::to_string(stored.GetRefNum());
    } else {
        text += "a direct node";
    }
    text += ' ';
    text += why;
    text += "; skipped";
    m_warnings.Add(std::move(text));
}

void CPdfPageTreeWalk::Visit(const CPdfObject& stored, int parent, int kid, int depth,
                             CPdfPageTreeVisitor& visitor) {
    if (depth > kMaxDepth) return Skip(stored, "lies deeper than the tree may go");
    CPdfPageNode node;
    node.parent = parent;
    if (stored.IsRef()) {
        node.number = stored.GetRefNum();
        node.generation = stored.GetRefGen();
        if (node.number <= 0 || node.number >= m_xref.GetSize()) {
            return Skip(stored, "is not in the cross-reference table");
        }
        if (m_visited[static_cast<size_t>(node.number)]) {
            if (parent >= 0 && m_inner[static_cast<size_t>(parent)].number > 0)
                m_cutKids[m_inner[static_cast<size_t>(parent)].number].push_back(kid);
            return Skip(stored, "is reached a second time (a loop or a repeated kid)");
        }
        m_visited[static_cast<size_t>(node.number)] = true;
        node.dict = m_xref.Resolve(node.number, node.generation);
    } else {
        node.dict = stored;
    }
    if (!node.dict.IsDict()) return Skip(stored, "is not a dictionary");

    CPdfDict& dict = node.dict.GetDict();
    CPdfObject type = dict.Lookup("Type");
    CPdfObject kids = dict.Lookup("Kids");
    const bool isPage = type.IsName("Page");
    if (type.IsName() && !isPage && !type.IsName("Pages")) {
        return Skip(stored, std::string("has /Type /") + type.GetName());
    }
    if (!type.IsName() && !kids.IsArray()) {
        // Without a type, only what draws like a page is taken for one.
        bool pageLike =
            !dict.LookupDirect("Contents").IsNull() || !dict.LookupDirect("MediaBox").IsNull();
        if (!pageLike) return Skip(stored, "is neither a page nor a page-tree node");
    }
    if (isPage || !kids.IsArray()) {
        if (type.IsName("Pages")) return Skip(stored, "is a /Pages node without a /Kids array");
        visitor.Leaf(CPdfPageLeaf{node, *this});
        return;
    }
    m_inner.push_back(std::move(node));
    const int index = static_cast<int>(m_inner.size()) - 1;
    visitor.InnerNode(m_inner.back());
    m_pending.push_back(Pending{index, kids, 0, depth});
}
