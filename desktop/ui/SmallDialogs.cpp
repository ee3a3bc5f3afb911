#include "desktop/ui/SmallDialogs.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "desktop/core/KeyValueLines.h"
#include "desktop/core/WebCommands.h"
#include "desktop/ui/QtText.h"

namespace desktop::ui {

int ReadInteger(const QString& text) {
    return desktop::ReadInteger(S(text));
}

namespace {

QHBoxLayout* ButtonRow(QPushButton* save, QPushButton* cancel) {
    auto* row = new QHBoxLayout;
    row->addStretch(1);
    row->addWidget(save);
    row->addWidget(cancel);
    return row;
}

}  // namespace

// The "Save/Exit" (default, accepts) and "Cancel" (rejects) row closing both small dialogs.
static void AddSaveCancel(QDialog* dialog, QVBoxLayout* layout, QPushButton** save,
                          QPushButton** cancel) {
    *save = new QPushButton(QStringLiteral("&Save/Exit"), dialog);
    *cancel = new QPushButton(QStringLiteral("Cancel"), dialog);
    (*save)->setDefault(true);
    layout->addSpacing(8);
    layout->addLayout(ButtonRow(*save, *cancel));
    QObject::connect(*save, &QPushButton::clicked, dialog, &QDialog::accept);
    QObject::connect(*cancel, &QPushButton::clicked, dialog, &QDialog::reject);
}

DuplexModeWindow::DuplexModeWindow(const DuplexModeDialog& start, QWidget* parent)
    : QDialog(parent) {
    setWindowTitle(QStringLiteral("2UP Duplex Mode"));
    auto* layout = new QVBoxLayout(this);
    m_group = new QButtonGroup(this);
    m_group->setExclusive(true);
    for (DuplexOrder order : kDuplexOrders) {
        auto* button = new QRadioButton(
            QString::fromUtf8(OrderLabel(order).data(), static_cast<int>(OrderLabel(order).size())),
            this);
        m_buttons[static_cast<size_t>(order)] = button;
        m_group->addButton(button, OrderCode(order));
        layout->addWidget(button);
    }
    OrderButton(start.chosen)->setChecked(true);
    AddSaveCancel(this, layout, &m_save, &m_cancel);
}

DuplexModeDialog DuplexModeWindow::State() const {
    DuplexModeDialog state;
    for (DuplexOrder order : kDuplexOrders) {
        if (OrderButton(order)->isChecked()) state.Choose(order);
    }
    return state;
}

DialogButton DuplexModeWindow::Ask() {
    return exec() == QDialog::Accepted ? DialogButton::SaveExit : DialogButton::Cancel;
}

ConversionModeWindow::ConversionModeWindow(const ConversionModeDialog& start, QWidget* parent)
    : QDialog(parent) {
    setWindowTitle(QStringLiteral("1UP Conversion Mode"));
    auto* layout = new QVBoxLayout(this);
    m_vertical = new QRadioButton(
        QStringLiteral("Convert 2up A/B pdf to 1up pdf (split on vertical line)"), this);
    m_horizontal = new QRadioButton(
        QStringLiteral("Convert 2up A/B pdf to 1up pdf (split on horizontal line)"), this);
    auto* group = new QButtonGroup(this);
    group->addButton(m_vertical, 1);
    group->addButton(m_horizontal, 2);
    layout->addWidget(m_vertical);
    layout->addWidget(m_horizontal);
    auto* form = new QFormLayout;
    m_offset = new QLineEdit(QString::number(start.offsetSplit), this);
    m_offset->setMaximumWidth(90);
    auto* offsetLabel = new QLabel(QStringLiteral("Split position &offset:"), this);
    offsetLabel->setBuddy(m_offset);
    form->addRow(offsetLabel, m_offset);
    layout->addLayout(form);
    m_reorder = new QCheckBox(QStringLiteral("&Re-order based on outer-in source"), this);
    m_reorder->setChecked(start.reorder1 != 0);
    layout->addWidget(m_reorder);
    if (start.direction == SplitDirection::Horizontal) {
        m_horizontal->setChecked(true);
    } else {
        m_vertical->setChecked(true);
    }
    AddSaveCancel(this, layout, &m_save, &m_cancel);
}

ConversionModeDialog ConversionModeWindow::State() const {
    ConversionModeDialog state;
    state.direction = m_vertical->isChecked()     ? SplitDirection::Vertical
                      : m_horizontal->isChecked() ? SplitDirection::Horizontal
                                                  : SplitDirection::None;
    state.offsetSplit = ReadInteger(m_offset->text());
    state.reorder1 = m_reorder->isChecked() ? 1 : 0;
    return state;
}

DialogButton ConversionModeWindow::Ask() {
    return exec() == QDialog::Accepted ? DialogButton::SaveExit : DialogButton::Cancel;
}

EmailAddressWindow::EmailAddressWindow(QWidget* parent) : QDialog(parent) {
    setWindowTitle(
        QString::fromUtf8(kEmailDialogTitle.data(), static_cast<int>(kEmailDialogTitle.size())));
    auto* layout = new QVBoxLayout(this);
    auto* row = new QHBoxLayout;
    auto* label = new QLabel(QStringLiteral("&Email Address:"), this);
    m_address = new QLineEdit(this);
    m_address->setMinimumWidth(260);
    label->setBuddy(m_address);
    row->addWidget(label);
    row->addWidget(m_address, 1);
    layout->addLayout(row);
    m_submit = new QPushButton(QStringLiteral("&Submit"), this);
    m_cancel = new QPushButton(QStringLiteral("&Cancel"), this);
    m_submit->setDefault(true);
    layout->addLayout(ButtonRow(m_submit, m_cancel));
    connect(m_submit, &QPushButton::clicked, this, &EmailAddressWindow::Submit);
    connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);
}

QString EmailAddressWindow::Address() const {
    return m_address->text();
}

void EmailAddressWindow::Submit() {
    if (!IsAcceptableEmail(m_address->text().toStdString())) {
        QMessageBox::information(
            this, windowTitle(),
            QString::fromUtf8(kEmailPrompt.data(), static_cast<int>(kEmailPrompt.size())));
        m_address->setFocus();
        return;
    }
    accept();
}

}  // namespace desktop::ui
