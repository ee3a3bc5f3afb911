// The state of one ProcessFile call, shared by the preparing steps (PipelineRun.cpp) and the
// engine steps (PipelineEngines.cpp). Internal to the pipeline.
#pragma once

#include <optional>
#include <set>
#include <string>
#include <string_view>

#include "desktop/core/Pipeline.h"
#include "platform/WorkFolder.h"

namespace desktop {

class PipelineRun {
  public:
    PipelineRun(PipelineContext& context, const ProcessRequest& request);
    ~PipelineRun();  // removes every working file the call made
    PipelineRun(const PipelineRun&) = delete;
    PipelineRun& operator=(const PipelineRun&) = delete;

    int Run();

  private:
    // An attempt ends with a result, or asks for the retry without cleaning.
    static constexpr int kRetry = -1;

    int Attempt();
    // Steps before the engines; a result code when the call ends there.
    std::optional<int> CheckNames();
    std::optional<int> Convert();
    std::optional<int> Pad();
    void CleanInput();
    // Steps from the rotation to the outcome (PipelineEngines.cpp).
    int RunEngines();
    std::optional<int> Rotate();
    std::optional<int> Double();
    std::string Impose();
    void CleanOutput();
    int Outcome(std::string status);
    void ReorderSplitOutput();
    // Failure of a guarded region: COM failures give 5, any other 6.
    int ComFailure(const std::string& text);
    int OtherFailure();

    void Progress(int position);
    // Shows `text` in a single call, or makes it the row's status in a batch call.
    void Report(const std::string& text);
    void Message(const std::string& text);
    // Registers a file this call makes outside its working folder, for removal at the end.
    void Made(const std::string& path) { m_madeFiles.insert(path); }
    void Remove(const std::string& path);

    PipelineContext& m_context;
    ProcessRequest m_request;
    JobSetup& m_setup;
    platform::WorkFolder m_work;
    std::string m_callOutFile;  // OUTFILE as the call found it: each attempt starts from it
    std::string m_callInFile;   // INFILE after the override: the retry starts from it too
    bool m_firstAttempt = true;

    // Per attempt.
    bool m_cleaningRan = false;
    bool m_rotationRan = false;
    bool m_doublingRan = false;
    std::string m_restoreName;
    std::string m_keptInput;
    std::string m_rotationFile;
    std::string m_doublingFile;
    std::set<std::string> m_madeFiles;
};

bool ContainsTemp(std::string_view status);

}  // namespace desktop
