#include "desktop/ui/SheetSizeEdit.h"

#include <QComboBox>
#include <QDoubleValidator>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <cmath>

#include "desktop/core/PaperSizes.h"
#include "desktop/core/SheetSettings.h"
#include "desktop/ui/QtText.h"
#include "paper/PaperTable.h"

namespace desktop::ui {

namespace {

constexpr char kNoPaper[] = "None";

QLineEdit* SideEdit(QWidget* parent, const QString& tip) {
    auto* edit = new QLineEdit(parent);
    auto* validator = new QDoubleValidator(1, kMaxSheetPoints, 2, edit);
    validator->setNotation(QDoubleValidator::StandardNotation);
    validator->setLocale(QLocale::c());
    edit->setValidator(validator);
    edit->setMaximumWidth(edit->fontMetrics().horizontalAdvance(QStringLiteral("0000000.00")));
    edit->setToolTip(tip);
    edit->setAcceptDrops(false);
    return edit;
}

}  // namespace

SheetSizeEdit::SheetSizeEdit(QWidget* parent) : QWidget(parent) {
    m_paper = new QComboBox(this);
    m_paper->addItem(QString::fromLatin1(kNoPaper));
    for (const paper::Paper& paper : paper::Papers()) m_paper->addItem(Q(paper.name));
    m_paper->addItem(Q(kCustomPaper));
    m_paper->setToolTip(QStringLiteral(
        "The paper the sheets are printed on. None: each sheet is as large as its grid of "
        "pages and pages keep their size. A paper or Custom: the grid is laid on it and pages "
        "shrink to fit their cells."));
    m_width = SideEdit(this, QStringLiteral("Custom sheet width in points (72 points = 1 inch)"));
    m_height = SideEdit(this, QStringLiteral("Custom sheet height in points (72 points = 1 inch)"));
    m_orientation = new QComboBox(this);
    m_orientation->addItems(
        {QStringLiteral("Automatic"), QStringLiteral("Portrait"), QStringLiteral("Landscape")});
    m_orientation->setToolTip(QStringLiteral(
        "Automatic turns the sheet to suit the grid; Portrait or Landscape forces it."));

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_paper);
    layout->addWidget(new QLabel(QStringLiteral("W:"), this));
    layout->addWidget(m_width);
    layout->addWidget(new QLabel(QStringLiteral("H:"), this));
    layout->addWidget(m_height);
    layout->addWidget(new QLabel(QStringLiteral("pt"), this));
    layout->addSpacing(8);
    layout->addWidget(m_orientation);
    layout->addStretch(1);

    auto edited = [this] {
        ShowApplying();
        Q_EMIT Edited();
    };
    connect(m_paper, &QComboBox::activated, this, [this, edited] {
        // A paper chosen shows its size; Custom starts from the size shown.
        ShowPaperSize(S(m_paper->currentText()));
        edited();
    });
    connect(m_orientation, &QComboBox::activated, this, edited);
    connect(m_width, &QLineEdit::editingFinished, this, edited);
    connect(m_height, &QLineEdit::editingFinished, this, edited);
    ShowApplying();
}

QString SheetSizeEdit::Text() const {
    QString paper = m_paper->currentText();
    if (paper == QLatin1String(kNoPaper)) return {};
    SheetChoice choice;
    choice.paper = S(paper);
    choice.orientation = static_cast<SheetOrientation>(m_orientation->currentIndex());
    if (paper == Q(kCustomPaper)) {
        // A size out of range goes as typed, for the engine to refuse in its own words.
        std::string typed = S(m_width->text().trimmed() + ',' + m_height->text().trimmed());
        std::optional<SheetChoice> parsed = ParseSheet(typed);
        if (!parsed) return Q(typed);
        choice.width = parsed->width;
        choice.height = parsed->height;
    }
    return Q(SheetText(choice));
}

void SheetSizeEdit::SetText(const QString& text) {
    std::optional<SheetChoice> choice = ParseSheet(S(text));
    if (!choice) {
        m_paper->setCurrentText(Q(kCustomPaper));
        m_width->clear();
        m_height->clear();
        m_orientation->setCurrentIndex(0);
    } else if (choice->paper.empty()) {
        m_paper->setCurrentIndex(0);
        m_orientation->setCurrentIndex(0);
    } else {
        m_paper->setCurrentText(Q(choice->paper));
        if (choice->paper == kCustomPaper) {
            m_width->setText(QString::number(choice->width));
            m_height->setText(QString::number(choice->height));
        } else {
            ShowPaperSize(choice->paper);
        }
        m_orientation->setCurrentIndex(static_cast<int>(choice->orientation));
    }
    ShowApplying();
}

// A paper's size as the engine takes it (portrait).
void SheetSizeEdit::ShowPaperSize(const std::string& name) {
    if (std::optional<paper::SheetSize> size = paper::LookupPaperName(name)) {
        m_width->setText(QString::number(std::round(size->width * 100) / 100));
        m_height->setText(QString::number(std::round(size->height * 100) / 100));
    }
}

// The size fields take typing only for Custom; the orientation only with a paper.
void SheetSizeEdit::ShowApplying() {
    bool custom = m_paper->currentText() == Q(kCustomPaper);
    m_width->setEnabled(custom);
    m_height->setEnabled(custom);
    m_orientation->setEnabled(m_paper->currentIndex() != 0);
}

}  // namespace desktop::ui
