// The sheet size of the "Sheet" group, one control for the SHEET value: the paper list (None,
// the paper table's names, Custom), the custom width and height in points and the orientation.
#pragma once

#include <QString>
#include <QWidget>
#include <string>

class QComboBox;
class QLineEdit;

namespace desktop::ui {

class SheetSizeEdit : public QWidget {
    Q_OBJECT
  public:
    explicit SheetSizeEdit(QWidget* parent = nullptr);

    // The SHEET value shown ("", "A4:landscape", "595.5,842"); a value that is not one shows
    // as Custom with the size fields empty.
    QString Text() const;
    void SetText(const QString& text);

    QComboBox* Paper() const { return m_paper; }
    QLineEdit* Width() const { return m_width; }
    QLineEdit* Height() const { return m_height; }
    QComboBox* Orientation() const { return m_orientation; }

  Q_SIGNALS:
    // The user changed the value.
    void Edited();

  private:
    void ShowApplying();
    void ShowPaperSize(const std::string& name);

    QComboBox* m_paper;
    QLineEdit* m_width;
    QLineEdit* m_height;
    QComboBox* m_orientation;
};

}  // namespace desktop::ui
