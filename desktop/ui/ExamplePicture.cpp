#include "desktop/ui/ExamplePicture.h"

#include <poppler-qt6.h>

#include <QDateTime>
#include <QFileInfo>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>
#include <memory>
#include <variant>

#include "desktop/core/EngineSettings.h"
#include "desktop/core/Interlocks.h"
#include "desktop/core/JobPlan.h"
#include "desktop/core/SheetSettings.h"
#include "desktop/ui/QtText.h"
#include "gridane/PropertyTable.h"
#include "gridane/SheetPlan.h"

namespace desktop::ui {

namespace {

// A name or kind the engine does not know leaves the settings as they are.
void Put(gridane::JobSettings& settings, const PropertyPut& put) {
    std::visit(
        [&](const auto& value) {
            com::PutSetting(gridane::GridaneSettingPuts(), settings, put.name, value);
        },
        put.value);
}

// The made-up document the picture imposes: portrait A4 pages, landscape spreads for the
// 2-to-1 groups or business cards of 85 x 55 mm for step-and-repeat, enough of them to fill
// two sides of the largest grid.
constexpr gridane::Box kPortrait{0, 0, 595, 842};
constexpr gridane::Box kSpread{0, 0, 842, 595};
constexpr gridane::Box kCard{0, 0, 240.95, 155.91};

int MadeUpPageCount(gridane::LayoutGroup group) {
    switch (group) {
        case gridane::LayoutGroup::Up12:
            return 24;
        case gridane::LayoutGroup::Up10:
            return 20;
        case gridane::LayoutGroup::Up8:
            return 16;
        case gridane::LayoutGroup::Up6:
            return 12;
        case gridane::LayoutGroup::TwoToOne:
            return 4;
        default:
            return 8;
    }
}

// Turns the pages `rotation` selects by half a turn, as the rotation module does.
void Turn(std::vector<gridane::PageGeometry>& pages, const TurnelleSettings& rotation) {
    int count = static_cast<int>(pages.size());
    for (int k = 0; k < count; ++k) {
        auto& page = pages[static_cast<size_t>(k)];
        if (TurnsPage(rotation, k + 1, count)) page.rotation = (page.rotation + 180) % 360;
    }
}

struct ShownFrame {
    gridane::Box media;
    int rotate = 0;
    double width = 0, height = 0;

