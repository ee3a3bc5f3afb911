// The small modal dialogs of the main window: "2UP Duplex Mode", "1UP Conversion Mode" and
// "Updates & News by Email". Each only shows the starting state the core gives it and hands
// back what the user chose; the core's Close... functions finish the interlock.
#pragma once

#include <QDialog>
#include <array>

#include "desktop/core/Interlocks.h"

class QButtonGroup;
class QCheckBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace desktop::ui {

class DuplexModeWindow : public QDialog {
    Q_OBJECT
  public:
    DuplexModeWindow(const DuplexModeDialog& start, QWidget* parent = nullptr);

    DuplexModeDialog State() const;
    QRadioButton* OrderButton(DuplexOrder order) const {
        return m_buttons[static_cast<size_t>(order)];
    }
    QPushButton* SaveButton() const { return m_save; }
    QPushButton* CancelButton() const { return m_cancel; }

    // Shows the dialog modally; the button that ended it ("&Save/Exit" or "Cancel", and the
    // window's close box as "Cancel").
    DialogButton Ask();

  private:
    std::array<QRadioButton*, 4> m_buttons{};
    QButtonGroup* m_group = nullptr;
    QPushButton* m_save = nullptr;
    QPushButton* m_cancel = nullptr;
};

class ConversionModeWindow : public QDialog {
    Q_OBJECT
  public:
    ConversionModeWindow(const ConversionModeDialog& start, QWidget* parent = nullptr);

    ConversionModeDialog State() const;
    QRadioButton* VerticalButton() const { return m_vertical; }
    QRadioButton* HorizontalButton() const { return m_horizontal; }
    QLineEdit* OffsetEdit() const { return m_offset; }
    QCheckBox* ReorderCheck() const { return m_reorder; }
    QPushButton* SaveButton() const { return m_save; }
    QPushButton* CancelButton() const { return m_cancel; }

    DialogButton Ask();

  private:
    QRadioButton* m_vertical = nullptr;
    QRadioButton* m_horizontal = nullptr;
    QLineEdit* m_offset = nullptr;
    QCheckBox* m_reorder = nullptr;
    QPushButton* m_save = nullptr;
    QPushButton* m_cancel = nullptr;
};

// "Updates & News by Email": "Email Address:", "&Submit" and "&Cancel". Submit refuses an
// address the web commands call invalid, with their message, and keeps the dialog open.
class EmailAddressWindow : public QDialog {
    Q_OBJECT
  public:
    explicit EmailAddressWindow(QWidget* parent = nullptr);

    QLineEdit* AddressEdit() const { return m_address; }
    QPushButton* SubmitButton() const { return m_submit; }
    QPushButton* CancelButton() const { return m_cancel; }
    QString Address() const;

  private:
    void Submit();

    QLineEdit* m_address = nullptr;
    QPushButton* m_submit = nullptr;
    QPushButton* m_cancel = nullptr;
};

// An integer as the window's edits read it: leading blanks and a sign, digits up to the first
// other character; no digits give 0 (as the setup file reads numbers).
int ReadInteger(const QString& text);

}  // namespace desktop::ui
