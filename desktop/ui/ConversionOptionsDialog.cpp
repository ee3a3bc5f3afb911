#include "desktop/ui/ConversionOptionsDialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "desktop/core/KeyValueLines.h"
#include "desktop/core/PaperSizes.h"
#include "desktop/core/UiPort.h"
#include "desktop/ui/DesktopServices.h"
#include "desktop/ui/QtText.h"
#include "desktop/ui/SmallDialogs.h"

namespace desktop::ui {

namespace {

double ReadReal(const QString& text) {
    return desktop::ReadReal(S(text));
}

QLineEdit* SizeEdit(QWidget* parent) {
    auto* edit = new QLineEdit(parent);
    edit->setMaximumWidth(64);
    return edit;
}

QComboBox* PaperList(QWidget* parent) {
    auto* list = new QComboBox(parent);
    for (std::string_view name : PaperSizeNames()) list->addItem(Q(name));
    list->setMaxVisibleItems(20);
    return list;
}

}  // namespace

ConversionOptionsDialog::ConversionOptionsDialog(ConversionSettings& settings,
                                                 const ConfigFolder& config, UiPort& ui,
                                                 QWidget* parent, Opener open)
    : QDialog(parent),
      m_settings(settings),
      m_working(settings),
      m_config(config),
      m_ui(ui),
      m_open(std::move(open)) {
    setWindowTitle(QStringLiteral("Conversion Options"));
    auto* layout = new QVBoxLayout(this);

    auto* convert = new QGroupBox(QStringLiteral("Convert to PDF"), this);
    auto* convertLayout = new QVBoxLayout(convert);
    const char* flagTexts[] = {
        "Convert all webpages, .htm && .html files to pdf before imposing",
        "Convert all bmp, jpeg, png, gif, wmf and emf files to pdf before imposing",
        "Convert all tiff files to pdf before imposing",
        "Convert all txt files to pdf before imposing",
        "Convert all word doc files to pdf before imposing",
        "Convert all excel xls files to pdf before imposing",
    };
    for (size_t i = 0; i < m_flags.size(); ++i) {
        m_flags[i] = new QCheckBox(QString::fromLatin1(flagTexts[i]), convert);
        convertLayout->addWidget(m_flags[i]);
    }
    auto* copyRow = new QHBoxLayout;
    m_pdfDir = new QLineEdit(convert);
    m_view = new QPushButton(QStringLiteral("V"), convert);
    m_view->setMaximumWidth(32);
    m_view->setToolTip(QStringLiteral("Open the folder"));
    auto* copyLabel = new QLabel(QStringLiteral("Save &copy of pdf file here:"), convert);
    copyLabel->setBuddy(m_pdfDir);
    copyRow->addWidget(copyLabel);
    copyRow->addWidget(m_pdfDir, 1);
    copyRow->addWidget(m_view);
    convertLayout->addLayout(copyRow);
    layout->addWidget(convert);

    auto* sizes = new QGroupBox(QStringLiteral("Page sizes"), this);
    auto* grid = new QGridLayout(sizes);
    int row = 0;
    auto addPair = [&](PairName name, const QString& title, const QString& widthLabel,
                       bool millimetres) {
        SizePair& pair = m_pairs[static_cast<size_t>(name)];
        pair.width = SizeEdit(sizes);
        pair.height = SizeEdit(sizes);
        pair.paper = PaperList(sizes);
        pair.millimetres = millimetres;
        grid->addWidget(new QLabel(title, sizes), row, 0);
        auto* widthText = new QLabel(widthLabel, sizes);
        widthText->setBuddy(pair.width);
        grid->addWidget(widthText, row, 1);
        grid->addWidget(pair.width, row, 2);
        grid->addWidget(new QLabel(QStringLiteral("height:"), sizes), row, 3);
        grid->addWidget(pair.height, row, 4);
        grid->addWidget(pair.paper, row, 5);
        connect(pair.paper, &QComboBox::textActivated, this,
                [this, name](const QString& text) { ChoosePaper(name, text); });
        ++row;
    };
    addPair(PairName::Html, QStringLiteral("HTML (mm)"), QStringLiteral("width:"), true);
    auto* htmlExtras = new QHBoxLayout;
    m_margins = SizeEdit(sizes);
    m_zoom = SizeEdit(sizes);
    htmlExtras->addWidget(new QLabel(QStringLiteral("margins:"), sizes));
    htmlExtras->addWidget(m_margins);
    htmlExtras->addWidget(new QLabel(QStringLiteral("zoom %"), sizes));
    htmlExtras->addWidget(m_zoom);
    m_pageScripts = new QCheckBox(QStringLiteral("Run page scripts"), sizes);
    htmlExtras->addWidget(m_pageScripts);
    htmlExtras->addStretch(1);
    grid->addLayout(htmlExtras, row++, 1, 1, 5);

    auto imageOptions = [&](QCheckBox*& stretch, QCheckBox*& fit, QCheckBox*& rotate) {
        auto* options = new QHBoxLayout;
        stretch = new QCheckBox(QStringLiteral("Stretch"), sizes);
        fit = new QCheckBox(QStringLiteral("Fit to page"), sizes);
        rotate = new QCheckBox(QStringLiteral("Auto rotate"), sizes);
        options->addWidget(stretch);
        options->addWidget(fit);
        options->addWidget(rotate);
        options->addStretch(1);
        grid->addLayout(options, row++, 1, 1, 5);
    };
    addPair(PairName::Image, QStringLiteral("Images"), QStringLiteral("Set page size:"), false);
    imageOptions(m_imageStretch, m_imageFit, m_imageRotate);
    addPair(PairName::Tiff, QStringLiteral("TIFF"), QStringLiteral("Set page size:"), false);
    imageOptions(m_tiffStretch, m_tiffFit, m_tiffRotate);
    addPair(PairName::Text, QStringLiteral("Text"), QStringLiteral("Set page size:"), false);
    addPair(PairName::Doc, QStringLiteral("Word"), QStringLiteral("Set page size:"), false);
    auto* note = new QLabel(
        QStringLiteral(
            "Enter sizes in points e.g. 595 x 842 for A4 portrait , leave as 0 for as is."),
        sizes);
    note->setWordWrap(true);
    grid->addWidget(note, row++, 0, 1, 6);
    grid->setColumnStretch(5, 1);
    layout->addWidget(sizes);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    m_save = new QPushButton(QStringLiteral("Save && Exit"), this);
    m_close = new QPushButton(QStringLiteral("Close"), this);
    m_save->setDefault(true);
    buttons->addWidget(m_save);
    buttons->addWidget(m_close);
    layout->addLayout(buttons);

    connect(m_save, &QPushButton::clicked, this, &ConversionOptionsDialog::SaveAndExit);
    connect(m_close, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_view, &QPushButton::clicked, this, &ConversionOptionsDialog::ViewCopyFolder);

    ShowValues();
    ShowPaperNames();
}

void ConversionOptionsDialog::CopyControlsIn() {
    ConversionSettings& s = m_working;
    int* flags[] = {&s.htm, &s.jpeg, &s.tiff, &s.txt, &s.word, &s.excel};
    for (size_t i = 0; i < m_flags.size(); ++i) *flags[i] = m_flags[i]->isChecked() ? 1 : 0;
    s.pdfDir = S(m_pdfDir->text());
    s.htmlWidth = ReadReal(Pair(PairName::Html).width->text());
    s.htmlHeight = ReadReal(Pair(PairName::Html).height->text());
    s.htmlMargins = ReadReal(m_margins->text());
    s.htmlZoom = ReadReal(m_zoom->text());
    s.htmlJavaScript = m_pageScripts->isChecked() ? 1 : 0;
    s.imageWidth = ReadInteger(Pair(PairName::Image).width->text());
    s.imageHeight = ReadInteger(Pair(PairName::Image).height->text());
    s.imageStretchToPage = m_imageStretch->isChecked() ? 1 : 0;
    s.imageFitToPage = m_imageFit->isChecked() ? 1 : 0;
    s.imageAutoRotate = m_imageRotate->isChecked() ? 1 : 0;
    s.tiffWidth = ReadInteger(Pair(PairName::Tiff).width->text());
    s.tiffHeight = ReadInteger(Pair(PairName::Tiff).height->text());
    s.tiffStretchToPage = m_tiffStretch->isChecked() ? 1 : 0;
    s.tiffFitToPage = m_tiffFit->isChecked() ? 1 : 0;
    s.tiffAutoRotate = m_tiffRotate->isChecked() ? 1 : 0;
    s.txtWidth = ReadInteger(Pair(PairName::Text).width->text());
    s.txtHeight = ReadInteger(Pair(PairName::Text).height->text());
    s.docWidth = ReadInteger(Pair(PairName::Doc).width->text());
    s.docHeight = ReadInteger(Pair(PairName::Doc).height->text());
}

void ConversionOptionsDialog::ShowValues() {
    const ConversionSettings& s = m_working;
    const int flags[] = {s.htm, s.jpeg, s.tiff, s.txt, s.word, s.excel};
    for (size_t i = 0; i < m_flags.size(); ++i) m_flags[i]->setChecked(flags[i] != 0);
    m_pdfDir->setText(Q(s.pdfDir));
    Pair(PairName::Html).width->setText(QString::number(s.htmlWidth));
    Pair(PairName::Html).height->setText(QString::number(s.htmlHeight));
    m_margins->setText(QString::number(s.htmlMargins));
    m_zoom->setText(QString::number(s.htmlZoom));
    m_pageScripts->setChecked(s.htmlJavaScript != 0);
    Pair(PairName::Image).width->setText(QString::number(s.imageWidth));
    Pair(PairName::Image).height->setText(QString::number(s.imageHeight));
    m_imageStretch->setChecked(s.imageStretchToPage != 0);
    m_imageFit->setChecked(s.imageFitToPage != 0);
    m_imageRotate->setChecked(s.imageAutoRotate != 0);
    Pair(PairName::Tiff).width->setText(QString::number(s.tiffWidth));
    Pair(PairName::Tiff).height->setText(QString::number(s.tiffHeight));
    m_tiffStretch->setChecked(s.tiffStretchToPage != 0);
    m_tiffFit->setChecked(s.tiffFitToPage != 0);
    m_tiffRotate->setChecked(s.tiffAutoRotate != 0);
    Pair(PairName::Text).width->setText(QString::number(s.txtWidth));
    Pair(PairName::Text).height->setText(QString::number(s.txtHeight));
    Pair(PairName::Doc).width->setText(QString::number(s.docWidth));
    Pair(PairName::Doc).height->setText(QString::number(s.docHeight));
}

void ConversionOptionsDialog::ShowPaperNames() {
    const ConversionSettings& s = m_working;
    auto show = [this](PairName name, std::string_view paper) {
        const SizePair& pair = Pair(name);
        pair.paper->setCurrentIndex(pair.paper->findText(Q(paper), Qt::MatchExactly));
        bool custom = paper == kCustomPaper;
        pair.width->setEnabled(custom);
        pair.height->setEnabled(custom);
    };
    show(PairName::Html, PaperNameForMillimetres(s.htmlWidth, s.htmlHeight));
    show(PairName::Image, PaperNameForPoints(s.imageWidth, s.imageHeight));
    show(PairName::Tiff, PaperNameForPoints(s.tiffWidth, s.tiffHeight));
    show(PairName::Text, PaperNameForPoints(s.txtWidth, s.txtHeight));
    show(PairName::Doc, PaperNameForPoints(s.docWidth, s.docHeight));
}

void ConversionOptionsDialog::ChoosePaper(PairName name, const QString& text) {
    CopyControlsIn();
    const SizePair& pair = Pair(name);
    bool custom = text == Q(kCustomPaper);
    pair.width->setEnabled(custom);
    pair.height->setEnabled(custom);
    if (!custom) {
        ConversionSettings& s = m_working;
        if (name == PairName::Html) {
            if (auto size = LookupMillimetres(S(text))) {
                s.htmlWidth = size->width;
                s.htmlHeight = size->height;
            }
        } else if (auto size = LookupPoints(S(text))) {
            int* width = name == PairName::Image  ? &s.imageWidth
                         : name == PairName::Tiff ? &s.tiffWidth
                         : name == PairName::Text ? &s.txtWidth
                                                  : &s.docWidth;
            int* height = name == PairName::Image  ? &s.imageHeight
                          : name == PairName::Tiff ? &s.tiffHeight
                          : name == PairName::Text ? &s.txtHeight
                                                   : &s.docHeight;
            *width = size->width;
            *height = size->height;
        }
    }
    pair.paper->setCurrentIndex(pair.paper->findText(text, Qt::MatchExactly));
    ShowValues();
}

void ConversionOptionsDialog::SaveAndExit() {
    CopyControlsIn();
    m_settings = m_working;
    if (!WriteConversionIni(m_config.ResolveForWriting(kConversionIniName), m_settings)) {
        m_ui.Message(kCannotWriteConversionIni);
    }
    accept();
}

void ConversionOptionsDialog::ViewCopyFolder() {
    CopyControlsIn();
    if (!m_working.pdfDir.empty()) m_open(m_working.pdfDir);
}

}  // namespace desktop::ui
