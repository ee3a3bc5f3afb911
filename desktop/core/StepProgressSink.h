// What an engine reports while one step of a job runs: its texts and warnings go on to the
// sink that had them before (the debug log), and how far it has come moves the progress bar.
#pragma once

#include "com/ProgressSink.h"
#include "desktop/core/UiPort.h"

namespace desktop {

class StepProgressSink final : public com::IProgressSink {
  public:
    StepProgressSink(com::IProgressSink* before, UiPort& ui) : m_before(before), m_ui(ui) {}

    void Progress(std::string_view text) override {
        if (m_before != nullptr) m_before->Progress(text);
    }
    void Warning(std::string_view text) override {
        if (m_before != nullptr) m_before->Warning(text);
    }
    void Advanced(int64_t done, int64_t total) override { m_ui.StepProgress(done, total); }

  private:
    com::IProgressSink* m_before;
    UiPort& m_ui;
};

}  // namespace desktop
