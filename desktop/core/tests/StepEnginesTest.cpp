// The one carrying-out of a plan's engine steps with its two back ends: the session's engine
// objects (the run) and the engines' programs as children (the preview) must write the same
// files for the same plan, the doubling pass and a rotation included; and an engine's failure
// is told the same way by both.
#include "desktop/core/StepEngines.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "desktop/core/ChildEngines.h"
#include "desktop/core/tests/PipelineFixture.h"
#include "testing/Tools.h"

namespace desktop_test {
namespace {

using desktop::StepAnswer;
using namespace testing_support;

class StepEnginesTest : public PipelineTest {
  protected:
    // Walks `setup`'s engine steps on `input` in `folder` with `engines`; the last answer.
    StepAnswer Walk(desktop::StepEngines& engines, const desktop::JobSetup& setup,
                    const std::string& input, const std::string& folder) {
        std::filesystem::create_directories(folder + "/output");
        desktop::JobPlan plan = desktop::PlanJob(setup, {}, {folder + "/", "in", "out", false});
        StepAnswer answer;
        answer.product = input;
        for (const desktop::PlanStep& step : plan.steps) {
            answer = desktop::RunEngineStep(engines, plan, step, answer.product);
            if (answer.kind != StepAnswer::Kind::Done) break;
        }
        return answer;
    }

    // The answers of both back ends for `setup` on `input`.
    std::pair<StepAnswer, StepAnswer> BothWays(const desktop::JobSetup& setup,
                                               const std::string& input) {
        UseEngines(false);
        desktop::InProcessEngines inProcess(*m_engines, m_ui);
        StepAnswer run = Walk(inProcess, setup, input, File("run"));
        desktop::StepPrograms programs{BuildDir() + "/bin/gridane", BuildDir() + "/bin/turnelle"};
        desktop::StartChild start =
            desktop::ChildrenIn(File("child-output.txt"), [] { return false; });
        desktop::ChildEngines children(programs, start, File("child-temp"));
        StepAnswer preview = Walk(children, setup, input, File("preview"));
        return {run, preview};
    }
};

TEST_F(StepEnginesTest, BothBackEndsWriteTheSameFilesAndTellTheSameFailures) {
    const std::string pages = MakeInput("in.pdf", 6);
    const std::string broken = File("broken.pdf");
    WriteWholeFile(broken, "%PDF-1.4\nnot a document at all\n");
    struct Case {
        const char* name;
        std::function<void(desktop::JobSetup&)> arrange;
        const std::string& input;
        StepAnswer::Kind kind;
    };
    const Case cases[] = {
        {"booklet, pages turned",
         [](desktop::JobSetup& s) {
             s.duplex2Up = desktop::kChosen;
             s.ChooseOrder(desktop::DuplexOrder::Order8127);
             s.rotateNone = desktop::kNotChosen;
             s.rotateAll = desktop::kChosen;
         },
         pages, StepAnswer::Kind::Done},
        {"doubling pass onto A3",
         [](desktop::JobSetup& s) {
             s.duplicate = 1;
             s.dupRotateRight = 1;
             s.sheet = "A3";
         },
         pages, StepAnswer::Kind::Done},
        {"damaged input", [](desktop::JobSetup&) {}, broken, StepAnswer::Kind::ImposeFailed},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        desktop::JobSetup setup;
        c.arrange(setup);
        auto [run, preview] = BothWays(setup, c.input);
        ASSERT_EQ(run.kind, c.kind) << run.text;
        ASSERT_EQ(preview.kind, c.kind) << preview.text;
        if (c.kind == StepAnswer::Kind::Done) {
            EXPECT_TRUE(QpdfCheckClean(run.product));
            EXPECT_EQ(ReadWholeFile(run.product), ReadWholeFile(preview.product));
        } else {
            // The child's message is the engine's own, as the object returns it.
            EXPECT_NE(preview.text.find(run.text.substr(0, run.text.find('\n'))), std::string::npos)
                << run.text << " / " << preview.text;
        }
    }
}

}  // namespace
}  // namespace desktop_test
