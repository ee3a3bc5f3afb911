// The main window's controls below the menus, one group of rows per function: the file rows,
// the page rows (range, doubling, order, layout, rotation), the tabs of sizes and sheets (the
// margins and output page size here, the others in MainWindowSheet.cpp), the finishing rows
// (blanks, cleaning), the pictures and the command row.
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "desktop/core/Interlocks.h"
#include "desktop/core/UiTexts.h"
#include "desktop/ui/ExamplePicture.h"
#include "desktop/ui/MainWindow.h"
#include "desktop/ui/PreviewPane.h"
#include "desktop/ui/QtText.h"
#include "desktop/ui/TaskRow.h"

namespace desktop::ui {

namespace {

QLabel* Note(const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setWordWrap(true);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, palette.color(QPalette::PlaceholderText));
    label->setPalette(palette);
    return label;
}

}  // namespace

void MainWindow::BuildControls() {
    auto* central = new QWidget(this);
    setCentralWidget(central);
    m_settingLabels = CreateSettingControls(central);

    // The rows of the job, in the order of the window; the pictures beside them.
    auto* form = new QVBoxLayout;
    form->setSpacing(6);
    BuildFileRows(central, *form);
    BuildPageRows(central, *form);
    form->addWidget(BuildSheetTabs(central));
    BuildFinishRows(*form);
    auto* body = new QHBoxLayout;
    body->addLayout(form, 3);
    body->addLayout(BuildPictures(central), 2);
    connect(m_controls.preview, &PreviewPane::Shown, this, &MainWindow::ShowCardsFit);

    auto* outer = new QVBoxLayout(central);
    m_controls.tasks = new TaskRow(central);
    connect(m_controls.tasks, &TaskRow::Chosen, this, &MainWindow::ApplyTaskChoice);
    outer->addWidget(m_controls.tasks);
    outer->addLayout(body, 1);
    outer->addLayout(BuildCommandRow(central));
    ConnectCommands();
    setAcceptDrops(true);
}

void MainWindow::BuildFileRows(QWidget* central, QVBoxLayout& form) {
    auto& c = m_controls;
    auto label = [this](QWidget* control) { return m_settingLabels.at(control); };
    auto* files = new QGridLayout;
    c.input->setToolTip(Q(kInputTip));
    c.input->setToolTipDuration(kTipMilliseconds);
    c.inputBrowse = new QPushButton(QStringLiteral("Browse"), central);
    c.inputView = new QPushButton(QStringLiteral("View"), central);
    files->addWidget(label(c.input), 0, 0);
    files->addWidget(c.input, 0, 1);
    files->addWidget(c.inputBrowse, 0, 2);
    files->addWidget(c.inputView, 0, 3);
    c.outputBrowse = new QPushButton(QStringLiteral("Browse"), central);
    c.outputView = new QPushButton(QStringLiteral("View"), central);
    // The Output row is a band of its own, so that a drop on it can be told apart.
    c.outputRow = new QWidget(central);
    auto* outputRow = new QHBoxLayout(c.outputRow);
    outputRow->setContentsMargins(0, 0, 0, 0);
    c.output->setParent(c.outputRow);
    c.outputBrowse->setParent(c.outputRow);
    c.outputView->setParent(c.outputRow);
    QLabel* outputLabel = label(c.output);
    outputLabel->setMinimumWidth(0);
    outputRow->addWidget(outputLabel);
    outputRow->addWidget(c.output, 1);
    outputRow->addWidget(c.outputBrowse);
    outputRow->addWidget(c.outputView);
    files->addWidget(c.outputRow, 1, 0, 1, 4);
    files->setColumnStretch(1, 1);
    form.addLayout(files);
}

