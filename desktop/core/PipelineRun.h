// The state of one ProcessFile call, shared by the preparing steps (Pipeline.cpp) and the
// engine steps (PipelineEngines.cpp). Internal to the pipeline.
//
// The call owns everything it changes: the input it works on, its private work folder (and
// every file in it), the attempt (with or without cleaning) and what it has to tell the user.
#pragma once

#include <optional>
#include <string>

#include "desktop/core/JobPlan.h"
#include "desktop/core/Pipeline.h"
#include "desktop/core/StepEngines.h"
#include "platform/WorkFolder.h"

namespace desktop {

class PipelineRun {
  public:
    PipelineRun(PipelineContext& context, const ProcessRequest& request);
    PipelineRun(const PipelineRun&) = delete;
    PipelineRun& operator=(const PipelineRun&) = delete;

    int Run();
    const ProcessReport& Report() const { return m_report; }

  private:
    // A step ends the call with a result, asks for the retry without cleaning, or goes on.
    static constexpr int kRetry = -1;
    using StepResult = std::optional<int>;

    StepResult CheckNames();
    StepResult CheckWorkFolder();
    StepResult Convert();
    // A protected PDF input continues as its unencrypted copy in the work folder.
    StepResult Unlock();
    void CountPages();
    int Attempt(bool cleaning);
    StepResult Walk(const JobPlan& plan);
    StepResult Take(const JobPlan& plan, const PlanStep& step);
    StepResult Pad(const PlanStep& step);
    StepResult CleanInput(const PlanStep& step);
    // The engine steps (PipelineEngines.cpp).
    StepAnswer RunEngine(const JobPlan& plan, const PlanStep& step);
    StepResult Rotate(const JobPlan& plan, const PlanStep& step);
    StepResult DoubleAndTurn(const JobPlan& plan, const PlanStep& step);
    StepResult Redistill(const PlanStep& step);
    StepResult Impose(const JobPlan& plan, const PlanStep& step);
    void CleanOutput(const JobPlan& plan, const PlanStep& step);
    void Reorder(const JobPlan& plan);
    int Finish(const JobPlan& plan);
    // Runs a step's engine calls, turning a failing call into its result code.
    template <class Calls>
    StepResult Guarded(Calls calls);

    void ShowStep(StepKind kind);
    void Progress(int position);
    bool Cancelled();
    int Cancel();
    // Shows `text` in a single call, or makes it the row's status in a batch call.
    void Tell(const std::string& text);
    void Note(const std::string& text);

    PipelineContext& m_context;
    ProcessRequest m_request;
    const JobSetup& m_setup;
    platform::WorkFolder m_work;
    std::string m_input;   // the user's input
    std::string m_output;  // the user's output
    PageFacts m_facts;
    std::string m_pdfInput;  // the input as a PDF (converted when it was not one)
    std::string m_current;   // what the next step reads
    bool m_cancelled = false;
    bool m_enginesStarted = false;
    ProcessReport m_report;
};

}  // namespace desktop
