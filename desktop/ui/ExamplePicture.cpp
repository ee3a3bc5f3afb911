#include "desktop/ui/ExamplePicture.h"

#include <poppler-qt6.h>

#include <QDate>
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
#include "desktop/core/ProposedOutput.h"
#include "desktop/core/SheetSettings.h"
#include "desktop/ui/QtText.h"
#include "gridane/PosterTiles.h"
#include "gridane/PressSheet.h"
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

// The most tiles of a poster the picture puts together.
constexpr size_t kMostTilesShown = 36;

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

// Where the page box `page` of `cell` is drawn: scaled and placed as the sheet's content draws
// it (creep moves it within its cell).
gridane::Box Placed(const gridane::PlannedCell& cell, const gridane::Box& page) {
    double s = cell.scale;
    if (cell.quarterTurns == 2) {
        return {cell.x - s * page.x2, cell.y - s * page.y2, cell.x - s * page.x1,
                cell.y - s * page.y1};
    }
    return {cell.x + s * page.x1, cell.y + s * page.y1, cell.x + s * page.x2, cell.y + s * page.y2};
}

// Where the page of `cell` is drawn: its visible box placed. A blank cell is its rectangle.
gridane::Box DrawnBox(const gridane::PlannedCell& cell,
                      const std::vector<gridane::PageGeometry>& pages) {
    if (cell.page < 1 || static_cast<size_t>(cell.page) > pages.size()) return cell.rect;
    return Placed(cell, pages[static_cast<size_t>(cell.page - 1)].VisibleBox());
}

// The layout as the picture names it: the layout's name, folded signatures with their binding,
// or the template's file name.
std::string LayoutTitle(const JobSetup& setup) {
    if (!setup.layoutTemplate.empty())
        return "Template " + QFileInfo(Q(setup.layoutTemplate)).fileName().toStdString();
    if (setup.fold == 0) return setup.processingType;
    return std::to_string(setup.fold) + "-page signatures, " +
           (setup.binding.empty() ? std::string("saddle") : setup.binding) + " binding";
}

// The press items of `side` in its shown space (origin top-left), the slug's fields filled in
// for the job's first sheets, a poster tile's label as it stands.
PicturePress PressOf(const gridane::PlannedSide& side, const JobSetup& setup, int sides) {
    const gridane::PressItems& items = side.press;
    double h = side.shownHeight;
    PicturePress press;
    for (const auto& [x, y] : items.targets) press.targets.emplace_back(x, h - y);
    press.patches = items.patches;
    press.patchSize = items.patchSize;
    press.barX = items.barX;
    press.barY = h - items.barY - items.patchSize;
    if (!items.slug) return press;
    gridane::SlugFields fields;
    fields.file =
        setup.inFile.empty() ? "input.pdf" : QFileInfo(Q(setup.inFile)).fileName().toStdString();
    fields.job = QFileInfo(Q(setup.outFile.empty() ? ProposedOutputName(setup) : setup.outFile))
                     .completeBaseName()
                     .toStdString();
    fields.date = QDate::currentDate().toString(Qt::ISODate).toStdString();
    fields.sheet = side.sheetNumber;
    fields.sheets = std::max(1, (sides + 1) / 2);
    fields.back = side.back;
    press.text = items.label.empty() ? gridane::ExpandSlug(setup.slug, fields) : items.label;
    press.textX = items.slugX;
    press.textY = h - items.slugY;
    press.textWidth = items.slugWidth;
    return press;
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

// The settings of the engine carrying out `step`, as a fresh engine gets them. The picture shows
// the layout from the first page; the range is the job's business.
gridane::JobSettings ExampleSettings(const JobPlan& job, const PlanStep& step) {
    gridane::JobSettings settings;
    for (const PropertyPut& put : FreshEnginePuts(job, step)) Put(settings, put);
    settings.firstPage = 1;
    settings.lastPage = gridane::kToLastPage;
    settings.sequenceFile.clear();
    return settings;
}

}  // namespace

