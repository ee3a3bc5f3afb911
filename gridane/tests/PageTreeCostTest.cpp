// Pages that inherit their attributes from a node with many kids: each node is read once for
// all its pages, so a flat tree costs what a balanced one does. Counted in object reads, not
// timed.
#include <gtest/gtest.h>

#include <map>

#include "gridane/PageTree.h"
#include "gridane/merge/ResourceText.h"
#include "gridane/tests/ImposeHelpers.h"
#include "pdf/CPdfDocument.h"
#include "pdf/CPdfRawText.h"
#include "testing/PdfBuilder.h"
#include "testing/Scratch.h"
#include "testing/SheetCompare.h"
#include "testing/Tools.h"

namespace gridane {
namespace {

using namespace testing_support;

constexpr int kPages = 3000;

// Object 2, the root, holds every page as a kid and gives them MediaBox and Resources; page i
// is object 10 + 2i with its contents after it.
std::string FlatInheritingTree(int pages) {
    PdfBuilder pdf;
    std::string kids;
    for (int i = 0; i < pages; ++i) kids += std::to_string(10 + 2 * i) + " 0 R ";
    pdf.Object(1, "<< /Type /Catalog /Pages 2 0 R >>");
    pdf.Object(2,
               "<< /Type /Pages /MediaBox [0 0 612 792] /Resources << /Font << /F1 3 0 R >> >>"
               " /Kids [" +
                   kids + "] /Count " + std::to_string(pages) + " >>");
    pdf.Object(3, "<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica >>");
    for (int i = 0; i < pages; ++i) {
        pdf.Object(10 + 2 * i, "<< /Type /Page /Parent 2 0 R /Contents " +
                                   std::to_string(11 + 2 * i) + " 0 R >>");
        pdf.Stream(11 + 2 * i, "",
                   "BT /F1 96 Tf 100 400 Td (" + std::to_string(i + 1) +
                       ") Tj ET 0 0 1 rg 50 50 "
                       "512 40 re f");
    }
    return pdf.BuildWithTable("/Root 1 0 R");
}

class FlatTree : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        s_dir = new ScratchDir;
        WriteWholeFile(s_dir->File("flat.pdf"), FlatInheritingTree(kPages));
    }
    static void TearDownTestSuite() { delete s_dir; }
    static std::string Input() { return s_dir->File("flat.pdf"); }
    static ScratchDir* s_dir;
};

ScratchDir* FlatTree::s_dir = nullptr;

TEST_F(FlatTree, PageRecordsReadTheRootOnceForAllPages) {
    CPdfDocument document;
    document.Open(Input());
    CPdfXRef& xref = document.GetXRef();
    PageTree tree = ReadPageTree(xref, xref.GetRootNum());
    ASSERT_EQ(tree.pages.size(), static_cast<size_t>(kPages));
    EXPECT_LE(xref.RawTextReads(), 2u);
    const PageRecord& last = tree.pages.back();
    EXPECT_EQ(last.mediaBox.x2, 612);
    EXPECT_EQ(last.inheritedEntries, "/Resources << /Font << /F1 3 0 R >> >>\n");
}

// The merge steps' view of the input, counting how often each object's text is taken.
class CountingContext : public MergeContext {
  public:
    explicit CountingContext(CPdfXRef& xref) : m_xref(xref) {}
    CPdfXRef& InputXRef() override { return m_xref; }
    std::string InputRawText(int objectNumber) override {
        ++reads[objectNumber];
        return GetRawObjectText(m_xref, objectNumber).value_or(std::string());
    }
    int InputGeneration(int) override { return 0; }
    void WriteObject(int, int, std::string_view) override {}
    int WriteNewObject(const std::function<std::string(int)>&) override { return 0; }

    std::map<int, int> reads;

  private:
    CPdfXRef& m_xref;
};

TEST_F(FlatTree, InheritedResourcesReadEachNodeOnce) {
    CPdfDocument document;
    document.Open(Input());
    CountingContext context(document.GetXRef());
    ResourcesByNode inherited;
    for (int i = 0; i < kPages; ++i) {
        ASSERT_EQ(EffectiveResourcesText(context, 10 + 2 * i, &inherited),
                  "<< /Font << /F1 3 0 R >> >>");
    }
    EXPECT_EQ(context.reads[2], 1);
    EXPECT_EQ(context.reads[10], 1);
}

TEST_F(FlatTree, ImposesEveryPageWithWhatItInherits) {
    const std::string output = s_dir->File("out.pdf");
    ASSERT_EQ(test::Impose("", Input(), output), "");
    std::string report;
    EXPECT_TRUE(QpdfCheckClean(output, &report)) << report;
    ASSERT_EQ(PageCount(output), kPages / 2);
    PageRenders pages(Input(), 18);
    EXPECT_LT(SheetDifference(output, kPages / 2, pages,
                              GridPlacement({kPages - 1, kPages}, 2, 612, 792)),
              2.0);
}

}  // namespace
}  // namespace gridane
