// The folder dialog of the batch window: a folder tree with the given title and text, starting
// at the folder already held (the working folder when none), and an edit field below the tree
// that shows the selected folder's path and can be typed into. OK is enabled only while the
// edit field is not empty; it checks the text with FolderRules and stays open on a refusal.
#pragma once

#include <QDialog>
#include <optional>
#include <string>

class QDialogButtonBox;
class QFileSystemModel;
class QLabel;
class QLineEdit;
class QPushButton;
class QTreeView;

namespace desktop::ui {

class FolderDialog : public QDialog {
    Q_OBJECT
  public:
    FolderDialog(const QString& title, const QString& text, const QString& start,
                 QWidget* parent = nullptr);

    QLineEdit* PathEdit() const { return m_edit; }
    QPushButton* OkButton() const { return m_ok; }
    QPushButton* CancelButton() const { return m_cancel; }
    QTreeView* Tree() const { return m_tree; }

    // The accepted folder (the text with "~" expanded), valid after Accepted.
    QString Folder() const { return m_folder; }

    // Shows the dialog modally: the accepted folder, or nullopt when cancelled.
    static std::optional<std::string> Choose(const QString& title, const QString& text,
                                             const QString& start, QWidget* parent);

  private:
    void TryAccept();
    void EditChanged();

    QFileSystemModel* m_model = nullptr;
    QTreeView* m_tree = nullptr;
    QLineEdit* m_edit = nullptr;
    QPushButton* m_ok = nullptr;
    QPushButton* m_cancel = nullptr;
    QString m_folder;
};

}  // namespace desktop::ui
