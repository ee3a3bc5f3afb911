// The "Conversion Options" dialog with the paper-size lists: the six
// convert flags, the copy folder with its "V" button, and a size pair with a paper list for web
// pages (millimetres, with margins and zoom), images and TIFF files (with stretch, fit and
// auto-rotate), text and word-processor files. "Save && Exit" writes "conversion.ini";
// "Close" leaves without writing.
#pragma once

#include <QDialog>
#include <array>

#include "desktop/core/ConfigFolder.h"
#include "desktop/core/Conversion.h"
#include "desktop/ui/DesktopServices.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;

namespace desktop {
class UiPort;
}

namespace desktop::ui {

// One size pair of the dialog with its paper list.
struct SizePair {
    QLineEdit* width = nullptr;
    QLineEdit* height = nullptr;
    QComboBox* paper = nullptr;
    bool millimetres = false;
};

enum class PairName { Html, Image, Tiff, Text, Doc };

class ConversionOptionsDialog : public QDialog {
    Q_OBJECT
  public:
    ConversionOptionsDialog(ConversionSettings& settings, const ConfigFolder& config, UiPort& ui,
                            QWidget* parent = nullptr, Opener open = OpenWithDesktop);

    // Dialog controls -> the working copy, and back.
    void CopyControlsIn();
    void ShowValues();

    // A new choice in a pair's paper list.
    void ChoosePaper(PairName pair, const QString& name);

    // The commands of the two buttons and the "V" button.
    void SaveAndExit();
    void ViewCopyFolder();

    const SizePair& Pair(PairName pair) const { return m_pairs[static_cast<size_t>(pair)]; }
    QCheckBox* ConvertFlag(int index) const { return m_flags[static_cast<size_t>(index)]; }
    QLineEdit* CopyFolder() const { return m_pdfDir; }
    QPushButton* ViewButton() const { return m_view; }
    QLineEdit* Margins() const { return m_margins; }
    QLineEdit* Zoom() const { return m_zoom; }
    QCheckBox* PageScripts() const { return m_pageScripts; }
    QCheckBox* Stretch(bool tiff) const { return tiff ? m_tiffStretch : m_imageStretch; }
    QCheckBox* Fit(bool tiff) const { return tiff ? m_tiffFit : m_imageFit; }
    QCheckBox* AutoRotate(bool tiff) const { return tiff ? m_tiffRotate : m_imageRotate; }
    QPushButton* SaveButton() const { return m_save; }
    QPushButton* CloseButton() const { return m_close; }
    const ConversionSettings& Working() const { return m_working; }

  private:
    void ShowPaperNames();

    ConversionSettings& m_settings;
    ConversionSettings m_working;
    ConfigFolder m_config;
    UiPort& m_ui;
    Opener m_open;
    std::array<QCheckBox*, 6> m_flags{};
    QLineEdit* m_pdfDir = nullptr;
    QPushButton* m_view = nullptr;
    std::array<SizePair, 5> m_pairs{};
    QLineEdit* m_margins = nullptr;
    QLineEdit* m_zoom = nullptr;
    QCheckBox* m_pageScripts = nullptr;
    QCheckBox* m_imageStretch = nullptr;
    QCheckBox* m_imageFit = nullptr;
    QCheckBox* m_imageRotate = nullptr;
    QCheckBox* m_tiffStretch = nullptr;
    QCheckBox* m_tiffFit = nullptr;
    QCheckBox* m_tiffRotate = nullptr;
    QPushButton* m_save = nullptr;
    QPushButton* m_close = nullptr;
};

}  // namespace desktop::ui
