#include "desktop/ui/TaskRow.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QToolButton>

#include "desktop/ui/QtText.h"

namespace desktop::ui {

namespace {

// The picture's size in device-independent pixels: a sheet in landscape.
constexpr int kPictureWidth = 32;
constexpr int kPictureHeight = 24;

// The colours of a picture: ink for lines, paper for sheets, and a tint for pages on them.
struct Inks {
    QColor line, paper, page, accent;
};

// A page with a few lines of text on it.
void DrawPage(QPainter& painter, const QRectF& page, const Inks& inks) {
    painter.setPen(QPen(inks.line, 1));
    painter.setBrush(inks.page);
    painter.drawRect(page);
    painter.setPen(QPen(inks.accent, 1));
    double inset = std::max(1.5, page.width() / 5);
    for (double y = page.top() + 3; y < page.bottom() - 2; y += 3) {
        painter.drawLine(QPointF(page.left() + inset, y), QPointF(page.right() - inset, y));
    }
}

// A sheet split into a grid of pages.
void DrawGrid(QPainter& painter, const QRectF& sheet, int columns, int rows, const Inks& inks) {
    painter.setPen(QPen(inks.line, 1));
    painter.setBrush(inks.paper);
    painter.drawRect(sheet);
    double w = sheet.width() / columns, h = sheet.height() / rows;
    for (int row = 0; row < rows; ++row) {
        for (int column = 0; column < columns; ++column) {
            QRectF cell(sheet.left() + column * w, sheet.top() + row * h, w, h);
            DrawPage(painter, cell.adjusted(1.5, 1.5, -1.5, -1.5), inks);
        }
    }
}

// A sheet of blank cards with rounded corners, as many as fit.
void DrawCards(QPainter& painter, const QRectF& sheet, const Inks& inks) {
    painter.setPen(QPen(inks.line, 1));
    painter.setBrush(inks.paper);
    painter.drawRect(sheet);
    constexpr int kColumns = 3, kRows = 3;
    double w = sheet.width() / kColumns, h = sheet.height() / kRows;
    painter.setPen(QPen(inks.accent, 1));
    painter.setBrush(inks.page);
    for (int row = 0; row < kRows; ++row) {
        for (int column = 0; column < kColumns; ++column) {
            QRectF card(sheet.left() + column * w, sheet.top() + row * h, w, h);
            painter.drawRoundedRect(card.adjusted(1.2, 1.2, -1.2, -1.2), 1.5, 1.5);
        }
    }
}

// An open booklet seen from above: two pages slanting from the spine.
void DrawBooklet(QPainter& painter, const QRectF& area, const Inks& inks) {
    QPointF spineTop(area.center().x(), area.top() + 2),
        spineBottom(area.center().x(), area.bottom());
    for (int side : {-1, 1}) {
        QPolygonF leaf;
        leaf << spineTop << QPointF(area.center().x() + side * area.width() / 2, area.top() + 5)
             << QPointF(area.center().x() + side * area.width() / 2, area.bottom() - 3)
             << spineBottom;
        painter.setPen(QPen(inks.line, 1));
        painter.setBrush(inks.page);
        painter.drawPolygon(leaf);
        painter.setPen(QPen(inks.accent, 1));
        for (double y = area.top() + 9; y < area.bottom() - 5; y += 4) {
            painter.drawLine(QPointF(area.center().x() + side * 3, y),
                             QPointF(area.center().x() + side * (area.width() / 2 - 3), y + 1));
        }
    }
}

// A thick book: an open booklet over the edges of the many sheets beneath it.
void DrawBook(QPainter& painter, const QRectF& area, const Inks& inks) {
    painter.setPen(QPen(inks.line, 1));
    for (int edge = 3; edge >= 1; --edge) {
        double drop = edge * 2.0;
        painter.drawLine(QPointF(area.left() + edge, area.bottom() - 3 + drop / 2),
                         QPointF(area.center().x(), area.bottom() - 1 + drop / 2));
        painter.drawLine(QPointF(area.center().x(), area.bottom() - 1 + drop / 2),
                         QPointF(area.right() - edge, area.bottom() - 3 + drop / 2));
    }
    DrawBooklet(painter, area.adjusted(0, 0, 0, -5), inks);
}

// Two stacks with the cut between them and page numbers that run on from one to the next.
void DrawCutAndStack(QPainter& painter, const QRectF& area, const Inks& inks) {
    QRectF sheet = area.adjusted(1, 4, -1, -1);
    DrawGrid(painter, sheet, 2, 1, inks);
    for (int behind = 1; behind <= 2; ++behind) {
        painter.setPen(QPen(inks.line, 1));
        painter.drawLine(QPointF(sheet.left() + behind * 2, sheet.top() - behind * 2),
                         QPointF(sheet.right() + behind * 2 - 2, sheet.top() - behind * 2));
    }
    painter.setPen(QPen(inks.line, 1.2, Qt::DashLine));
    painter.drawLine(QPointF(sheet.center().x(), area.top()),
                     QPointF(sheet.center().x(), area.bottom()));
}

// A 2-up sheet cut along its middle into two single pages.
void DrawSplit(QPainter& painter, const QRectF& area, const Inks& inks) {
    double gap = 6;
    double half = (area.width() - gap) / 2;
    DrawPage(painter, QRectF(area.left(), area.top() + 2, half, area.height() - 3), inks);
    DrawPage(painter, QRectF(area.right() - half, area.top() + 2, half, area.height() - 3), inks);
    painter.setPen(QPen(inks.line, 1.2, Qt::DashLine));
    painter.drawLine(QPointF(area.center().x(), area.top()),
                     QPointF(area.center().x(), area.bottom()));
}

// A page enlarged over a grid of sheets: the tiles with a gap between them and one page
// drawn across them all.
void DrawPoster(QPainter& painter, const QRectF& area, const Inks& inks) {
    constexpr int kColumns = 3, kRows = 2;
    double gap = 1.5;
    double w = (area.width() - gap * (kColumns - 1)) / kColumns;
    double h = (area.height() - gap * (kRows - 1)) / kRows;
    painter.setPen(QPen(inks.line, 1));
    painter.setBrush(inks.paper);
    for (int row = 0; row < kRows; ++row) {
        for (int column = 0; column < kColumns; ++column)
            painter.drawRect(
                QRectF(area.left() + column * (w + gap), area.top() + row * (h + gap), w, h));
    }
    painter.setPen(QPen(inks.accent, 2));
    painter.setBrush(Qt::NoBrush);
    painter.drawEllipse(area.center(), area.width() / 4, area.height() / 3);
}

}  // namespace

QPixmap TaskPicture(Task task, const QPalette& palette, qreal devicePixelRatio) {
    QPixmap picture(QSize(kPictureWidth, kPictureHeight) * devicePixelRatio);
    picture.setDevicePixelRatio(devicePixelRatio);
    picture.fill(Qt::transparent);
    Inks inks{palette.color(QPalette::ButtonText), palette.color(QPalette::Base),
              palette.color(QPalette::Base), palette.color(QPalette::Highlight)};
    inks.page = inks.paper.lightness() > 128 ? inks.paper.darker(104) : inks.paper.lighter(130);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    QRectF area(1.5, 1.5, kPictureWidth - 3, kPictureHeight - 3);
    switch (task) {
        case Task::Booklet:
            DrawBooklet(painter, area, inks);
            break;
        case Task::Cards:
            DrawCards(painter, area, inks);
            break;
        case Task::NUp:
            DrawGrid(painter, area, 2, 2, inks);
            break;
        case Task::CutAndStack:
            DrawCutAndStack(painter, area, inks);
            break;
        case Task::SplitPages:
            DrawSplit(painter, area, inks);
            break;
        case Task::Book:
            DrawBook(painter, area, inks);
            break;
        case Task::Poster:
            DrawPoster(painter, area, inks);
            break;
    }
    return picture;
}

TaskRow::TaskRow(QWidget* parent) : QWidget(parent) {
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    auto* caption = new QLabel(QStringLiteral("Task:"), this);
    row->addWidget(caption);
    for (Task task : Tasks()) {
        auto* button = new QToolButton(this);
        button->setText(Q(TaskName(task)));
        button->setToolTip(Q(TaskTip(task)));
        button->setIcon(QIcon(TaskPicture(task, palette(), devicePixelRatioF())));
        button->setIconSize(QSize(kPictureWidth, kPictureHeight));
        button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
        button->setAutoRaise(false);
        button->setObjectName(QStringLiteral("task") + Q(TaskName(task)).remove(' '));
        connect(button, &QToolButton::clicked, this, [this, task] { Q_EMIT Chosen(task); });
        m_buttons[task] = button;
        row->addWidget(button);
    }
    m_summary = new QLabel(this);
    m_summary->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    row->addWidget(m_summary, 1);
}

void TaskRow::ShowSummary(const QString& text) {
    m_summaryText = text;
    m_summary->setToolTip(text);
    m_summary->setText(
        m_summary->fontMetrics().elidedText(text, Qt::ElideRight, m_summary->width()));
}

void TaskRow::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    ShowSummary(m_summaryText);
}

}  // namespace desktop::ui
