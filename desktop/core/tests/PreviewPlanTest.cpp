// The preview's plan: the job's own steps in the preview's folder, why no preview is made, and
// which pages of the imposed file are shown.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "desktop/core/PreviewPlan.h"
#include "testing/Scratch.h"

namespace desktop {
namespace {

TEST(PreviewPlanTest, TheJobsStepsWithoutCleaningInTheGenerationsFolder) {
    JobSetup setup;
    setup.inFile = "/in/a b.pdf";
    setup.startPage = 3;
    setup.rotateNone = kNotChosen;
    setup.rotateAll = kChosen;
    PreviewPlan preview = PlanPreview(setup, "/tmp/p", 7);
    EXPECT_EQ(preview.input, "/in/a b.pdf");
    EXPECT_EQ(preview.firstPage, 3);
    EXPECT_FALSE(preview.plan.cleaning);
    EXPECT_EQ(preview.plan.Find(StepKind::CleanInput), nullptr);
    ASSERT_NE(preview.plan.Find(StepKind::Rotate), nullptr);
    for (const PlanStep& step : preview.plan.steps) {
        if (!step.file.empty()) {
            EXPECT_EQ(step.file.rfind("/tmp/p/7/", 0), 0u) << step.file;
        }
    }
    EXPECT_EQ(preview.plan.output.rfind("/tmp/p/7/", 0), 0u);
    // A booklet shows both sides of its first sheet.
    setup.duplex2Up = kChosen;
    EXPECT_TRUE(PlanPreview(setup, "/tmp/p", 8).sheets.frontAndBack);
}

TEST(PreviewPlanTest, SaysWhyNoPreviewIsMade) {
    testing_support::ScratchDir scratch;
    JobSetup setup;
    EXPECT_EQ(PreviewRefusal(PlanPreview(setup, scratch.Path(), 1)),
              "Name an input file to see its first sheets here.");
    setup.inFile = scratch.File("missing.pdf");
    EXPECT_EQ(PreviewRefusal(PlanPreview(setup, scratch.Path(), 1))
                  .rfind("The input can not be read:", 0),
              0u);
    setup.inFile = scratch.Path();  // a folder
    EXPECT_NE(PreviewRefusal(PlanPreview(setup, scratch.Path(), 1)), "");
    setup.inFile = scratch.File("letter.txt");
    testing_support::WriteWholeFile(setup.inFile, "text\n");
    EXPECT_EQ(
        PreviewRefusal(PlanPreview(setup, scratch.Path(), 1)).rfind("The preview shows PDF", 0),
        0u);
    setup.inFile = scratch.File("in.pdf");
    testing_support::WriteWholeFile(setup.inFile, "%PDF-1.4\n");
    EXPECT_EQ(PreviewRefusal(PlanPreview(setup, scratch.Path(), 1)), "");
    if (::geteuid() != 0) {  // root reads every file
        ::chmod(setup.inFile.c_str(), 0);
        EXPECT_NE(PreviewRefusal(PlanPreview(setup, scratch.Path(), 1)), "");
    }
}

TEST(PreviewPlanTest, ShownPagesFollowThePagesKeptBeforeTheRange) {
    JobSetup setup;
    setup.inFile = "/in/a.pdf";
    setup.processingType = std::string(kLayoutSplitVertical);
    setup.startPage = 3;
    PreviewPlan preview = PlanPreview(setup, "/tmp/p", 1);
    ShownPages pages = PagesToShow(preview, 10);
    EXPECT_EQ(pages.first, 2);
    EXPECT_EQ(pages.count, 2);
    pages = PagesToShow(preview, 3);  // one sheet after the pages kept
    EXPECT_EQ(pages.first, 2);
    EXPECT_EQ(pages.count, 1);
    pages = PagesToShow(preview, 2);  // a range past the end shows from the start
    EXPECT_EQ(pages.first, 0);
    EXPECT_EQ(pages.count, 2);
    EXPECT_EQ(PagesToShow(preview, 0).count, 0);
}

}  // namespace
}  // namespace desktop
