// The job plan: which steps a setup calls for, in which order, with which settings and files;
// and the one reading of the imposition engine's status.
#include <gtest/gtest.h>

#include "desktop/core/EngineStatus.h"
#include "desktop/core/JobPlan.h"
#include "platform/TempFileName.h"

namespace desktop {
namespace {

std::vector<StepKind> Kinds(const JobPlan& plan) {
    std::vector<StepKind> kinds;
    for (const PlanStep& step : plan.steps) kinds.push_back(step.kind);
    return kinds;
}

const PlanOptions kOptions{"/tmp/w/", "in.pdf", "out.pdf", true};

TEST(JobPlanTest, StepsFollowTheSetupInRunOrder) {
    JobSetup setup;
    EXPECT_EQ(Kinds(PlanJob(setup, {}, kOptions)),
              (std::vector{StepKind::CleanInput, StepKind::Impose, StepKind::CleanOutput}));
    // The retry plan, and a job that asks for no cleaning, have no cleaning steps.
    EXPECT_EQ(Kinds(PlanJob(setup, {}, {"/tmp/w/", "in.pdf", "out.pdf", false})),
              std::vector{StepKind::Impose});

    setup.dontCleanFile = 1;
    setup.noPagesBlank = 2;
    setup.rotateNone = kNotChosen;
    setup.rotateOdd = kChosen;
    setup.duplicate = 1;
    setup.dupRotateRight = 1;
    setup.processingType = std::string(kLayoutSplitVertical);
    setup.reorder1 = 1;
    EXPECT_EQ(Kinds(PlanJob(setup, {.needsConversion = true}, kOptions)),
              (std::vector{StepKind::Convert, StepKind::Pad, StepKind::Rotate,
                           StepKind::DoubleAndTurn, StepKind::Impose, StepKind::Reorder}));
}

TEST(JobPlanTest, StepsCarryTheirSettingsAndWriteOnlyInTheWorkFolder) {
    JobSetup setup;
    setup.rotateNone = kNotChosen;
    setup.rotateEven = kChosen;
    setup.processingType = "4up";
    JobPlan plan = PlanJob(setup, {}, kOptions);
    EXPECT_EQ(plan.output, "/tmp/w/output/out.pdf");
    EXPECT_EQ(plan.Find(StepKind::Rotate)->rotation, RotationSettings(setup));
    EXPECT_EQ(plan.Find(StepKind::Impose)->puts, GridanePuts(setup));
    EXPECT_EQ(plan.Find(StepKind::CleanInput)->cleaningScript, "koblin");
    for (const PlanStep& step : plan.steps) {
        EXPECT_EQ(step.file.rfind("/tmp/w/", 0), 0u) << StepName(step.kind);
    }

    // The doubling pass puts everything before its pre-pass; the imposition after it puts
    // only what imposes the doubled file, so the pre-pass's settings are not put back.
    setup.duplicate = 1;
    setup.dupRotateLeft = 1;
    plan = PlanJob(setup, {}, kOptions);
    std::vector<PropertyPut> before = GridanePuts(setup);
    for (const PropertyPut& put : DoublingPuts(setup)) before.push_back(put);
    EXPECT_EQ(plan.Find(StepKind::DoubleAndTurn)->puts, before);
    EXPECT_EQ(plan.Find(StepKind::DoubleAndTurn)->rotation, DoublingRotationSettings(setup));
    EXPECT_EQ(plan.Find(StepKind::Impose)->puts, AfterDoublingPuts());
}

// The test sheet runs the job's steps up to the imposition, without cleaning; the imposition
// writes it.
TEST(JobPlanTest, ACalibrationImposesTheTestSheetAndStopsThere) {
    JobSetup setup;
    setup.noPagesBlank = 2;
    setup.duplicate = setup.dupRotateLeft = 1;
    setup.processingType = std::string(kLayoutSplitVertical);
    setup.reorder1 = 1;
    PlanOptions options = kOptions;
    options.calibration = true;
    JobPlan plan = PlanJob(setup, {}, options);
    EXPECT_EQ(Kinds(plan), (std::vector{StepKind::Pad, StepKind::DoubleAndTurn, StepKind::Impose}));
    EXPECT_FALSE(plan.cleaning);
    std::vector<PropertyPut> impose = AfterDoublingPuts();
    impose.push_back(CalibrationPut());
    EXPECT_EQ(plan.Find(StepKind::Impose)->puts, impose);
}

TEST(JobPlanTest, PaddingComesFromThePageFacts) {
    JobSetup setup;
    setup.automaticAddBlanks = 1;
    setup.duplex2Up = kChosen;
    EXPECT_EQ(PlanJob(setup, {.pageCount = 6}, kOptions).Find(StepKind::Pad)->blanks, 2);
    EXPECT_TRUE(PlanJob(setup, {}, kOptions).Find(StepKind::Pad)->blanksNeedCount);
    // A count that failed pads nothing.
    EXPECT_EQ(PlanJob(setup, {.pageCount = -3}, kOptions).Find(StepKind::Pad)->blanks, 0);
    setup = JobSetup();
    setup.noPagesBlank = 3;
    JobPlan plan = PlanJob(setup, {}, kOptions);
    const PlanStep* pad = plan.Find(StepKind::Pad);
    EXPECT_EQ(pad->blanks, 3);
    EXPECT_EQ(pad->file, "/tmp/w/blanks_in.pdf.pdf");
}

TEST(EngineStatusTest, OnlyTheEnginesOwnPrePassNameIsNoFailure) {
    std::string output = "/w/output/out.pdf";
    EXPECT_EQ(ClassifyEngineStatus("", output), EngineOutcome::Done);
    EXPECT_EQ(ClassifyEngineStatus(MakeTempFileNameBeside(output), output),
              EngineOutcome::PrePassFile);
    for (const std::string& status : std::vector<std::string>{
             "Output file create error: '/nonexistent/contemporary.pdf'",
             "/w/output/wout.pdfoutput.pdf_temp_x", MakeTempFileNameBeside("/elsewhere/out.pdf"),
             MakeTempFileName(output), MakeTempFileNameBeside(output) + "/x"}) {
        EXPECT_EQ(ClassifyEngineStatus(status, output), EngineOutcome::Failure) << status;
    }
}

}  // namespace
}  // namespace desktop
