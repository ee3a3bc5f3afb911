#include "desktop/ui/SheetList.h"

#include <poppler-qt6.h>

#include <QPainter>
#include <QScrollBar>
#include <QWheelEvent>
#include <QtConcurrent/QtConcurrentRun>
#include <algorithm>
#include <array>
#include <cmath>

namespace desktop::ui {

namespace {

constexpr std::array<double, 9> kZoomSteps{0.2, 0.3, 0.4, 0.5, 0.7, 1.0, 1.4, 2.0, 3.0};
constexpr int kFitStep = 5;  // 1.0
constexpr double kGap = 12;
constexpr double kCaptionHeight = 18;
constexpr double kMinCellWidth = 40;
// Pictures are kept up to this many kilobytes (some 60 sheets at the width of a wide pane).
constexpr int kPictureKilobytes = 96 * 1024;

RenderedSheet Render(std::shared_ptr<Poppler::Document> document, int serial, int index,
                     QSize pixels) {
    RenderedSheet rendered{serial, index, {}};
    std::unique_ptr<Poppler::Page> page = document->page(index);
    if (!page) return rendered;
    QSizeF points = page->pageSizeF();
    if (points.isEmpty()) return rendered;
    double dpi =
        std::min(pixels.width() * 72.0 / points.width(), pixels.height() * 72.0 / points.height());
    dpi = std::clamp(dpi, 2.0, 600.0);
    rendered.image = page->renderToImage(dpi, dpi);
    return rendered;
}

}  // namespace

QString FitCaption(const QString& caption, const QFontMetricsF& metrics, double width) {
    if (metrics.horizontalAdvance(caption) <= width) return caption;
    QString shorter = caption.section(QLatin1Char(' '), 1);
    if (!shorter.isEmpty() && metrics.horizontalAdvance(shorter) <= width) return shorter;
    if (shorter.isEmpty()) shorter = caption;
    // Eliding may overshoot by a fraction of a pixel: narrower until it fits.
    for (double room = width; room > 0; room -= 1) {
        QString elided = metrics.elidedText(shorter, Qt::ElideRight, room);
        if (metrics.horizontalAdvance(elided) <= width) return elided;
    }
    return {};
}

SheetList::SheetList(QWidget* parent)
    : QAbstractScrollArea(parent), m_zoomStep(kFitStep), m_pictures(kPictureKilobytes) {
    setFrameShape(QFrame::NoFrame);
    // A scroll bar that came and went would change the width, and so every picture's size.
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    verticalScrollBar()->setSingleStep(40);
    horizontalScrollBar()->setSingleStep(40);
    connect(&m_render, &QFutureWatcher<RenderedSheet>::finished, this, &SheetList::RenderFinished);
}

SheetList::~SheetList() {
    Stop();
}

void SheetList::Stop() {
    ++m_serial;
    if (m_render.isRunning()) m_render.waitForFinished();
}

void SheetList::SetSheets(SheetSet sheets) {
    ++m_serial;
    m_sheets = std::move(sheets);
    m_note.clear();
    m_pictures.clear();
    m_renderCount = 0;
    {
        Relayout relayout(*this);
        UpdateScrollBars();
        verticalScrollBar()->setValue(0);
        horizontalScrollBar()->setValue(0);
    }
    viewport()->update();
    RenderNext();
}

void SheetList::SetNote(const QString& note) {
    SetSheets({});
    m_note = note;
    viewport()->update();
}

void SheetList::SetBusy(bool busy) {
    m_busy = busy;
    viewport()->update();
}

double SheetList::Zoom() const {
    return kZoomSteps[static_cast<size_t>(m_zoomStep)];
}

void SheetList::SetZoomStep(int step) {
    step = std::clamp(step, 0, static_cast<int>(kZoomSteps.size()) - 1);
    if (step == m_zoomStep) return;
    // Keep the sheet at the top of the view in view.
    int first = VisibleSheets().first;
    m_zoomStep = step;
    {
        Relayout relayout(*this);
        UpdateScrollBars();
        ScrollToSheet(first);
    }
    viewport()->update();
    Q_EMIT ZoomChanged(Zoom());
    RenderNext();
}

void SheetList::ZoomIn() {
    SetZoomStep(m_zoomStep + 1);
}
void SheetList::ZoomOut() {
    SetZoomStep(m_zoomStep - 1);
}

SheetList::Grid SheetList::Layout() const {
    Grid grid;
    double width = std::max(1, viewport()->width());
    // At zoom 1/n, n sheets fill a row.
    grid.cellWidth = std::max(kMinCellWidth, (width - kGap) * Zoom() - kGap);
    grid.columns = std::max(1, static_cast<int>((width - kGap) / (grid.cellWidth + kGap)));
    // Every cell is as tall as the tallest sheet needs, so that rows line up and the sheets in
    // view follow from the scroll position alone.
    double aspect = 0.1;
    for (const QSizeF& size : m_sheets.sizes) {
        if (!size.isEmpty()) aspect = std::max(aspect, size.height() / size.width());
    }
    grid.pictureHeight = grid.cellWidth * std::min(aspect, 10.0);
    grid.rowHeight = grid.pictureHeight + kCaptionHeight + kGap;
    int rows = (Count() + grid.columns - 1) / grid.columns;
    grid.contentWidth = std::max(width, grid.columns * (grid.cellWidth + kGap) + kGap);
    grid.contentHeight = rows * grid.rowHeight + kGap;
    return grid;
}

QRectF SheetList::PictureBox(const Grid& grid, int index) const {
    int row = index / grid.columns;
    int column = index % grid.columns;
    // The row is centred when it is narrower than the view.
    double used = grid.columns * (grid.cellWidth + kGap) - kGap;
    double left = std::max(kGap, (grid.contentWidth - used) / 2);
    return {left + column * (grid.cellWidth + kGap), kGap + row * grid.rowHeight, grid.cellWidth,
            grid.pictureHeight};
}

QRectF SheetList::PictureRect(const Grid& grid, int index) const {
    QRectF box = PictureBox(grid, index);
    QSizeF size = m_sheets.sizes.value(index);
    if (size.isEmpty()) return box;
    size.scale(box.size(), Qt::KeepAspectRatio);
    return {box.left() + (box.width() - size.width()) / 2,
            box.top() + (box.height() - size.height()) / 2, size.width(), size.height()};
}

QSize SheetList::WantedPixels(const Grid& grid, int index) const {
    QSizeF size = PictureRect(grid, index).size() * devicePixelRatioF();
    return {std::max(1, static_cast<int>(std::lround(size.width()))),
            std::max(1, static_cast<int>(std::lround(size.height())))};
}

void SheetList::UpdateScrollBars() {
    Grid grid = Layout();
    QSize view = viewport()->size();
    verticalScrollBar()->setRange(
        0, std::max(0, static_cast<int>(grid.contentHeight) - view.height()));
    verticalScrollBar()->setPageStep(view.height());
    horizontalScrollBar()->setRange(
        0, std::max(0, static_cast<int>(grid.contentWidth) - view.width()));
    horizontalScrollBar()->setPageStep(view.width());
}

std::pair<int, int> SheetList::VisibleSheets() const {
    if (Count() == 0) return {0, 0};
    Grid grid = Layout();
    double top = verticalScrollBar()->value();
    double bottom = top + viewport()->height();
    int firstRow = std::max(0, static_cast<int>((top - kGap) / grid.rowHeight));
    int lastRow = std::max(firstRow, static_cast<int>((bottom - kGap) / grid.rowHeight));
    int first = std::min(Count() - 1, firstRow * grid.columns);
    int end = std::min(Count(), (lastRow + 1) * grid.columns);
    return {first, end - first};
}

void SheetList::ScrollToSheet(int index) {
    if (Count() == 0) return;
    Grid grid = Layout();
    QRectF box = PictureBox(grid, std::clamp(index, 0, Count() - 1));
    verticalScrollBar()->setValue(static_cast<int>(box.top() - kGap));
}

bool SheetList::IsRendered(int index) const {
    return m_pictures.contains(index);
}

// Starts the render of the first sheet in view whose picture is missing or of another size.
void SheetList::RenderNext() {
    if (m_render.isRunning() || !m_sheets.document) return;
    Grid grid = Layout();
    auto [first, count] = VisibleSheets();
    for (int index = first; index < first + count; ++index) {
        QSize wanted = WantedPixels(grid, index);
        const QImage* have = m_pictures.object(index);
        if (have != nullptr && std::abs(have->width() - wanted.width()) <= 2 &&
            std::abs(have->height() - wanted.height()) <= 2)
            continue;
        m_render.setFuture(QtConcurrent::run(Render, m_sheets.document, m_serial, index, wanted));
        return;
    }
}

void SheetList::RenderFinished() {
    RenderedSheet rendered = m_render.result();
    if (rendered.serial == m_serial && !rendered.image.isNull()) {
        int kilobytes = std::max<qsizetype>(1, rendered.image.sizeInBytes() / 1024);
        m_pictures.insert(rendered.index, new QImage(std::move(rendered.image)), kilobytes);
        ++m_renderCount;
        viewport()->update();
        Q_EMIT Rendered(rendered.index);
    }
    RenderNext();
}

void SheetList::paintEvent(QPaintEvent*) {
    QPainter painter(viewport());
    painter.fillRect(viewport()->rect(), palette().color(QPalette::Base));
    QRectF area = QRectF(viewport()->rect()).adjusted(6, 6, -6, -6);
    if (Count() == 0) {
        painter.setPen(palette().color(QPalette::WindowText));
        painter.drawText(area, Qt::AlignCenter | Qt::TextWordWrap, m_note);
    } else {
        Grid grid = Layout();
        painter.translate(-horizontalScrollBar()->value(), -verticalScrollBar()->value());
        auto [first, count] = VisibleSheets();
        for (int index = first; index < first + count; ++index) {
            QRectF target = PictureRect(grid, index);
            painter.fillRect(target.translated(3, 3), QColor(0, 0, 0, 40));
            if (const QImage* image = m_pictures.object(index)) {
                painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
                painter.drawImage(target, *image);
            } else {
                painter.fillRect(target, Qt::white);
            }
            painter.setPen(QColor(0x88, 0x88, 0x88));
            painter.drawRect(target);
            painter.setPen(palette().color(QPalette::WindowText));
            QRectF box = PictureBox(grid, index);
            // The label's room is its cell and a quarter of the gap on either side, so that
            // neighbouring labels stay half a gap apart.
            double room = box.width() + kGap / 2;
            painter.drawText(QRectF(box.left() - kGap / 4, box.bottom() + 2, room, kCaptionHeight),
                             Qt::AlignHCenter | Qt::AlignTop,
                             FitCaption(Caption(index), QFontMetricsF(painter.font()), room));
        }
        painter.resetTransform();
    }
    if (m_busy) {
        QFont font = painter.font();
        font.setItalic(true);
        painter.setFont(font);
        painter.setPen(palette().color(QPalette::PlaceholderText));
        painter.drawText(area, Qt::AlignRight | Qt::AlignBottom, QStringLiteral("Imposing..."));
    }
}

void SheetList::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    {
        Relayout relayout(*this);
        UpdateScrollBars();
    }
    RenderNext();
}

void SheetList::scrollContentsBy(int, int) {
    viewport()->update();
    if (!m_relayout) RenderNext();
}

// Ctrl and the wheel zoom; the wheel alone scrolls.
void SheetList::wheelEvent(QWheelEvent* event) {
    if (event->modifiers() & Qt::ControlModifier) {
        int steps = event->angleDelta().y() / 120;
        if (steps != 0) SetZoomStep(m_zoomStep + steps);
        event->accept();
        return;
    }
    QAbstractScrollArea::wheelEvent(event);
}

}  // namespace desktop::ui
