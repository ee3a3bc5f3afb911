// The main window's sheet settings: the "Sheet" group (paper, fitting, outer margin, gutter,
// crop marks, cards, free grids and back sides), the booklet row (signature, creep, fold marks,
// right-to-left), their tips and limits, and which of them the chosen layout takes.
#include <QCheckBox>
#include <QComboBox>
#include <QDoubleValidator>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QRegularExpressionValidator>

#include "desktop/core/Interlocks.h"
#include "desktop/core/SheetSettings.h"
#include "desktop/core/UiTexts.h"
#include "desktop/ui/MainWindow.h"
#include "desktop/ui/PreviewPane.h"
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

// A text edit of points holds the pattern of its setting; the setup file's reading holds the
// limits, and the window's record keeps the last value that was whole.
void Pattern(QLineEdit* edit, const char* pattern, int width) {
    edit->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QString::fromUtf8(pattern)), edit));
    edit->setMaximumWidth(width);
}

// Points from 0 to `most` (at most 72), with up to two decimals.
void LimitPoints(QLineEdit* edit, double most) {
    auto* points = new QDoubleValidator(0, most, 2, edit);
    points->setNotation(QDoubleValidator::StandardNotation);
    points->setLocale(QLocale::c());
    edit->setValidator(points);
    edit->setMaximumWidth(60);
}

void AddRow(QBoxLayout* rows, std::initializer_list<QWidget*> widgets) {
    auto* row = new QHBoxLayout;
    for (QWidget* widget : widgets) {
        if (widget == nullptr) {
            row->addSpacing(12);
        } else {
            row->addWidget(widget);
        }
    }
    row->addStretch(1);
    rows->addLayout(row);
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
    // No creep shows as 0, as Signature shows its 0.
    c.creep->setPlaceholderText(QStringLiteral("0"));

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
    BuildCardRows(sheet, *sheetRows);
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

void MainWindow::BuildCardRows(QWidget* parent, QVBoxLayout& rows) {
    auto& c = m_controls;
    auto label = [this](QWidget* control) { return m_settingLabels.at(control); };
    LimitPoints(c.bleed, 72);
    LimitPoints(c.frame, 10);
    Pattern(c.grid, "([1-9]|1[0-9]|20)x([1-9]|1[0-9]|20)", 60);
    Pattern(c.backShift, "-?[0-9]{0,2}(\\.[0-9]{1,2})?,-?[0-9]{0,2}(\\.[0-9]{1,2})?", 90);
    c.fillOrder->addItem(QStringLiteral("Rows"), QString());
    c.fillOrder->addItem(QStringLiteral("Columns"), QStringLiteral("columns"));
    c.flip->addItem(QStringLiteral("Long edge"), QString());
    c.flip->addItem(QStringLiteral("Short edge"), QStringLiteral("short"));
    c.cardsFit = new QLabel(parent);
    c.cardsFit->setObjectName(QStringLiteral("cardsFit"));

    Tip(c.repeat,
        "Business cards, labels, tickets: every place on a sheet shows the same page, as many "
        "copies as fit the chosen paper at 100% (the cards are turned when that fits more). "
        "Sheet k shows page k. Needs a paper or a grid.");
    Tip(c.bleed,
        "Cards: points of each card shown beyond its trim (from its bleed box, else its page), "
        "never across a cut two cards share. 0 to 72.");
    Tip(c.duplexBacks,
        "Cards printed on both sides: pages 1 and 2 are the front and back of the first card, "
        "3 and 4 of the second ... Each front sheet is followed by a back sheet whose cards sit "
        "behind their fronts.");
    Tip(c.grid,
        "Columns x rows (for example 3x4, each 1 to 20) in place of the layout's own grid. "
        "Empty: the layout's grid, or with Cards the grid that fits most.");
    Tip(c.fillOrder, "With a grid: fill it row by row, or column by column.");
    Tip(c.fromBottom, "With a grid: start filling at its bottom row.");
    Tip(c.frame, "A thin line of this many points (0 to 10) round every page on the sheet.");
    Tip(c.flip,
        "Two-sided printing: the edge the printer turns the sheet over, as its duplex setting "
        "says. Short edge turns every back side by a half.");
    Tip(c.backShift,
        "Two-sided printing: X,Y in points (-72 to 72) that everything on every back side "
        "moves by, for a printer whose backs land off register.");

    // Cards in the "Sheet" group; the grid beside the page rotation and the back sides beside
    // the duplex orders (BuildPageRows), so that the window keeps its height.
    AddRow(&rows, {c.repeat, c.cardsFit, nullptr, label(c.bleed), c.bleed, nullptr, c.duplexBacks,
                   nullptr, label(c.frame), c.frame});
}

void MainWindow::ShowCardsFit() {
    const auto& c = m_controls;
    if (c.preview == nullptr) return;
    c.cardsFit->setText(Setup().repeat != 0 ? c.preview->FittedCards() : QString());
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
    for (QWidget* control : {static_cast<QWidget*>(c.bleed), static_cast<QWidget*>(c.duplexBacks)})
        enable(control, applying.cardSettings);
    enable(c.fillOrder, applying.fillOrder);
    enable(c.fromBottom, applying.fillOrder);
    enable(c.flip, applying.backSides);
    enable(c.backShift, applying.backSides);
    ShowCardsFit();
}

}  // namespace desktop::ui