ExamplePlan BuildExamplePlan(const JobSetup& setup, std::optional<gridane::Box> inputPage) {
    ExamplePlan result;
    result.title = LayoutTitle(setup);
    // A template's sheets come from its file, which the engine reads when it runs.
    if (!setup.layoutTemplate.empty()) {
        result.note = "The template's sheets show in the preview.";
        return result;
    }
    // The job's own plan, without the steps that change no picture.
    JobPlan job = PlanJob(setup, {}, {"/", "input.pdf", "output.pdf", false});
    const PlanStep* doubling = job.Find(StepKind::DoubleAndTurn);
    gridane::JobSettings settings =
        ExampleSettings(job, doubling ? *doubling : *job.Find(StepKind::Impose));
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
        // The imposition's engine as the run and the preview give it its settings.
        settings = ExampleSettings(job, *job.Find(StepKind::Impose));
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
    // Poster tiles: every tile of the first page, put together.
    bool poster = gridane::UsesPosterTiles(settings);
    if (poster && !planned.empty()) {
        std::string problem;
        std::optional<gridane::PosterTiling> tiling =
            gridane::TilePage(settings, planned.front(), problem);
        if (tiling) {
            size_t tiles = static_cast<size_t>(tiling->grid.columns) * tiling->grid.rows;
            result.columns = tiling->grid.columns;
            result.title = "Poster: " + std::to_string(tiling->grid.columns) + " x " +
                           std::to_string(tiling->grid.rows) + " tiles";
            shown.clear();
            for (size_t i = 0; i < std::min({tiles, plan.sides.size(), kMostTilesShown}); ++i)
                shown.push_back(i);
        }
    }
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
            QRectF clip = cell.clip && !twoToOne ? frame.Map(Placed(cell, *cell.clip)) : rect;
            shownCell.clipX = clip.x();
            shownCell.clipY = clip.y();
            shownCell.clipWidth = clip.width();
            shownCell.clipHeight = clip.height();
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
        picture.press = PressOf(side, setup, static_cast<int>(plan.sides.size()));
        picture.caption += ScaleText(side);
        if (poster) picture.caption.clear();
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

// The registration targets, colour bar and slug of a side drawn at `scale` from `origin`.
void PaintPress(QPainter& painter, QPointF origin, double scale, const PicturePress& press,
                const QPalette& palette) {
    auto at = [&](double x, double y) { return origin + QPointF(x * scale, y * scale); };
    painter.setPen(QPen(QColor(0x11, 0x11, 0x11), 0.8));
    painter.setBrush(Qt::NoBrush);
    double radius = gridane::kTargetRadius * scale, reach = gridane::kTargetReach * scale;
    for (const auto& [x, y] : press.targets) {
        QPointF centre = at(x, y);
        painter.drawEllipse(centre, radius, radius);
        painter.drawLine(centre - QPointF(reach, 0), centre + QPointF(reach, 0));
        painter.drawLine(centre - QPointF(0, reach), centre + QPointF(0, reach));
    }
    static const QColor kInks[] = {QColor(0, 0xae, 0xef), QColor(0xec, 0x00, 0x8c),
                                   QColor(0xff, 0xf2, 0x00), QColor(0x23, 0x1f, 0x20)};
    painter.setPen(Qt::NoPen);
    for (int k = 0; k < press.patches; ++k) {
        painter.setBrush(kInks[k % 4]);
        painter.drawRect(QRectF(at(press.barX + k * press.patchSize, press.barY),
                                QSizeF(press.patchSize * scale, press.patchSize * scale)));
    }
    if (press.text.empty()) return;
    QFont font = painter.font();
    font.setPixelSize(std::max(6, static_cast<int>(gridane::kSlugSize * scale * 1.4)));
    painter.setFont(font);
    painter.setPen(palette.color(QPalette::WindowText));
    QString text = painter.fontMetrics().elidedText(Q(press.text), Qt::ElideRight,
                                                    static_cast<int>(press.textWidth * scale));
    painter.drawText(at(press.textX, press.textY), text);
}

// One side drawn into `sheet`: its cells (each clipped to the part of its page it shows), its
// marks and its press items.
void PaintSide(QPainter& painter, const QRectF& sheet, double scale, const PictureSide& side,
               const QPalette& palette) {
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0, 0, 0, 40));
    painter.drawRect(sheet.translated(3, 3));
    painter.setBrush(QColor(0xf4, 0xf4, 0xf4));
    painter.setPen(QPen(QColor(0x33, 0x33, 0x33), 1.5));
    painter.drawRect(sheet);
    double x = sheet.left(), top = sheet.top();
    for (const PictureCell& cell : side.cells) {
        QRectF rect(x + cell.x * scale, top + cell.y * scale, cell.width * scale,
                    cell.height * scale);
        QRectF clip(x + cell.clipX * scale, top + cell.clipY * scale, cell.clipWidth * scale,
                    cell.clipHeight * scale);
        painter.save();
        painter.setClipRect(clip.adjusted(-1, -1, 1, 1).intersected(sheet));
        PaintCell(painter, rect, cell, palette);
        painter.restore();
    }
    for (const PictureMark& mark : side.marks) {
        painter.setPen(
            QPen(QColor(0x11, 0x11, 0x11), 1, mark.dashed ? Qt::DashLine : Qt::SolidLine));
        painter.drawLine(QPointF(x + mark.x1 * scale, top + mark.y1 * scale),
                         QPointF(x + mark.x2 * scale, top + mark.y2 * scale));
    }
    PaintPress(painter, sheet.topLeft(), scale, side.press, palette);
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
                         plan.note.empty()
                             ? QStringLiteral("This layout makes no sheet from these options.")
                             : Q(plan.note));
        painter.restore();
        return;
    }
    QFont captionFont = painter.font();
    captionFont.setPixelSize(11);
    QFontMetricsF metrics(captionFont);
    // Two lines where a caption is wider than its side ("Sheet 1: left half of page 1").
    double captionHeight = 0;
    for (const PictureSide& side : plan.sides) {
        if (!side.caption.empty()) captionHeight = std::max(captionHeight, metrics.height() + 4);
        if (side.caption.size() > 16) captionHeight = 2 * metrics.height() + 4;
    }
    // Sides in rows of `columns`, each row as wide as its sides.
    size_t n = plan.sides.size();
    size_t columns = plan.columns > 0 ? static_cast<size_t>(plan.columns) : n;
    size_t rows = (n + columns - 1) / columns;
    double gap = plan.columns > 0 ? 4 : 12;
    double widest = 0, rowsHeight = 0;
    for (size_t first = 0; first < n; first += columns) {
        double width = 0, height = 0;
        for (size_t i = first; i < std::min(n, first + columns); ++i) {
            width += plan.sides[i].width;
            height = std::max(height, plan.sides[i].height);
        }
        widest = std::max(widest, width);
        rowsHeight += height;
    }
    double availableWidth = area.width() - gap * (double(columns) + 1);
    double availableHeight = area.height() - rows * captionHeight - gap * (double(rows) + 1);
    double scale = std::min(availableWidth / widest, availableHeight / rowsHeight);
    if (scale <= 0) {
        painter.restore();
        return;
    }
    double usedHeight = rowsHeight * scale + rows * captionHeight + gap * (double(rows) - 1);
    double top = area.top() + (area.height() - usedHeight) / 2;
    for (size_t first = 0; first < n; first += columns) {
        size_t end = std::min(n, first + columns);
        double rowWidth = 0, rowHeight = 0;
        for (size_t i = first; i < end; ++i) {
            rowWidth += plan.sides[i].width * scale;
            rowHeight = std::max(rowHeight, plan.sides[i].height * scale);
        }
        double x = area.left() + (area.width() - rowWidth - gap * double(end - first - 1)) / 2;
        for (size_t i = first; i < end; ++i) {
            const PictureSide& side = plan.sides[i];
            QRectF sheet(x, top + (rowHeight - side.height * scale) / 2, side.width * scale,
                         side.height * scale);
            PaintSide(painter, sheet, scale, side, palette);
            painter.setFont(captionFont);
            painter.setPen(palette.color(QPalette::WindowText));
            QRectF caption(x - gap / 2, top + rowHeight + 3, sheet.width() + gap, captionHeight);
            painter.drawText(caption, Qt::AlignHCenter | Qt::AlignTop | Qt::TextWordWrap,
                             QString::fromStdString(side.caption));
            x += sheet.width() + gap;
        }
        top += rowHeight + captionHeight + gap;
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
