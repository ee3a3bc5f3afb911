// The run-time binding of the DPL library, and the split-page reordering through it, on PDF
// files made by Ghostscript.
#include <gtest/gtest.h>

#include <filesystem>

#include "pdfbinding/PdfLibraryBinding.h"
#include "pdfbinding/ReorderSplitPages.h"
#include "testing/FailingDisk.h"
#include "testing/RealFiles.h"
#include "testing/Scratch.h"
#include "testing/Tools.h"

using testing_support::ScratchDir;

namespace {

// The page numbers printed on the pages of `pdf`, in page order.
std::vector<int> PrintedPageNumbers(const std::string& pdf) {
    std::vector<int> numbers;
    int count = testing_support::PageCount(pdf);
    for (int page = 1; page <= count; ++page) {
        numbers.push_back(std::stoi(testing_support::PageText(pdf, page)));
    }
    return numbers;
}

std::string NumberedPdf(const ScratchDir& dir, int pages) {
    std::string pdf = dir.File("split.pdf");
    testing_support::PdfFromPostScript(testing_support::NumberedPagesPostScript(pages, 300, 400),
                                       pdf);
    return pdf;
}

}  // namespace

TEST(PdfLibraryBinding, BindsEveryEntryPointAndMakesAnInstance) {
    PdfLibraryBinding pdf;
    ASSERT_TRUE(pdf.IsUsable()) << (pdf.MissingNames().empty() ? "" : pdf.MissingNames()[0]);
    EXPECT_GT(pdf.InstanceId(), 0);
    EXPECT_TRUE(pdf.MissingNames().empty());
    EXPECT_GT(pdf.DPLNewDocument(pdf.InstanceId()), 0);
    EXPECT_EQ(pdf.DPLPageCount(pdf.InstanceId()), 1);
    // Two bindings hold two independent instances.
    PdfLibraryBinding other;
    ASSERT_TRUE(other.IsUsable());
    EXPECT_NE(other.InstanceId(), pdf.InstanceId());
    EXPECT_EQ(other.DPLPageCount(other.InstanceId()), 0);
}

TEST(PdfLibraryBinding, MissingLibraryIsUnusable) {
    PdfLibraryBinding pdf("nosuchlibrary.dll");
    EXPECT_FALSE(pdf.IsUsable());
    EXPECT_EQ(pdf.InstanceId(), 0);
    EXPECT_EQ(pdf.DPLCreateLibrary, nullptr);
}

TEST(PdfLibraryBinding, LibraryWithoutTheEntryPointsIsUnusableAndEveryMissingNameIsKnown) {
    // The padding library loads fine but exports none of the DPL names.
    PdfLibraryBinding pdf("Padwick.dll");
    EXPECT_FALSE(pdf.IsUsable());
    EXPECT_EQ(pdf.InstanceId(), 0);
#define COUNT_ENTRY_POINT(name) +1
    EXPECT_EQ(pdf.MissingNames().size(), 0u DPL_FOR_EACH_ENTRY_POINT(COUNT_ENTRY_POINT));
#undef COUNT_ENTRY_POINT
    EXPECT_EQ(pdf.MissingNames().front(), "DPLCreateLibrary");
    EXPECT_EQ(pdf.MissingNames().back(), "DPLFitImage");
}

TEST(ReorderSplitPages, EightPagesComeInReadingOrder) {
    ScratchDir dir;
    std::string pdf = NumberedPdf(dir, 8);
    ASSERT_EQ(ReorderSplitPages(pdf), kReorderDone);
    std::string report;
    EXPECT_TRUE(testing_support::QpdfCheck(pdf, &report)) << report;
    EXPECT_EQ(PrintedPageNumbers(pdf), (std::vector<int>{2, 3, 6, 7, 8, 5, 4, 1}));
    EXPECT_EQ(testing_support::FileNamesIn(dir.Path()).size(), 1u);
    testing_support::PageSize size = testing_support::PdfPageSize(pdf, 1);
    EXPECT_DOUBLE_EQ(size.width, 300);
    EXPECT_DOUBLE_EQ(size.height, 400);
}

TEST(ReorderSplitPages, OnlyWholeSheetsAreReordered) {
    // Six pages would come out as 2 3 6 6 3 2: some pages twice, others lost.
    for (int pages : {1, 6}) {
        ScratchDir dir;
        std::string pdf = NumberedPdf(dir, pages);
        std::string before = testing_support::ReadWholeFile(pdf);
        EXPECT_EQ(ReorderSplitPages(pdf), kReorderNotWholeSheets);
        EXPECT_EQ(testing_support::ReadWholeFile(pdf), before);
        EXPECT_EQ(testing_support::FileNamesIn(dir.Path()).size(), 1u);
    }
}

TEST(ReorderSplitPages, FailuresLeaveTheFileAsItWas) {
    ScratchDir dir;
    std::string pdf = NumberedPdf(dir, 4);
    std::string before = testing_support::ReadWholeFile(pdf);

    PdfLibraryBinding missing("nosuchlibrary.dll");
    EXPECT_EQ(ReorderSplitPages(missing, pdf), kReorderLibraryUnusable);
    EXPECT_EQ(ReorderSplitPages(dir.File("absent.pdf")), kReorderCannotLoad);
    {
        // The reordered file cannot be written whole: the file must stay as it was.
        testing_support::ScopedFileSizeLimit limit(before.size() / 2);
        EXPECT_EQ(ReorderSplitPages(pdf), kReorderCannotSave);
    }
    EXPECT_EQ(testing_support::ReadWholeFile(pdf), before);
    EXPECT_EQ(testing_support::FileNamesIn(dir.Path()), (std::vector<std::string>{"split.pdf"}));
}