void MainWindow::BuildPageRows(QWidget* central, QVBoxLayout& form) {
    auto& c = m_controls;
    auto label = [this](QWidget* control) { return m_settingLabels.at(control); };
    auto* rangeRow = new QHBoxLayout;
    auto* range = new QGroupBox(QStringLiteral("Page range to process"), central);
    auto* rangeLayout = new QGridLayout(range);
    rangeLayout->addWidget(label(c.startPage), 0, 0);
    rangeLayout->addWidget(c.startPage, 0, 1);
    rangeLayout->addWidget(label(c.endPage), 1, 0);
    rangeLayout->addWidget(c.endPage, 1, 1);
    QLabel* allNote = Note(QStringLiteral("Default is 99999 for All"), range);
    allNote->setWordWrap(false);
    rangeLayout->addWidget(allNote, 1, 2);
    rangeRow->addWidget(range, 1);
    c.duplicate->setToolTip(Q(kDuplicateTip));
    auto* duplicateBox = new QVBoxLayout;
    duplicateBox->addWidget(c.duplicate);
    auto* turnRow = new QHBoxLayout;
    turnRow->addSpacing(18);
    turnRow->addWidget(c.rotateLeft);
    turnRow->addWidget(c.rotateRight);
    turnRow->addStretch(1);
    duplicateBox->addLayout(turnRow);
    duplicateBox->addStretch(1);
    rangeRow->addLayout(duplicateBox, 1);
    form.addLayout(rangeRow);

    // "Processing type" and "Type of processing" keep their names; a tip and a note tell them
    // apart.
    auto* processing = new QHBoxLayout;
    auto* processingLabel = new QLabel(QStringLiteral("Processing type:"), central);
    for (QWidget* tipped : std::initializer_list<QWidget*>{processingLabel, c.across, c.down})
        tipped->setToolTip(Q(kProcessingTypeTip));
    processing->addWidget(processingLabel);
    processing->addWidget(c.across);
    processing->addWidget(c.down);
    QLabel* processingNote = Note(QStringLiteral("(how pages sit inside one sheet)"), central);
    processingNote->setWordWrap(false);
    processing->addWidget(processingNote);
    processing->addStretch(1);
    form.addLayout(processing);

    auto* type = new QGroupBox(QStringLiteral("Type of processing"), central);
    type->setToolTip(Q(kTypeOfProcessingTip));
    auto* typeLayout = new QHBoxLayout(type);
    for (QRadioButton* button : {c.ab, c.split, c.ab4, c.ab2Duplex}) typeLayout->addWidget(button);
    typeLayout->addSpacing(12);
    c.testSheet = new QPushButton(QStringLiteral("Test sheet..."), type);
    c.testSheet->setAutoDefault(false);
    for (QWidget* control : std::initializer_list<QWidget*>{
             label(c.flip), c.flip, label(c.backShift), c.backShift, c.testSheet})
        typeLayout->addWidget(control);
    typeLayout->addStretch(1);
    form.addWidget(type);

    auto* layoutRow = new QHBoxLayout;
    for (std::string_view name : LayoutNames()) c.layout->addItem(Q(name));
    c.layout->setMinimumWidth(170);
    layoutRow->addWidget(label(c.layout));
    layoutRow->addWidget(c.layout);
    layoutRow->addWidget(
        Note(QStringLiteral("e.g. 2up would be 2 pages of the same on page 1"), central), 1);
    form.addLayout(layoutRow);

    auto* rotateRow = new QHBoxLayout;
    rotateRow->addWidget(new QLabel(QStringLiteral("Rotate Pages:"), central));
    for (QRadioButton* button : {c.rotateNone, c.rotateOdd, c.rotateEven, c.rotateAll})
        rotateRow->addWidget(button);
    rotateRow->addSpacing(12);
    for (QWidget* control : std::initializer_list<QWidget*>{
             label(c.grid), c.grid, label(c.fillOrder), c.fillOrder, c.fromBottom})
        rotateRow->addWidget(control);
    rotateRow->addStretch(1);
    form.addLayout(rotateRow);
}

QWidget* MainWindow::BuildMarginsTab(QWidget* parent) {
    auto& c = m_controls;
    auto label = [this](QWidget* control) { return m_settingLabels.at(control); };
    auto* margins = new QWidget(parent);
    auto* marginLayout = new QGridLayout(margins);
    marginLayout->addWidget(label(c.rightMargin), 0, 0);
    marginLayout->addWidget(c.rightMargin, 0, 1);
    marginLayout->addWidget(
        Note(QStringLiteral("Offset for right side of new page (for space between the pages)"),
             margins),
        0, 2);
    marginLayout->addWidget(label(c.bottomMargin), 1, 0);
    marginLayout->addWidget(c.bottomMargin, 1, 1);
    marginLayout->addWidget(
        Note(QStringLiteral("Offset for bottom of new top page (for space between the pages)"),
             margins),
        1, 2);
    marginLayout->setColumnStretch(2, 1);
    marginLayout->setRowStretch(2, 1);
    return margins;
}

