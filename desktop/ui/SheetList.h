// The preview's list of sheets: every page of one imposed document under its label, in a
// scrolling grid whose cell size the zoom sets.
//
// Only what is scrolled into view is rendered: one page at a time, off the window's thread,
// at the size the zoom gives it, nearest first. A document of thousands of sheets costs no more
// than the few in view. A new document, or none, drops the old pictures, and a render still
// running for the old one is thrown away when it ends. Rendered pictures are kept up to a
// memory bound; the ones out of sight longest go first.
#pragma once

#include <QAbstractScrollArea>
#include <QCache>
#include <QFontMetricsF>
#include <QFutureWatcher>
#include <QImage>
#include <QList>
#include <QSizeF>
#include <QStringList>
#include <memory>
#include <utility>

namespace Poppler {
class Document;
}

namespace desktop::ui {

// One imposed document for the list: its pages' sizes in points (as a viewer shows them) and
// their labels, one each.
struct SheetSet {
    std::shared_ptr<Poppler::Document> document;
    QList<QSizeF> sizes;
    QStringList captions;
};

// A finished render.
struct RenderedSheet {
    int serial = 0;  // the document it belongs to
    int index = -1;
    QImage image;
};

// `caption` as it fits in `width` at the font of `metrics`: whole, then without its first word
// ("Sheet 12 front" as "12 front"), then elided; so that neighbouring labels never run into
// each other however small the sheets are shown.
QString FitCaption(const QString& caption, const QFontMetricsF& metrics, double width);

class SheetList : public QAbstractScrollArea {
    Q_OBJECT
  public:
    explicit SheetList(QWidget* parent = nullptr);
    ~SheetList() override;

    // Shows `sheets` from the first; the old pictures go.
    void SetSheets(SheetSet sheets);
    // Shows `note` instead of any sheet.
    void SetNote(const QString& note);
    // Says "Imposing..." over what is shown.
    void SetBusy(bool busy);
    // Waits for the running render and drops it (the window closes).
    void Stop();

    // Zoom: 1 fits one sheet to the width; below, several sheets share a row.
    double Zoom() const;
    void ZoomIn();
    void ZoomOut();
    void SetZoomStep(int step);

    int Count() const { return static_cast<int>(m_sheets.captions.size()); }
    QString Caption(int index) const { return m_sheets.captions.value(index); }
    QString Note() const { return m_note; }
    bool IsRendered(int index) const;
    // Pages rendered since the document was set (a page rendered again counts again).
    int RenderCount() const { return m_renderCount; }
    // The sheets at least partly in view: first index and count.
    std::pair<int, int> VisibleSheets() const;
    void ScrollToSheet(int index);

  Q_SIGNALS:
    void Rendered(int index);
    void ZoomChanged(double zoom);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void wheelEvent(QWheelEvent* event) override;

  private:
    struct Grid {
        int columns = 1;
        double cellWidth = 0, pictureHeight = 0, rowHeight = 0;
        double contentWidth = 0, contentHeight = 0;
    };
    Grid Layout() const;
    QRectF PictureBox(const Grid& grid, int index) const;   // in content coordinates
    QRectF PictureRect(const Grid& grid, int index) const;  // the page within its box
    QSize WantedPixels(const Grid& grid, int index) const;
    void UpdateScrollBars();
    // While the layout changes, the scroll bars pass through positions nobody looks at: no
    // render starts for them.
    struct Relayout {
        explicit Relayout(SheetList& list) : m_list(list) { m_list.m_relayout = true; }
        ~Relayout() { m_list.m_relayout = false; }
        SheetList& m_list;
    };
    void RenderNext();
    void RenderFinished();

    SheetSet m_sheets;
    QString m_note;
    bool m_busy = false;
    int m_zoomStep;
    int m_serial = 0;
    int m_renderCount = 0;
    bool m_relayout = false;
    QCache<int, QImage> m_pictures;
    QFutureWatcher<RenderedSheet> m_render;
};

}  // namespace desktop::ui
