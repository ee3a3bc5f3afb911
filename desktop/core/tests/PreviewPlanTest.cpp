// The preview's plan: the job's own steps in the preview's folder, why no preview is made, and
// how each page of the imposed file is labelled.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <map>
#include <string>
#include <vector>

#include "desktop/core/PreviewPlan.h"
#include "testing/Scratch.h"

namespace desktop {
namespace {

using EngineState = std::map<std::string, decltype(PropertyPut::value)>;

// What an engine holds after `puts`, put in order.
void Put(EngineState& state, const std::vector<PropertyPut>& puts) {
    for (const PropertyPut& put : puts) state[put.name] = put.value;
}

// The engine settings each engine step runs with: the run's one engine object keeps what
// earlier steps put; the preview's child for the step starts afresh.
std::vector<EngineState> RunEngineStates(const JobPlan& plan) {
    std::vector<EngineState> states;
    EngineState engine;
    for (const PlanStep& step : plan.steps) {
        if (step.kind != StepKind::DoubleAndTurn && step.kind != StepKind::Impose) continue;
        Put(engine, step.puts);
        states.push_back(engine);
    }
    return states;
}
std::vector<EngineState> ChildEngineStates(const JobPlan& plan) {
    std::vector<EngineState> states;
    for (const PlanStep& step : plan.steps) {
        if (step.kind != StepKind::DoubleAndTurn && step.kind != StepKind::Impose) continue;
        states.emplace_back();
        Put(states.back(), FreshEnginePuts(plan, step));
    }
    return states;
}

std::vector<StepKind> PictureSteps(const JobPlan& plan) {
    std::vector<StepKind> kinds;
    for (const PlanStep& step : plan.steps) {
        if (step.kind == StepKind::CleanInput || step.kind == StepKind::CleanOutput) continue;
        kinds.push_back(step.kind);
    }
    return kinds;
}

// The preview takes the input as the run does and gives each engine step the settings the run's
// engine holds at that step, across layouts, a rotation, doubling passes and conversions.
TEST(PreviewPlanTest, ThePreviewAndTheRunGiveEachEngineStepTheSameSettings) {
    testing_support::ScratchDir scratch;
    std::string pdfBytes = "%PDF-1.4\n";
    ConversionSettings textOff;
    textOff.txt = 0;
    struct Case {
        const char* name;
        void (*change)(JobSetup&);
        const char* input;
        std::string bytes;
        ConversionSettings conversion;
        InputRoute route;
    };
    const Case cases[] = {
        {"2-up", [](JobSetup&) {}, "in.pdf", pdfBytes, {}, InputRoute::AsIs},
        {"4-up turned",
         [](JobSetup& s) {
             s.processingType = "4up";
             s.rotateNone = kNotChosen;
             s.rotateOdd = kChosen;
         },
         "in.pdf",
         pdfBytes,
         {},
         InputRoute::AsIs},
        {"doubled, right half turned",
         [](JobSetup& s) {
             s.duplicate = 1;
             s.dupRotateRight = 1;
             s.sheet = "A3";
         },
         "in.pdf",
         pdfBytes,
         {},
         InputRoute::AsIs},
        {"doubled both ways after a rotation",
         [](JobSetup& s) {
             s.duplicate = s.dupRotateLeft = s.dupRotateRight = 1;
             s.rotateNone = kNotChosen;
             s.rotateAll = kChosen;
         },
         "in.pdf",
         pdfBytes,
         {},
         InputRoute::AsIs},
        {"a PDF under an office name",
         [](JobSetup&) {},
         "letter.docx",
         pdfBytes,
         {},
         InputRoute::AsIs},
        {"text converted", [](JobSetup&) {}, "notes.txt", "text\n", {}, InputRoute::Convert},
        {"text with its conversion off", [](JobSetup&) {}, "notes.txt", "text\n", textOff,
         InputRoute::AsIs},
        {"a kind no converter takes",
         [](JobSetup&) {},
         "data.xyz",
         "?",
         {},
         InputRoute::NoConverter},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        JobSetup setup;
        c.change(setup);
        setup.inFile = scratch.File(c.input);
        testing_support::WriteWholeFile(setup.inFile, c.bytes);
        PreviewPlan preview = PlanPreview(setup, scratch.Path(), 1, c.conversion);
        EXPECT_EQ(preview.route, c.route);
        EXPECT_EQ(RouteOfInput(setup.inFile, c.conversion), c.route);
        EXPECT_EQ(PreviewRefusal(preview).empty(), c.route == InputRoute::AsIs)
            << PreviewRefusal(preview);

        PageFacts facts{.needsConversion = c.route == InputRoute::Convert};
        JobPlan run = PlanJob(setup, facts, {"/w/", "in.pdf", "out.pdf", true});
        EXPECT_EQ(PictureSteps(preview.plan), PictureSteps(run));
        EXPECT_EQ(ChildEngineStates(preview.plan), RunEngineStates(run));
        for (StepKind turn : {StepKind::Rotate, StepKind::DoubleAndTurn}) {
            const PlanStep* runStep = run.Find(turn);
            const PlanStep* previewStep = preview.plan.Find(turn);
            ASSERT_EQ(runStep == nullptr, previewStep == nullptr);
            if (runStep) {
                EXPECT_EQ(runStep->rotation, previewStep->rotation);
            }
        }
    }
}

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
              "Name an input file to see its sheets here.");
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

TEST(PreviewPlanTest, PagesAreLabelledAsTheEngineWritesThem) {
    JobSetup setup;
    setup.inFile = "/in/a.pdf";
    // 8 pages, 3 to 6 imposed 2-up: two kept, two sheets, two kept.
    setup.startPage = 3;
    setup.endPage = 6;
    PreviewPlan preview = PlanPreview(setup, "/tmp/p", 1);
    std::vector<std::string> captions;
    for (int k = 0; k < 6; ++k) captions.push_back(PageCaption(preview, k, 8, 6));
    EXPECT_EQ(captions,
              (std::vector<std::string>{"Page 1 as it is", "Page 2 as it is", "Sheet 1", "Sheet 2",
                                        "Page 7 as it is", "Page 8 as it is"}));
    // A booklet's sides are the fronts and backs of its sheets.
    setup = JobSetup();
    setup.duplex2Up = kChosen;
    setup.ChooseOrder(DuplexOrder::Order8127);
    preview = PlanPreview(setup, "/tmp/p", 1);
    EXPECT_EQ(PageCaption(preview, 0, 8, 4), "Sheet 1 front");
    EXPECT_EQ(PageCaption(preview, 3, 8, 4), "Sheet 2 back");
    // A range past the end, or an input of unknown length, keeps no page.
    setup = JobSetup();
    setup.startPage = 20;
    preview = PlanPreview(setup, "/tmp/p", 1);
    EXPECT_EQ(PageCaption(preview, 0, 8, 4), "Sheet 1");
    setup.startPage = 3;
    preview = PlanPreview(setup, "/tmp/p", 1);
    EXPECT_EQ(PageCaption(preview, 0, -1, 4), "Sheet 1");
    // A doubling pass imposes its doubled file whole.
    setup.duplicate = 1;
    setup.dupRotateLeft = 1;
    preview = PlanPreview(setup, "/tmp/p", 1);
    EXPECT_EQ(PageCaption(preview, 0, 8, 8), "Sheet 1");
}

}  // namespace
}  // namespace desktop
