// The "Task" row on top of the main window: one picture button per task of the core's task
// list, and a line saying what the last click set. The row holds no rule: a click only names
// its task (Chosen); the window applies it to the job.
#pragma once

#include <QWidget>
#include <map>

#include "desktop/core/Tasks.h"

class QLabel;
class QToolButton;

namespace desktop::ui {

class TaskRow : public QWidget {
    Q_OBJECT
  public:
    explicit TaskRow(QWidget* parent = nullptr);

    QToolButton* Button(Task task) const { return m_buttons.at(task); }
    QLabel* Summary() const { return m_summary; }
    // What the last click set: whole in the tip, on one line (elided) beside the buttons, so
    // that a long summary never makes the window taller.
    void ShowSummary(const QString& text);
    QString SummaryText() const { return m_summaryText; }

  protected:
    void resizeEvent(QResizeEvent* event) override;

  Q_SIGNALS:
    void Chosen(desktop::Task task);

  private:
    std::map<Task, QToolButton*> m_buttons;
    QLabel* m_summary = nullptr;
    QString m_summaryText;
};

// The small picture of a task's button, drawn in the colours of `palette`.
QPixmap TaskPicture(Task task, const QPalette& palette, qreal devicePixelRatio = 1.0);

}  // namespace desktop::ui