QWidget* MainWindow::BuildPageSizeTab(QWidget* parent) {
    auto& c = m_controls;
    auto label = [this](QWidget* control) { return m_settingLabels.at(control); };
    auto* size = new QWidget(parent);
    auto* sizeLayout = new QGridLayout(size);
    c.mediaBox->setToolTip(Q(kMediaBoxTip));
    c.cropBox->setToolTip(Q(kCropBoxTip));
    c.mediaBox->setToolTipDuration(kTipMilliseconds);
    c.cropBox->setToolTipDuration(kTipMilliseconds);
    sizeLayout->addWidget(label(c.mediaBox), 0, 0);
    sizeLayout->addWidget(c.mediaBox, 0, 1);
    sizeLayout->addWidget(label(c.cropBox), 0, 2);
    sizeLayout->addWidget(c.cropBox, 0, 3);
    sizeLayout->addWidget(label(c.mediaBox2), 1, 0);
    sizeLayout->addWidget(c.mediaBox2, 1, 1);
    sizeLayout->addWidget(label(c.cropBox2), 1, 2);
    sizeLayout->addWidget(c.cropBox2, 1, 3);
    sizeLayout->addWidget(Note(QStringLiteral("Leave blank for default"), size), 2, 0, 1, 4);
    return size;
}

void MainWindow::BuildFinishRows(QVBoxLayout& form) {
    auto& c = m_controls;
    auto label = [this](QWidget* control) { return m_settingLabels.at(control); };
    auto* blankRow = new QHBoxLayout;
    blankRow->addWidget(label(c.blankPages));
    blankRow->addWidget(c.blankPages);
    blankRow->addWidget(c.automatic);
    blankRow->addStretch(1);
    form.addLayout(blankRow);

    auto* cleanRow = new QHBoxLayout;
    cleanRow->addWidget(c.prepress);
    cleanRow->addWidget(c.dontClean);
    cleanRow->addStretch(1);
    form.addLayout(cleanRow);
    form.addStretch(1);
}

QLayout* MainWindow::BuildPictures(QWidget* central) {
    auto& c = m_controls;
    // The pictures beside the job: the example of the layout and the preview of the input.
    auto* pictures = new QVBoxLayout;
    auto* exampleBox = new QGroupBox(QStringLiteral("Example"), central);
    auto* exampleLayout = new QVBoxLayout(exampleBox);
    c.example = new ExamplePicture(exampleBox);
    exampleLayout->addWidget(c.example);
    pictures->addWidget(exampleBox, 2);
    auto* previewBox = new QGroupBox(QStringLiteral("Preview"), central);
    auto* previewLayout = new QVBoxLayout(previewBox);
    c.preview = new PreviewPane(previewBox);
    previewLayout->addWidget(c.preview);
    pictures->addWidget(previewBox, 3);
    return pictures;
}

QLayout* MainWindow::BuildCommandRow(QWidget* central) {
    auto& c = m_controls;
    auto* bottom = new QHBoxLayout;
    c.progress = new QProgressBar(central);
    c.progress->setRange(kBarUnitsPerStep, kLastProgressPosition * kBarUnitsPerStep);
    c.progress->reset();
    c.progress->setTextVisible(false);
    c.cancel = new QPushButton(QStringLiteral("Cancel"), central);
    c.cancel->setVisible(false);
    c.impose = new QPushButton(QStringLiteral("&Impose"), central);
    c.close = new QPushButton(QStringLiteral("&Close"), central);
    for (QPushButton* button :
         {c.impose, c.close, c.cancel, c.inputBrowse, c.inputView, c.outputBrowse, c.outputView}) {
        button->setAutoDefault(false);
        button->setDefault(false);
    }
    bottom->addWidget(c.progress, 1);
    bottom->addWidget(c.cancel);
    bottom->addSpacing(12);
    bottom->addWidget(c.impose);
    bottom->addWidget(c.close);
    return bottom;
}

void MainWindow::ConnectCommands() {
    auto& c = m_controls;
    connect(c.impose, &QPushButton::clicked, this, &MainWindow::Impose);
    connect(c.close, &QPushButton::clicked, this, &MainWindow::CloseCommand);
    connect(c.cancel, &QPushButton::clicked, this, [this] { m_port.RequestCancel(); });
    connect(c.inputBrowse, &QPushButton::clicked, this, &MainWindow::BrowseInput);
    connect(c.outputBrowse, &QPushButton::clicked, this, &MainWindow::BrowseOutput);
    connect(c.testSheet, &QPushButton::clicked, this, &MainWindow::WriteTestSheet);
    connect(c.inputView, &QPushButton::clicked, this, &MainWindow::ViewInput);
    connect(c.outputView, &QPushButton::clicked, this, &MainWindow::ViewOutput);
    connect(c.layout, &QComboBox::textActivated, this, &MainWindow::ApplyLayoutChoice);
}

}  // namespace desktop::ui
