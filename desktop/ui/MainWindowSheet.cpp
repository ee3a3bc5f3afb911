// The main window's tabs of sizes and sheets ("Margins" and "Output page size" are built in
// MainWindowControls.cpp) and the sheet settings in them: "Sheet" (paper, fitting, outer
// margin, gutter, crop marks, cards), "Book" (folded signatures, binding, cover, booklet
// signature, creep, fold marks, right-to-left), "Poster" (size, tiles, overlap), "Slug & marks"
// and "Template"; their tips and limits, and which of them the chosen layout takes.
#include <QCheckBox>
#include <QComboBox>
#include <QDoubleValidator>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QTabWidget>

#include "desktop/core/Interlocks.h"
#include "desktop/core/KeyValueLines.h"
#include "desktop/core/ProposedOutput.h"
#include "desktop/core/SheetSettings.h"
#include "desktop/core/UiTexts.h"
#include "desktop/ui/MainWindow.h"
#include "desktop/ui/PreviewPane.h"
#include "desktop/ui/QtText.h"
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

// What a tab's name ends with while one of its settings is not at its default.
const QString kChangedMark = QStringLiteral(" \u2022");

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

// A row of a label, a field that takes the room left, and what follows the field.
void AddWideRow(QBoxLayout* rows, QWidget* label, QWidget* field,
                std::initializer_list<QWidget*> after = {}) {
    auto* row = new QHBoxLayout;
    row->addWidget(label);
    row->addWidget(field, 1);
    for (QWidget* widget : after) row->addWidget(widget);
    rows->addLayout(row);
}

}  // namespace

QWidget* MainWindow::BuildSheetTabs(QWidget* parent) {
    auto& c = m_controls;
    c.sheetTabs = new QTabWidget(parent);
    c.sheetTabs->setObjectName(QStringLiteral("sheetTabs"));
    c.sheetTabs->setDocumentMode(true);
    c.sheetTabs->insertTab(kMarginsTab, BuildMarginsTab(c.sheetTabs), QStringLiteral("Margins"));
    c.sheetTabs->insertTab(kPageSizeTab, BuildPageSizeTab(c.sheetTabs),
                           QStringLiteral("Output page size"));
    c.sheetTabs->insertTab(kSheetTab, BuildSheetTab(c.sheetTabs), QStringLiteral("Sheet"));
    c.sheetTabs->insertTab(kBookTab, BuildBookTab(c.sheetTabs), QStringLiteral("Book"));
    c.sheetTabs->insertTab(kPosterTab, BuildPosterTab(c.sheetTabs), QStringLiteral("Poster"));
    c.sheetTabs->insertTab(kMarksTab, BuildMarksTab(c.sheetTabs), QStringLiteral("Slug && marks"));
    c.sheetTabs->insertTab(kTemplateTab, BuildTemplateTab(c.sheetTabs), QStringLiteral("Template"));
    c.sheetTabs->setCurrentIndex(kMarginsTab);
    return c.sheetTabs;
}

void MainWindow::ShowChangedTabs() {
    QTabWidget* tabs = m_controls.sheetTabs;
    const JobSetup& s = Setup();
    const JobSetup defaults;
    for (int i = 0; i < tabs->count(); ++i) {
        bool changed = false;
        for (const auto& [row, control] : m_bound) {
            if (!tabs->widget(i)->isAncestorOf(control)) continue;
            changed = changed || (row->text ? s.*row->text != defaults.*row->text
                                            : s.*row->number != defaults.*row->number);
        }
        QString name = tabs->tabText(i).remove(kChangedMark);
        tabs->setTabText(i, changed ? name + kChangedMark : name);
    }
}

QWidget* MainWindow::BuildSheetTab(QWidget* parent) {
    auto& c = m_controls;
    auto label = [this](QWidget* control) { return m_settingLabels.at(control); };
    Limit(c.outerMargin, kMaxMarginPoints);
    Limit(c.gutter, kMaxMarginPoints);
    Tip(c.fitToSheet,
        "Scale every page to fill its cell on the sheet, enlarging small pages too (without "
        "it, pages only shrink to fit).");
    Tip(c.outerMargin, "Space in points between the sheet's edge and its pages.");
    Tip(c.gutter, "Space in points between neighbouring pages on a sheet.");
    Tip(c.cropMarks,
        "Cut marks at the corners of every page's trim, in the sheet's margin; a page's bleed "
        "is shown up to them.");

    auto* tab = new QWidget(parent);
    auto* rows = new QVBoxLayout(tab);
    AddWideRow(rows, label(c.sheet), c.sheet);
    AddRow(rows, {c.fitToSheet, nullptr, label(c.outerMargin), c.outerMargin, nullptr,
                  label(c.gutter), c.gutter, nullptr, c.cropMarks});
    BuildCardRows(tab, *rows);
    return tab;
}

