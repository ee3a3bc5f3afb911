// One rotation run: reads an input PDF and writes a copy in which the selected pages carry a
// new /Rotate. Made afresh for each file by `TurnelleCom` and destroyed after it; it owns the
// open document and the output file for the length of `Run`.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "com/ProgressSink.h"
#include "pdf/CPdfActiveContent.h"
#include "pdf/CPdfDocument.h"
#include "pdf/CPdfOutputFile.h"
#include "turnelle/ProgressDots.h"
#include "turnelle/RotationPageEntry.h"
#include "turnelle/TurnelleSettings.h"

namespace turnelle {

class RotationJob {
  public:
    // `progress` receives the progress texts (nullptr: none) and must outlive the job.
    RotationJob(const TurnelleSettings& settings, std::string inputName, std::string outputName,
                com::IProgressSink* progress);

    // Writes the output and renames it into place. Throws CPdfException with the message of
    // the first failure; an earlier file of the output's name is then left as it was and no
    // partial file remains. An output that names the input's own file is refused.
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
    void CommitOutput();

    TurnelleSettings m_settings;
    std::string m_inputName;
    std::string m_outputName;
    ProgressDots m_progress;

    CPdfDocument m_document;
    CPdfOutputFile m_output;
    CPdfActiveContentFilter m_activeContent;  // every input text written goes through it
    bool m_progressStarted = false;           // a progress line was begun and wants its end
    int m_rootNumber = 0;
    int m_infoNumber = 0;
    std::string m_selection;
    std::vector<RotationPageEntry> m_pages;
    std::map<int, std::vector<int>> m_cutKids;  // page-tree kids the walk cut, by node object
};

}  // namespace turnelle
