// The page-tree walk on small damaged trees: every bad node is skipped once with a warning,
// the walk goes on with the rest, and pages inherit from the nodes above them.
#include <gtest/gtest.h>

#include "ReaderTestSupport.h"
#include "pdf/CPdfPageTree.h"
#include "testing/PdfBuilder.h"

using pdf_test::OpenedBytes;
using testing_support::PdfBuilder;

namespace {

struct Walked {
    std::vector<int> pages;      // object numbers of the leaves, in order
    std::vector<int> rotations;  // the nearest /Rotate of each leaf (0 when none)
    std::vector<std::string> warnings;
    size_t dropped = 0;
};

class Collector : public CPdfPageTreeVisitor {
  public:
    explicit Collector(Walked& walked) : m_walked(walked) {}
    void Leaf(const CPdfPageLeaf& leaf) override {
        m_walked.pages.push_back(leaf.node.number);
        int rotation = 0;
        for (const CPdfPageNode* node : leaf.Lineage()) {
            CPdfObject rotate = node->dict.GetDict().Lookup("Rotate");
            if (rotate.IsInt()) {
                rotation = rotate.GetInt();
                break;
            }
        }
        m_walked.rotations.push_back(rotation);
    }

  private:
    Walked& m_walked;
};

// Walks the tree of a file whose objects 2 on are `objects` (object 1 is the catalog).
Walked Walk(const std::vector<std::string>& objects) {
    PdfBuilder b;
    b.Object(1, "<< /Type /Catalog /Pages 2 0 R >>");
    for (size_t i = 0; i < objects.size(); ++i) b.Object(static_cast<int>(i) + 2, objects[i]);
    OpenedBytes opened(b.BuildWithTable("/Root 1 0 R"));
    Walked walked;
    Collector collector(walked);
    CPdfXRef& xref = opened.XRef();
    CPdfPageTreeWalk(xref, opened.Document().Warnings()).Walk(CPdfObject::MakeRef(2, 0), collector);
    walked.warnings = opened.Document().Warnings().Items();
    walked.dropped = opened.Document().Warnings().Dropped();
    return walked;
}

const std::string kPage = "<< /Type /Page /Parent 2 0 R >>";

TEST(PageTreeWalk, PagesInDocumentOrderWithInheritedRotation) {
    Walked w = Walk({"<< /Type /Pages /Kids [3 0 R 4 0 R 6 0 R] /Rotate 90 >>", kPage,
                     "<< /Type /Pages /Kids [5 0 R] /Rotate 180 >>", kPage,
                     "<< /Type /Page /Rotate 270 >>"});
    EXPECT_EQ(w.pages, (std::vector<int>{3, 5, 6}));
    EXPECT_EQ(w.rotations, (std::vector<int>{90, 180, 270}));
    EXPECT_TRUE(w.warnings.empty());
}

TEST(PageTreeWalk, LoopsAndRepeatedKidsAreVisitedOnce) {
    // 4 lists the root again and itself; page 3 is listed twice.
    Walked w = Walk({"<< /Type /Pages /Kids [3 0 R 4 0 R 3 0 R] /Count 99 >>", kPage,
                     "<< /Type /Pages /Kids [2 0 R 4 0 R 5 0 R] >>", kPage});
    EXPECT_EQ(w.pages, (std::vector<int>{3, 5}));
    EXPECT_EQ(
        w.warnings,
        (std::vector<std::string>{
            "page tree: object 2 is reached a second time (a loop or a repeated kid); skipped",
            "page tree: object 4 is reached a second time (a loop or a repeated kid); skipped",
            "page tree: object 3 is reached a second time (a loop or a repeated kid); skipped"}));
}

TEST(PageTreeWalk, BadNodesAreSkippedAndTheRestWalked) {
    Walked w = Walk({"<< /Type /Pages /Kids [3 0 R 4 0 R 5 0 R 6 0 R 7 0 R 99 0 R 8 0 R (x)] >>",
                     "[/not a dictionary]", "<< /Type /Pages /Count 3 >>",
                     "<< /Type /Annot /Subtype /Link >>", "<< /Note (neither) >>",
                     "<< /Contents 9 0 R >>", kPage, "<< /Length 0 >>"});
    // 7 has no type but contents of its own: a page; 8 is a page by its type.
    EXPECT_EQ(w.pages, (std::vector<int>{7, 8}));
    EXPECT_EQ(w.warnings, (std::vector<std::string>{
                              "page tree: object 3 is not a dictionary; skipped",
                              "page tree: object 4 is a /Pages node without a /Kids array; skipped",
                              "page tree: object 5 has /Type /Annot; skipped",
                              "page tree: object 6 is neither a page nor a page-tree node; skipped",
                              "page tree: object 99 is not in the cross-reference table; skipped",
                              "page tree: a direct node is not a dictionary; skipped"}));
}

TEST(PageTreeWalk, DepthIsBoundedAndWarningsCapped) {
    // A chain of nodes deeper than the walk goes, each holding one page.
    std::vector<std::string> objects;
    const int depth = CPdfPageTreeWalk::kMaxDepth + 20;
    for (int k = 0; k < depth; ++k) {
        int self = k + 2;
        objects.push_back("<< /Type /Pages /Kids [" + std::to_string(self + 1) + " 0 R] >>");
    }
    objects.push_back(kPage);
    Walked w = Walk(objects);
    EXPECT_TRUE(w.pages.empty());
    ASSERT_EQ(w.warnings.size(), 1u);
    EXPECT_EQ(w.warnings[0], "page tree: object " +
                                 std::to_string(CPdfPageTreeWalk::kMaxDepth + 3) +
                                 " lies deeper than the tree may go; skipped");

    // Many bad kids: the list keeps its cap and counts the rest.
    std::string kids;
    for (int k = 0; k < 80; ++k) kids += "3 0 R ";
    w = Walk({"<< /Type /Pages /Kids [" + kids + "] >>", kPage});
    EXPECT_EQ(w.pages, (std::vector<int>{3}));
    EXPECT_EQ(w.warnings.size(), CPdfWarnings::kDefaultCap);
    EXPECT_EQ(w.dropped, 79 - CPdfWarnings::kDefaultCap);
}

}  // namespace
