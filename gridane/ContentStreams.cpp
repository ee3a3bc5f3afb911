#include "gridane/ContentStreams.h"

#include "gridane/TextFormat.h"

namespace gridane {
namespace {

std::string ScaleText(double scale) {
    std::string text;
    AppendSixDecimals(text, scale);
    return text;
}

}  // namespace

std::string CellOpenContent(const PlannedCell& cell) {
    std::string text = "q\n1 0 0 1 ";
    AppendTwoDecimals(text, cell.x);
    text += ' ';
    AppendTwoDecimals(text, cell.y);
    if (cell.quarterTurns % 2 == 1) {
        // A quarter clockwise maps (x, y) to (y, -x), counter-clockwise to (-y, x).
        std::string scale = ScaleText(cell.scale);
        std::string negative = ScaleText(-cell.scale);
        bool clockwise = cell.quarterTurns == 1;
        text += " cm\n0 " + (clockwise ? negative : scale) + " " + (clockwise ? scale : negative) +
                " 0 0 0 cm\n";
    } else if (cell.scale != 1) {
        // Scales need more than two decimals: 0.01 off on an A4 page is 8 points.
        std::string scale = ScaleText(cell.quarterTurns == 2 ? -cell.scale : cell.scale);
        text += " cm\n" + scale + " 0 0 " + scale + " 0 0 cm\n";
    } else {
        text += cell.quarterTurns == 2 ? " cm\n-1 0 0 -1 0 0 cm\n" : " cm\n1 0 0 1 0 0 cm\n";
    }
    if (cell.clip) {
        const Box& box = *cell.clip;
        for (double value : {box.x1, box.y1, box.Width(), box.Height()}) {
            AppendTwoDecimals(text, value);
            text += ' ';
        }
        text += "re W n\n";
    }
    return text;
}

namespace {

// Lines round the placed pages, centred on their edges.
std::string FramesContent(const PlannedSide& side) {
    if (side.frames.empty()) return {};
    std::string text = "q\n0 G [] 0 d ";
    AppendTwoDecimals(text, side.frameWidth);
    text += " w\n";
    for (const Box& box : side.frames) {
        for (double value : {box.x1, box.y1, box.Width(), box.Height()}) {
            AppendTwoDecimals(text, value);
            text += ' ';
        }
        text += "re\n";
    }
    return text + "S\nQ\n";
}

}  // namespace

std::string SheetMarksContent(const PlannedSide& side) {
    if (side.marks.empty()) return FramesContent(side);
    // Marks are clipped to the sheet outside every page's trim (even-odd: the trims do not
    // overlap), so that no mark crosses a page.
    std::string text = "q\n0 G 0.3 w [] 0 d\n";
    auto rectangle = [&](const Box& box) {
        for (double value : {box.x1, box.y1, box.Width(), box.Height()}) {
            AppendTwoDecimals(text, value);
            text += ' ';
        }
        text += "re\n";
    };
    rectangle(side.mediaBox.box);
    for (const Box& trim : side.trims) rectangle(trim);
    text += "W* n\n";
    for (bool dashed : {false, true}) {
        bool any = false;
        for (const MarkLine& line : side.marks) {
            if (line.dashed != dashed) continue;
            if (!any && dashed) text += "[3 2] 0 d\n";
            any = true;
            AppendTwoDecimals(text, line.x1);
            text += ' ';
            AppendTwoDecimals(text, line.y1);
            text += " m ";
            AppendTwoDecimals(text, line.x2);
            text += ' ';
            AppendTwoDecimals(text, line.y2);
            text += " l\n";
        }
        if (any) text += "S\n";
    }
    return text + "Q\n" + FramesContent(side);
}

std::string StreamObjectText(int number, std::string_view content) {
    // Built in place: the content is most of the text, and is copied once.
    std::string text;
    text.reserve(content.size() + 64);
    text += std::to_string(number);
    text += " 0 obj\n<<\n/Length ";
    text += std::to_string(content.size());
    text += " >>\nstream\n";
    text += content;
    text += "endstream\nendobj\n";
    return text;
}

std::string ContentReferenceText(int number, int generation) {
    return " " + std::to_string(number) + " " + std::to_string(generation) + " R ";
}

std::string SheetContentsArrayText(const std::vector<CellDrawing>& cells) {
    std::string text;
    for (const CellDrawing& cell : cells) {
        text += " " + std::to_string(cell.openStream) + " 0 R " + cell.contentsList + " " +
                std::to_string(cell.closeStream) + " 0 R";
    }
    text += " ";
    return text;
}

}  // namespace gridane