    // A point of the sheet's page space to the shown space (origin top-left, y down).
    QPointF Map(double x, double y) const {
        double u = x - media.x1, v = media.y2 - y;
        double w = media.Width(), h = media.Height();
        switch (rotate) {
            case 90:
                return {h - v, u};
            case 180:
                return {w - u, h - v};
            case 270:
                return {v, w - u};
            default:
                return {u, v};
        }
    }
    QRectF Map(const gridane::Box& box) const {
        QPointF a = Map(box.x1, box.y1), b = Map(box.x2, box.y2);
        return QRectF(a, b).normalized();
    }
};

std::string HalfText(gridane::PageHalf half, bool horizontal) {
    if (half == gridane::PageHalf::First) return horizontal ? "lower half" : "left half";
    if (half == gridane::PageHalf::Second) return horizontal ? "upper half" : "right half";
    return {};
}

// Where the page of `cell` is drawn: its visible box scaled and placed as the sheet's content
// draws it (creep moves it within its cell). A blank cell is its rectangle.
gridane::Box DrawnBox(const gridane::PlannedCell& cell,
                      const std::vector<gridane::PageGeometry>& pages) {
    if (cell.page < 1 || static_cast<size_t>(cell.page) > pages.size()) return cell.rect;
    gridane::Box page = pages[static_cast<size_t>(cell.page - 1)].VisibleBox();
    double s = cell.scale;
    if (cell.quarterTurns == 2) {
        return {cell.x - s * page.x2, cell.y - s * page.y2, cell.x - s * page.x1,
                cell.y - s * page.y1};
    }
    return {cell.x + s * page.x1, cell.y + s * page.y1, cell.x + s * page.x2, cell.y + s * page.y2};
}

// ", pages at 71%" when the sheet layout scales the pages of a side.
std::string ScaleText(const gridane::PlannedSide& side) {
    for (const gridane::PlannedCell& cell : side.cells) {
        if (cell.page < 1) continue;
        long percent = std::lround(cell.scale * 100);
        return percent == 100 ? std::string() : ", pages at " + std::to_string(percent) + "%";
    }
    return {};
}

}  // namespace

ExamplePlan BuildExamplePlan(const JobSetup& setup, std::optional<gridane::Box> inputPage) {
    ExamplePlan result;
    result.title = setup.processingType;
    // The job's own plan, without the steps that change no picture.
    JobPlan job = PlanJob(setup, {}, {"/", "input.pdf", "output.pdf", false});
    gridane::JobSettings settings;
    const PlanStep* doubling = job.Find(StepKind::DoubleAndTurn);
    for (const PropertyPut& put : (doubling ? doubling : job.Find(StepKind::Impose))->puts) {
        Put(settings, put);
    }
    // The picture shows the layout from the first page; the range is the job's business.
    settings.firstPage = 1;
    settings.lastPage = gridane::kToLastPage;
    settings.sequenceFile.clear();
    gridane::LayoutGroup group = gridane::SelectLayoutGroup(settings);

    int count = MadeUpPageCount(group);
    // With creep, a section of four sheets (or the signature's, up to eight), so that the
    // innermost sheet shows how far its pages move.
    int creepSheets = 0;
    if (ApplyingSheetOptions(setup).creep && ParseCreep(setup.creep).value_or(0) > 0) {
        creepSheets = setup.signature > 0 ? std::min(setup.signature, 8) : 4;
        count = std::max(count, 4 * creepSheets);
    }
    bool twoToOne = group == gridane::LayoutGroup::TwoToOne;
    std::vector<gridane::PageGeometry> pages(static_cast<size_t>(count));
    for (int k = 0; k < count; ++k) {
        auto& page = pages[static_cast<size_t>(k)];
        page.mediaBox = page.cropBox = page.bleedBox = page.trimBox = page.artBox =
            inputPage.value_or(twoToOne ? kSpread : (settings.repeat ? kCard : kPortrait));
    }
    if (const PlanStep* rotate = job.Find(StepKind::Rotate)) Turn(pages, rotate->rotation);

    // The doubling pass: the input twice, one half (or both) turned, then imposed cut and stack.
    bool doubled = doubling != nullptr;
    if (doubled) {
        pages.insert(pages.end(), pages.begin(), pages.end());
        Turn(pages, doubling->rotation);
        for (const PropertyPut& put : job.Find(StepKind::Impose)->puts) Put(settings, put);
        group = gridane::SelectLayoutGroup(settings);
    }

    std::vector<gridane::PageGeometry> planned =
        twoToOne ? gridane::DoubledForTwoToOne(pages) : pages;
    gridane::SheetPlan plan = gridane::BuildSheetPlan(settings, planned);
    if (std::string fitted = gridane::FittedCardsText(plan); !fitted.empty())
        result.title += ": " + fitted + (inputPage ? "" : " of 85 x 55 mm");

    FirstSheets sheets = FirstSheetsOf(setup);
    std::vector<size_t> shown;
    for (size_t i = 0; i < std::min<size_t>(plan.sides.size(), sheets.count); ++i)
        shown.push_back(i);
    size_t innermost = 2 * static_cast<size_t>(creepSheets - 1);
    if (creepSheets > 1 && innermost < plan.sides.size()) shown.push_back(innermost);
    int documentPages = count;
    for (size_t i : shown) {
        const gridane::PlannedSide& side = plan.sides[i];
        ShownFrame frame{side.mediaBox.box, ((side.rotate % 360) + 360) % 360, side.shownWidth,
                         side.shownHeight};
        PictureSide picture;
        picture.width = side.shownWidth;
        picture.height = side.shownHeight;
        picture.caption = i == innermost && creepSheets > 1
                              ? "Sheet " + std::to_string(creepSheets) + " front, innermost"
                              : SheetCaption(sheets, static_cast<int>(i));
        for (const gridane::PlannedCell& cell : side.cells) {
            PictureCell shownCell;
            QRectF rect = frame.Map(twoToOne ? cell.rect : DrawnBox(cell, planned));
            shownCell.x = rect.x();
            shownCell.y = rect.y();
            shownCell.width = rect.width();
            shownCell.height = rect.height();
            // The plan turns a cell against the page as a viewer shows it alone; the picture
            // shows it against the page as it was made, so the page's own turn counts too.
            int ownTurns = 0;
            if (cell.page >= 1 && static_cast<size_t>(cell.page) <= planned.size()) {
                ownTurns = gridane::NormaliseRotation(
                               planned[static_cast<size_t>(cell.page - 1)].rotation) /
                           90;
            }
            shownCell.turns = (cell.shownTurns + ownTurns) % 4;
            if (cell.page >= 1) {
                shownCell.page = cell.page;
                if ((doubled || twoToOne) && cell.page > documentPages) {
                    shownCell.page = cell.page - documentPages;
                    shownCell.copy = doubled;
                }
            }
            picture.cells.push_back(shownCell);
        }
        for (const gridane::MarkLine& line : side.marks) {
            QPointF a = frame.Map(line.x1, line.y1), b = frame.Map(line.x2, line.y2);
            picture.marks.push_back({a.x(), a.y(), b.x(), b.y(), line.dashed});
        }
        picture.caption += ScaleText(side);
        if (twoToOne && !side.cells.empty() && side.cells.front().page >= 1) {
            picture.caption += ": " + HalfText(side.half, settings.up2to1h) + " of page " +
                               std::to_string(picture.cells.front().page);
        }
        result.sides.push_back(std::move(picture));
    }
    return result;
}

namespace {

void PaintCell(QPainter& painter, const QRectF& rect, const PictureCell& cell,
               const QPalette& palette) {
    if (cell.page < 1) {
        painter.setPen(QPen(palette.color(QPalette::Mid), 1, Qt::DashLine));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(rect.adjusted(1, 1, -1, -1));
        QFont font = painter.font();
        font.setPixelSize(std::max(8, static_cast<int>(std::min(rect.width(), rect.height()) / 5)));
        painter.setFont(font);
        painter.setPen(palette.color(QPalette::Mid));
        painter.drawText(rect, Qt::AlignCenter, QStringLiteral("blank"));
        return;
    }
    painter.setPen(QPen(QColor(0x55, 0x55, 0x55), 1));
    painter.setBrush(cell.copy ? QColor(0xfd, 0xf3, 0xdc) : QColor(Qt::white));
    painter.drawRect(rect.adjusted(1, 1, -1, -1));

    // The page's own frame, turned as the page shows: a heading bar marks its top.
    painter.save();
    painter.translate(rect.center());
    painter.rotate(90.0 * cell.turns);
    bool sideways = cell.turns % 2 == 1;
    double w = sideways ? rect.height() : rect.width();
    double h = sideways ? rect.width() : rect.height();
    QRectF page(-w / 2, -h / 2, w, h);
    double bar = std::max(2.0, h * 0.06);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0x3a, 0x6e, 0xa5));
    painter.drawRect(QRectF(page.left() + w * 0.15, page.top() + h * 0.08, w * 0.7, bar));
    painter.setBrush(QColor(0xc8, 0xd3, 0xe0));
    for (int line = 0; line < 3; ++line) {
        double y = page.bottom() - h * (0.12 + 0.07 * line);
        painter.drawRect(QRectF(page.left() + w * 0.15, y, w * 0.7, std::max(1.0, h * 0.025)));
    }
    QFont font = painter.font();
    font.setBold(true);
    font.setPixelSize(std::max(8, static_cast<int>(std::min(w, h) * 0.42)));
    painter.setFont(font);
    painter.setPen(QColor(0x22, 0x22, 0x22));
    painter.drawText(page, Qt::AlignCenter, QString::number(cell.page));
    painter.restore();
}

}  // namespace