QWidget* MainWindow::BuildBookTab(QWidget* parent) {
    auto& c = m_controls;
    auto label = [this](QWidget* control) { return m_settingLabels.at(control); };
    c.fold->addItem(QStringLiteral("None"), QStringLiteral("0"));
    for (int pages : kFoldPages)
        c.fold->addItem(QString::number(pages) + QStringLiteral(" pages"), QString::number(pages));
    c.binding->addItem(QStringLiteral("Saddle stitch"), QString());
    c.binding->addItem(QStringLiteral("Perfect"), QStringLiteral("perfect"));
    c.cover->addItem(QStringLiteral("With the pages"), QString());
    c.cover->addItem(QStringLiteral("Separate"), QStringLiteral("separate"));
    Limit(c.signature, kMaxSignatureSheets);
    auto* creep = new QDoubleValidator(0, kMaxCreepMillimetres, 3, c.creep);
    creep->setNotation(QDoubleValidator::StandardNotation);
    creep->setLocale(QLocale::c());
    c.creep->setValidator(creep);
    c.creep->setMaximumWidth(c.signature->maximumWidth());
    // No creep shows as 0, as Signature shows its 0.
    c.creep->setPlaceholderText(QStringLiteral("0"));

    Tip(c.fold,
        "Folded signatures: each sheet is folded into a section of this many pages, in the "
        "order that reads right once folded and trimmed. None: no folding.");
    Tip(c.binding,
        "Folded signatures: saddle stitch nests the sections inside each other and staples "
        "them through the fold; perfect stacks them one after another and glues the spine.");
    Tip(c.cover,
        "Folded signatures: Separate prints the cover (the first two and last two pages) on a "
        "sheet of its own, for a heavier paper.");
    Tip(c.signature,
        "Booklets: fold in sections of N sheets (4 x N pages) that are each ordered as a "
        "booklet of their own and then sewn together. 0: the whole document is one section.");
    Tip(c.creep,
        "Booklets: the paper's thickness in mm (about 0.1 for 80 g/m\u00b2 office paper). Pages "
        "move towards the fold by it for each sheet they lie outside the centre of their "
        "section, so the trimmed booklet has even outer margins.");
    Tip(c.foldMarks,
        "Dashed marks on the fold lines of 2-up sheets, of the folded 4-up order and of folded "
        "signatures, in the sheet's margin.");
    Tip(c.rightToLeft,
        "For documents read from right to left: the page order is mirrored, as a book bound "
        "on the right reads.");

    auto* tab = new QWidget(parent);
    auto* rows = new QVBoxLayout(tab);
    AddRow(rows, {label(c.fold), c.fold, nullptr, label(c.binding), c.binding, nullptr,
                  label(c.cover), c.cover});
    AddRow(rows, {label(c.signature), c.signature, nullptr, label(c.creep), c.creep, nullptr,
                  c.foldMarks, c.rightToLeft});
    rows->addStretch(1);
    return tab;
}

QWidget* MainWindow::BuildPosterTab(QWidget* parent) {
    auto& c = m_controls;
    auto label = [this](QWidget* control) { return m_settingLabels.at(control); };
    Pattern(c.tile, "([1-9]|1[0-9]|20)x([1-9]|1[0-9]|20)", 60);
    LimitPoints(c.overlap, 72);
    Tip(c.poster->Paper(),
        "Poster tiles: every page is enlarged to this size and cut into the fewest sheets of "
        "the Sheet tab's paper that cover it. None: no poster, unless tiles are given.");
    Tip(c.tile,
        "Poster tiles: columns x rows of sheets (for example 3x2, each 1 to 20) that every "
        "page is enlarged over, in place of a poster size.");
    Tip(c.overlap,
        "Poster tiles: points (0 to 72) of picture that neighbouring tiles share, to glue "
        "them over each other.");

    auto* tab = new QWidget(parent);
    auto* rows = new QVBoxLayout(tab);
    AddWideRow(rows, label(c.poster), c.poster);
    QLabel* note = new QLabel(QStringLiteral("Needs a paper on the Sheet tab; the layout and "
                                             "its other settings wait while tiles are made"),
                              tab);
    note->setEnabled(false);
    AddRow(rows, {label(c.tile), c.tile, nullptr, label(c.overlap), c.overlap, nullptr, note});
    rows->addStretch(1);
    return tab;
}

