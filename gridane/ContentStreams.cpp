#include "gridane/ContentStreams.h"

#include "gridane/TextFormat.h"

namespace gridane {

std::string CellOpenContent(const PlannedCell& cell) {
    std::string text = "q\n1 0 0 1 ";
    AppendTwoDecimals(text, cell.x);
    text += ' ';
    AppendTwoDecimals(text, cell.y);
    text += cell.quarterTurns == 2 ? " cm\n-1 0 0 -1 0 0 cm\n" : " cm\n1 0 0 1 0 0 cm\n";
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

std::string StreamObjectText(int number, std::string_view content) {
    std::string text = std::to_string(number) + " 0 obj\n<<\n/Length " +
                       std::to_string(content.size()) + " >>\nstream\n";
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