void PaintExample(QPainter& painter, const QRectF& area, const ExamplePlan& plan,
                  const QPalette& palette) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    if (plan.sides.empty()) {
        painter.setPen(palette.color(QPalette::WindowText));
        painter.drawText(area, Qt::AlignCenter | Qt::TextWordWrap,
                         QStringLiteral("This layout makes no sheet from these options."));
        painter.restore();
        return;
    }
    QFont captionFont = painter.font();
    captionFont.setPixelSize(11);
    QFontMetricsF metrics(captionFont);
    // Two lines where a caption is wider than its side ("Sheet 1: left half of page 1").
    double captionHeight = metrics.height() + 4;
    for (const PictureSide& side : plan.sides) {
        if (side.caption.size() > 16) captionHeight = 2 * metrics.height() + 4;
    }
    double gap = 12;
    int n = static_cast<int>(plan.sides.size());
    double totalWidth = 0, maxHeight = 0;
    for (const PictureSide& side : plan.sides) {
        totalWidth += side.width;
        maxHeight = std::max(maxHeight, side.height);
    }
    double availableWidth = area.width() - gap * (n + 1);
    double availableHeight = area.height() - captionHeight - 2 * gap;
    double scale = std::min(availableWidth / totalWidth, availableHeight / maxHeight);
    if (scale <= 0) {
        painter.restore();
        return;
    }
    double used = totalWidth * scale + gap * (n - 1);
    double x = area.left() + (area.width() - used) / 2;
    for (const PictureSide& side : plan.sides) {
        double w = side.width * scale, h = side.height * scale;
        double top = area.top() + gap + (availableHeight - h) / 2;
        QRectF sheet(x, top, w, h);
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(0, 0, 0, 40));
        painter.drawRect(sheet.translated(3, 3));
        painter.setBrush(QColor(0xf4, 0xf4, 0xf4));
        painter.setPen(QPen(QColor(0x33, 0x33, 0x33), 1.5));
        painter.drawRect(sheet);
        for (const PictureCell& cell : side.cells) {
            QRectF rect(x + cell.x * scale, top + cell.y * scale, cell.width * scale,
                        cell.height * scale);
            PaintCell(painter, rect, cell, palette);
        }
        for (const PictureMark& mark : side.marks) {
            painter.setPen(
                QPen(QColor(0x11, 0x11, 0x11), 1, mark.dashed ? Qt::DashLine : Qt::SolidLine));
            painter.drawLine(QPointF(x + mark.x1 * scale, top + mark.y1 * scale),
                             QPointF(x + mark.x2 * scale, top + mark.y2 * scale));
        }
        painter.setFont(captionFont);
        painter.setPen(palette.color(QPalette::WindowText));
        QRectF caption(x - gap / 2, top + h + 3, w + gap, captionHeight);
        painter.drawText(caption, Qt::AlignHCenter | Qt::AlignTop | Qt::TextWordWrap,
                         QString::fromStdString(side.caption));
        x += w + gap;
    }
    painter.restore();
}

