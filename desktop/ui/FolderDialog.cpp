#include "desktop/ui/FolderDialog.h"

#include <QDir>
#include <QFileSystemModel>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTreeView>
#include <QVBoxLayout>

#include "desktop/core/FolderRules.h"

namespace desktop::ui {

FolderDialog::FolderDialog(const QString& title, const QString& text, const QString& start,
                           QWidget* parent)
    : QDialog(parent) {
    setWindowTitle(title);
    auto* layout = new QVBoxLayout(this);
    auto* label = new QLabel(text, this);
    label->setWordWrap(true);
    layout->addWidget(label);

    m_model = new QFileSystemModel(this);
    m_model->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot | QDir::Drives);
    m_model->setRootPath(QStringLiteral("/"));
    m_tree = new QTreeView(this);
    m_tree->setModel(m_model);
    for (int column = 1; column < m_model->columnCount(); ++column) m_tree->hideColumn(column);
    m_tree->header()->hide();
    m_tree->setMinimumSize(340, 260);
    layout->addWidget(m_tree, 1);

    auto* editRow = new QHBoxLayout;
    auto* editLabel = new QLabel(QStringLiteral("&Folder:"), this);
    m_edit = new QLineEdit(this);
    m_edit->setMaxLength(static_cast<int>(kMaxFolderText));
    editLabel->setBuddy(m_edit);
    editRow->addWidget(editLabel);
    editRow->addWidget(m_edit, 1);
    layout->addLayout(editRow);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    m_ok = new QPushButton(QStringLiteral("OK"), this);
    m_cancel = new QPushButton(QStringLiteral("Cancel"), this);
    m_ok->setDefault(true);
    buttons->addWidget(m_ok);
    buttons->addWidget(m_cancel);
    layout->addLayout(buttons);

    connect(m_ok, &QPushButton::clicked, this, &FolderDialog::TryAccept);
    connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_edit, &QLineEdit::textChanged, this, &FolderDialog::EditChanged);
    connect(m_tree->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& current) {
                if (current.isValid()) m_edit->setText(m_model->filePath(current));
            });

    QString startFolder = start.isEmpty() ? QDir::currentPath() : start;
    QString expanded = QString::fromStdString(ExpandHome(startFolder.toStdString()));
    QModelIndex index = m_model->index(expanded);
    if (index.isValid()) {
        m_tree->setCurrentIndex(index);
        m_tree->scrollTo(index);
        m_tree->expand(index);
    }
    m_edit->setText(startFolder);
    EditChanged();
}

void FolderDialog::EditChanged() {
    m_ok->setEnabled(!m_edit->text().isEmpty());
}

void FolderDialog::TryAccept() {
    QString text = m_edit->text();
    std::string typed = text.toStdString();
    switch (CheckFolderText(typed)) {
        case FolderVerdict::Invalid:
            QMessageBox::warning(this, windowTitle(),
                                 QString::fromStdString(FolderInvalidMessage(typed)));
            m_edit->setFocus();
            return;
        case FolderVerdict::Missing: {
            auto answer = QMessageBox::question(
                this, windowTitle(), QString::fromStdString(FolderMissingQuestion(typed)),
                QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes);
            if (answer != QMessageBox::Yes) {
                m_edit->setFocus();
                return;
            }
            if (!FolderCanBeCreated(typed)) {
                QMessageBox::warning(this, windowTitle(),
                                     QString::fromStdString(FolderCannotBeCreatedMessage(typed)));
                m_edit->setFocus();
                return;
            }
            break;
        }
        case FolderVerdict::Accepted:
            break;
    }
    m_folder = QString::fromStdString(ExpandHome(typed));
    accept();
}

std::optional<std::string> FolderDialog::Choose(const QString& title, const QString& text,
                                                const QString& start, QWidget* parent) {
    FolderDialog dialog(title, text, start, parent);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return dialog.Folder().toStdString();
}

}  // namespace desktop::ui
