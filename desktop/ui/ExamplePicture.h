// The "Example" picture of the main window: the first sheet of the chosen layout (front and
// back where the order has one), drawn from the engine's own sheet plan over made-up pages,
// with the page number in every cell and the turned cells turned. The sheet settings show as
// the plan makes them: pages scaled onto the sheet (the scale in the caption), shifted by creep,
// the crop and fold marks, the registration targets, colour bar and slug, and the tiles of a
// poster put together.
//
// The picture holds no rule of its own: it walks the job's own plan (JobPlan.h), whose puts and
// turns the pipeline uses too, and takes the cells and their turns from `gridane::BuildSheetPlan`.
#pragma once

#include <QWidget>
#include <optional>
#include <string>
#include <vector>

#include "desktop/core/JobSetup.h"
#include "gridane/JobSettings.h"

class QPainter;

namespace desktop::ui {

// One cell as the picture shows it, in the side's shown space (points, origin top-left,
// y down, the side's /Rotate applied).
struct PictureCell {
    double x = 0, y = 0, width = 0, height = 0;
    int page = 0;       // the input page shown (1-based), 0 for a blank cell
    int turns = 0;      // clockwise quarter turns of the page as shown
    bool copy = false;  // the second copy of a duplicated page (doubling pass)
    // The part of the cell the page shows (a poster tile's piece of its page), in the same space.
    double clipX = 0, clipY = 0, clipWidth = 0, clipHeight = 0;
};

// A crop or fold mark, in the side's shown space.
struct PictureMark {
    double x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    bool dashed = false;  // a fold mark
};

// The press items of a side (registration targets, colour bar, slug), in its shown space.
struct PicturePress {
    std::vector<std::pair<double, double>> targets;  // centres
    int patches = 0;
    double barX = 0, barY = 0, patchSize = 0;    // the bar's top-left corner
    std::string text;                            // the slug or a tile's label, fields filled in
    double textX = 0, textY = 0, textWidth = 0;  // the line's baseline start and room
};

struct PictureSide {
    std::string caption;  // "Sheet 1 front", "Sheet 1", ... with the pages' scale when not 100%
    double width = 0, height = 0;
    std::vector<PictureCell> cells;
    std::vector<PictureMark> marks;
    PicturePress press;
};

struct ExamplePlan {
    std::string title;  // the layout as the picture names it: "2up booklet", ...
    std::vector<PictureSide> sides;
    // Sides a row: poster tiles are shown as they are put together; 0 for one row.
    int columns = 0;
    std::string note;  // said in place of sides the picture cannot draw (a template's)
};

// The sides the picture shows for `setup`, over pages of `inputPage` (the input's first page)
// when it is known, else over made-up pages.
ExamplePlan BuildExamplePlan(const JobSetup& setup,
                             std::optional<gridane::Box> inputPage = std::nullopt);

// The first page of the PDF `name` as a box in points, as shown (its turn applied); nullopt
// when it is no plain file or does not open without a password. Remembered per file state, so
// that every change of the settings does not open the input again.
std::optional<gridane::Box> InputPageBox(const std::string& name);

// Draws `plan` into `area`.
void PaintExample(QPainter& painter, const QRectF& area, const ExamplePlan& plan,
                  const QPalette& palette);

class ExamplePicture : public QWidget {
    Q_OBJECT
  public:
    explicit ExamplePicture(QWidget* parent = nullptr);

    void ShowJob(const JobSetup& setup);
    const ExamplePlan& Plan() const { return m_plan; }

    QSize sizeHint() const override { return {300, 210}; }
    QSize minimumSizeHint() const override { return {200, 140}; }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    ExamplePlan m_plan;
};

}  // namespace desktop::ui