ExamplePicture::ExamplePicture(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent, false);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

std::optional<gridane::Box> InputPageBox(const std::string& name) {
    struct Remembered {
        QString path;
        QDateTime modified;
        qint64 size = -1;
        std::optional<gridane::Box> box;
    };
    static Remembered last;
    QFileInfo file(Q(name));
    // A pipe or a device would keep the window waiting.
    if (name.empty() || !file.isFile()) return std::nullopt;
    if (file.absoluteFilePath() == last.path && file.lastModified() == last.modified &&
        file.size() == last.size) {
        return last.box;
    }
    last = {file.absoluteFilePath(), file.lastModified(), file.size(), std::nullopt};
    std::unique_ptr<Poppler::Document> document = Poppler::Document::load(last.path);
    if (!document || document->isLocked() || document->numPages() < 1) return std::nullopt;
    std::unique_ptr<Poppler::Page> page = document->page(0);
    if (!page) return std::nullopt;
    QSizeF size = page->pageSizeF();
    if (size.width() < 1 || size.height() < 1) return std::nullopt;
    last.box = gridane::Box{0, 0, size.width(), size.height()};
    return last.box;
}

void ExamplePicture::ShowJob(const JobSetup& setup) {
    std::optional<gridane::Box> inputPage = InputPageBox(setup.inFile);
    m_plan = BuildExamplePlan(setup, inputPage);
    // Pages that fit no sheet leave the preview to say why; the example shows the layout over
    // made-up pages.
    if (m_plan.sides.empty() && inputPage) m_plan = BuildExamplePlan(setup);
    setAccessibleDescription(QString::fromStdString(m_plan.title));
    update();
}

void ExamplePicture::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), palette().color(QPalette::Base));
    PaintExample(painter, QRectF(rect()).adjusted(2, 2, -2, -2), m_plan, palette());
}

}  // namespace desktop::ui
