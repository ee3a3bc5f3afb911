// The main window's Output field while it holds a name the window proposed: the name follows
// the input and the layout until the user types one of their own.
#include <QLineEdit>

#include "desktop/core/ProposedOutput.h"
#include "desktop/ui/MainWindow.h"

namespace desktop::ui {

void MainWindow::NoteProposedOutput() {
    const JobSetup& s = Setup();
    if (IsProposedOutputName(s)) {
        m_proposedOutput = ProposedOutput{s.outFile, s.inFile, LayoutWord(s)};
    } else {
        m_proposedOutput.reset();
    }
}

void MainWindow::FollowProposedOutput() {
    if (!m_proposedOutput) return;
    JobSetup& s = Setup();
    if (s.outFile != m_proposedOutput->output) {
        m_proposedOutput.reset();  // typed, dropped or chosen: the user's own name stays
        return;
    }
    if (s.inFile == m_proposedOutput->input && LayoutWord(s) == m_proposedOutput->layoutWord) {
        return;
    }
    s.outFile.clear();
    m_controls.output->clear();
    m_proposedOutput.reset();
}

}  // namespace desktop::ui