QWidget* MainWindow::BuildMarksTab(QWidget* parent) {
    auto& c = m_controls;
    auto label = [this](QWidget* control) { return m_settingLabels.at(control); };
    // A semicolon would end the value in a setup file, so the slug takes none.
    c.slug->setValidator(new QRegularExpressionValidator(
        QRegularExpression(QStringLiteral("[^;\\x00-\\x1f]*")), c.slug));
    c.slug->setMaxLength(int(kMaxValueLength));
    c.slug->setPlaceholderText(QStringLiteral("{file}  {date}  sheet {sheet} of {sheets} {side}"));
    Tip(c.slug,
        "A line of text in every sheet's margin. {file} is the input's name, {job} the "
        "output's, {date} today, {sheet} and {sheets} the sheet and their count, {side} front "
        "or back; {{ and }} give { and }.");
    Tip(c.regMarks, "Registration targets at the middle of each sheet edge, in its margin.");
    Tip(c.colorBar,
        "A strip of cyan, magenta, yellow and black patches (100, 50 and 25%) and their "
        "overlaps in the sheet's margin, to check the inks.");

    auto* tab = new QWidget(parent);
    auto* rows = new QVBoxLayout(tab);
    AddWideRow(rows, label(c.slug), c.slug);
    AddRow(rows, {c.regMarks, nullptr, c.colorBar});
    rows->addStretch(1);
    return tab;
}

QWidget* MainWindow::BuildTemplateTab(QWidget* parent) {
    auto& c = m_controls;
    auto label = [this](QWidget* control) { return m_settingLabels.at(control); };
    c.layoutTemplate->setMaxLength(int(kMaxValueLength));
    Tip(c.layoutTemplate,
        "A layout template: a JSON file that gives the sheet sides and the place, turn and "
        "page of every cell. Empty: the layout chosen above.");
    auto* tab = new QWidget(parent);
    c.templateBrowse = new QPushButton(QStringLiteral("Browse"), tab);
    c.templateBrowse->setAutoDefault(false);
    auto* rows = new QVBoxLayout(tab);
    AddWideRow(rows, label(c.layoutTemplate), c.layoutTemplate, {c.templateBrowse});
    rows->addStretch(1);
    connect(c.templateBrowse, &QPushButton::clicked, this, &MainWindow::BrowseTemplate);
    return tab;
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

    // Cards in the "Sheet" tab; the grid beside the page rotation and the back sides beside
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
    // Poster tiles leave every setting out that they do not take; the others follow the layout.
    for (const auto& [row, control] : m_bound)
        enable(control, applying.layout || PosterTilesTake(row->key));
    c.templateBrowse->setEnabled(c.layoutTemplate->isEnabled());
    enable(c.signature, applying.signature);
    enable(c.creep, applying.creep);
    enable(c.foldMarks, applying.foldMarks);
    for (QWidget* control : {static_cast<QWidget*>(c.bleed), static_cast<QWidget*>(c.duplexBacks)})
        enable(control, applying.cardSettings);
    enable(c.fillOrder, applying.fillOrder);
    enable(c.fromBottom, applying.fillOrder);
    enable(c.flip, applying.backSides);
    enable(c.backShift, applying.backSides);
    ShowTestSheetButton();
    enable(c.binding, applying.bindingAndCover);
    enable(c.cover, applying.bindingAndCover);
    enable(c.poster, applying.posterSize);
    enable(c.overlap, applying.overlap);
    ShowChangedTabs();
    ShowCardsFit();
}

void MainWindow::ShowTestSheetButton() {
    std::string why = CalibrationUnavailable(Setup());
    m_controls.testSheet->setEnabled(why.empty() && !m_running);
    QString tip = Q(kTestSheetTip);
    if (!why.empty()) tip += QStringLiteral("\n\n") + Q(why);
    m_controls.testSheet->setToolTip(tip);
    m_controls.testSheet->setToolTipDuration(kTipMilliseconds);
}

void MainWindow::WriteTestSheet() {
    if (m_running) return;
    CopyControlsIn();
    std::optional<std::string> name =
        m_port.ChooseFile(CalibrationSheetDialog(CalibrationSheetName(Setup())));
    if (!name) return;
    SetRunning(true);
    m_session->WriteCalibrationSheet(*name);
    SetRunning(false);
    ShowValues();
}

void MainWindow::BrowseTemplate() {
    CopyControlsIn();
    std::optional<std::string> name =
        m_port.ChooseFile(BrowseTemplateDialog(Setup().layoutTemplate));
    if (!name) return;
    Setup().layoutTemplate = *name;
    ShowValues();
    RefreshPictures();
}

}  // namespace desktop::ui
