// The main window's sheet settings: the "Sheet" group (paper, fitting, outer margin, gutter,
// crop marks), the booklet row (signature, creep, fold marks, right-to-left), their tips and
// limits, and which of them the chosen layout takes.
#include <QCheckBox>
#include <QDoubleValidator>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>

#include "desktop/core/Interlocks.h"
#include "desktop/core/SheetSettings.h"
#include "desktop/core/UiTexts.h"
#include "desktop/ui/MainWindow.h"
#include "desktop/ui/SheetSizeEdit.h"

namespace desktop::ui {

namespace {

void Tip(QWidget* control, const char* text) {
    control->setToolTip(QString::fromUtf8(text));
    control->setToolTipDuration(kTipMilliseconds);
}

// A number edit holds the setting's limits, as a setup file is held to them.
void Limit(QLineEdit* edit, int most) {
    edit->setValidator(new QIntValidator(0, most, edit));
}

}  // namespace

QWidget* MainWindow::BuildSheetGroup(QWidget* parent) {
    auto& c = m_controls;
    auto label = [this](QWidget* control) { return m_settingLabels.at(control); };
    Limit(c.outerMargin, kMaxMarginPoints);
    Limit(c.gutter, kMaxMarginPoints);
    Limit(c.signature, kMaxSignatureSheets);
    auto* creep = new QDoubleValidator(0, kMaxCreepMillimetres, 3, c.creep);
    creep->setNotation(QDoubleValidator::StandardNotation);
    creep->setLocale(QLocale::c());
    c.creep->setValidator(creep);
    c.creep->setMaximumWidth(c.signature->maximumWidth());

    Tip(c.fitToSheet,
        "Scale every page to fill its cell on the sheet, enlarging small pages too (without "
        "it, pages only shrink to fit).");
    Tip(c.outerMargin, "Space in points between the sheet's edge and its pages.");
    Tip(c.gutter, "Space in points between neighbouring pages on a sheet.");
    Tip(c.cropMarks,
        "Cut marks at the corners of every page's trim, in the sheet's margin; a page's bleed "
        "is shown up to them.");
    Tip(c.signature,
        "Booklets: fold in sections of N sheets (4 x N pages) that are each ordered as a "
        "booklet of their own and then sewn together. 0: the whole document is one section.");
    Tip(c.creep,
        "Booklets: the paper's thickness in mm (about 0.1 for 80 g/m\u00b2 office paper). Pages "
        "move towards the fold by it for each sheet they lie outside the centre of their "
        "section, so the trimmed booklet has even outer margins.");
    Tip(c.foldMarks,
        "Dashed marks on the fold lines of 2-up sheets and of the folded 4-up order, in the "
        "sheet's margin.");
    Tip(c.rightToLeft,
        "For documents read from right to left: the page order is mirrored, as a book bound "
        "on the right reads.");

    auto* box = new QWidget(parent);
    auto* rows = new QVBoxLayout(box);
    rows->setContentsMargins(0, 0, 0, 0);
    auto* sheet = new QGroupBox(QStringLiteral("Sheet"), box);
    auto* sheetRows = new QVBoxLayout(sheet);
    auto* paper = new QHBoxLayout;
    paper->addWidget(label(c.sheet));
    paper->addWidget(c.sheet, 1);
    sheetRows->addLayout(paper);
    auto* fitting = new QHBoxLayout;
    fitting->addWidget(c.fitToSheet);
    fitting->addSpacing(12);
    fitting->addWidget(label(c.outerMargin));
    fitting->addWidget(c.outerMargin);
    fitting->addSpacing(12);
    fitting->addWidget(label(c.gutter));
    fitting->addWidget(c.gutter);
    fitting->addSpacing(12);
    fitting->addWidget(c.cropMarks);
    fitting->addStretch(1);
    sheetRows->addLayout(fitting);
    rows->addWidget(sheet);

    auto* booklet = new QHBoxLayout;
    booklet->addWidget(label(c.signature));
    booklet->addWidget(c.signature);
    booklet->addSpacing(8);
    booklet->addWidget(label(c.creep));
    booklet->addWidget(c.creep);
    booklet->addSpacing(8);
    booklet->addWidget(c.foldMarks);
    booklet->addWidget(c.rightToLeft);
    booklet->addStretch(1);
    rows->addLayout(booklet);
    return box;
}

void MainWindow::ShowApplyingSettings() {
    auto& c = m_controls;
    SheetOptionsApplying applying = ApplyingSheetOptions(Setup());
    auto enable = [this](QWidget* control, bool on) {
        control->setEnabled(on);
        if (auto label = m_settingLabels.find(control); label != m_settingLabels.end())
            label->second->setEnabled(on);
    };
    enable(c.signature, applying.signature);
    enable(c.creep, applying.creep);
    enable(c.foldMarks, applying.foldMarks);
}

}  // namespace desktop::ui
