// One rotation run: reads an input PDF and writes a copy in which the selected pages carry a
// new /Rotate. Made afresh for each file by `TurnelleCom` and destroyed after it; it owns the
// open document and the output file for the length of `Run`.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "pdf/CPdfDocument.h"
#include "pdf/CPdfXRefWriter.h"
#include "platform/File.h"
#include "turnelle/ProgressDots.h"
#include "turnelle/RotationPageEntry.h"
#include "turnelle/TurnelleSettings.h"

namespace turnelle {

class RotationJob {
  public:
    // `progress` receives the progress texts and must outlive the job.
    RotationJob(const TurnelleSettings& settings, std::string inputName, std::string outputName,
                std::ostream& progress);

    // Writes the output. Throws CPdfException with the message of the first failure; the
    // output file is then deleted when this run created it, and nothing else is touched. An
    // output that names the input's own file is refused before anything is written.
    void Run();

    // What the run got past in its input; kept after Run, whether it succeeded or failed.
    const CPdfWarnings& Warnings() const { return m_document.Warnings(); }

  private:
    void WriteOutput();
    void OpenInput();
    void CreateOutput();
    int ReadPageCount();
    CPdfObject PagesRoot();
    void WriteHeader();
    void CopyObjects();
    void CloseOutput();

    TurnelleSettings m_settings;
    std::string m_inputName;
    std::string m_outputName;
    ProgressDots m_progress;

    CPdfDocument m_document;
    platform::WriteFile m_output;
    bool m_outputCreated = false;
    bool m_progressStarted = false;  // a progress line was begun and wants its end
    int m_rootNumber = 0;
    int m_infoNumber = 0;
    std::string m_selection;
    std::vector<RotationPageEntry> m_pages;
    std::vector<CPdfOutputEntry> m_outputEntries;
};

}  // namespace turnelle
