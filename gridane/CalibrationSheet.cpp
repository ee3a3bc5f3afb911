#include "gridane/CalibrationSheet.h"

#include <cmath>

#include "gridane/PressContent.h"
#include "gridane/SheetLayout.h"
#include "gridane/TextFormat.h"
#include "pdf/CPdfException.h"
#include "pdf/CPdfOutputFile.h"

namespace gridane {
namespace {

constexpr int kRulerMm = 20;     // each ruler arm reaches this far from the centre
constexpr double kTextSize = 7;  // labels and instructions
constexpr double kLine = 0.3;    // ruler and cross lines

std::string TextAt(double x, double y, double size, const std::string& text) {
    std::string out = "BT /F1 ";
    AppendNumbers(out, {size});
    out += "Tf ";
    AppendNumbers(out, {x, y});
    return out + "Td " + WinAnsiLiteral(ToWinAnsi(text)) + " Tj ET\n";
}

// Ticks every millimetre along both arms through (cx, cy), longer every fifth, and a label
// every fifth from the tenth: the back shift that reading asks for on the front, millimetres
// on the back. The ticks join the path in `paths`, the labels go to `labels`.
void AddRulers(double cx, double cy, bool back, SheetTurnOver turn, std::string& paths,
               std::string& labels) {
    for (int mm = -kRulerMm; mm <= kRulerMm; ++mm) {
        double at = mm * kPointsPerMm;
        double tick = mm % 5 == 0 ? 2.5 * kPointsPerMm : 1.2 * kPointsPerMm;
        AppendLine(paths, cx + at, cy - tick, cx + at, cy + tick);
        AppendLine(paths, cx - tick, cy + at, cx + tick, cy + at);
        if (mm % 5 != 0 || std::abs(mm) < 10) continue;  // the centre stays clear
        auto [shiftX, shiftY] = BackShiftForReading(mm, mm, turn);
        std::string across = back ? std::to_string(mm) : FormatText("%.1f", shiftX);
        std::string along = back ? std::to_string(mm) : FormatText("%.1f", shiftY);
        // Labels across alternate below and above the ruler, so that neighbours never meet.
        double acrossY = mm % 10 == 0 ? cy + tick + 1 : cy - tick - kTextSize;
        labels += TextAt(cx + at - 7, acrossY, kTextSize * 0.8, across);
        labels += TextAt(cx + tick + 2, cy + at - kTextSize * 0.3, kTextSize * 0.8, along);
    }
}

}  // namespace

std::pair<double, double> BackShiftForReading(double right, double up, SheetTurnOver turn) {
    // Seen from the front, a back turned over its left or right edge shows the printer's
    // shift mirrored across, one turned over its top or bottom edge mirrored along; the
    // correction is the shift undone.
    double x = right * kPointsPerMm, y = up * kPointsPerMm;
    return turn.overLeftRight ? std::pair{x, -y} : std::pair{-x, y};
}

SheetTurnOver TurnOverOf(bool shortEdge, double width, double height) {
    bool portrait = height >= width;
    return {shortEdge, shortEdge != portrait};
}

std::string CalibrationSideContent(double width, double height, bool back, SheetTurnOver turn) {
    double cx = width / 2, cy = height / 2;
    double reach = (kRulerMm + 4) * kPointsPerMm;
    std::string out = "q 0 G 0 g ";
    AppendNumbers(out, {kLine});
    out += "w\n";
    AppendLine(out, cx - reach, cy, cx + reach, cy);
    AppendLine(out, cx, cy - reach, cx, cy + reach);
    AppendNumbers(out, {cx - 3, cy - 3, 6, 6});
    out += "re\n";
    std::string labels;
    AddRulers(cx, cy, back, turn, out, labels);
    out += "S\n" + labels;
    double left = std::max(12.0, cx - 200), top = std::min(height - 24, cy + reach + 60);
    const std::string edge = turn.shortEdge ? "short" : "long";
    const std::vector<std::string> lines =
        back ? std::vector<std::string>{"Back of the calibration sheet: rulers in millimetres"}
             : std::vector<std::string>{
                   "Calibration sheet: print both sides, the sheet turned over its " + edge +
                       " edge.",
                   "Hold it to the light and find the centre of the back's cross on these rulers.",
                   "The labels there read as back_shift=X,Y in points (X from the horizontal",
                   "ruler, Y from the vertical one); nothing to set when it lies on the centre."};
    for (size_t k = 0; k < lines.size(); ++k)
        out += TextAt(left, top - double(k) * (kTextSize + 3), kTextSize, lines[k]);
    return out + "Q\n";
}

void WriteCalibrationSheet(const std::string& path, double width, double height, bool shortEdge,
                           platform::FileSpace files) {
    SheetTurnOver turn = TurnOverOf(shortEdge, width, height);
    CPdfOutputFile out;
    if (!out.Create(path, 0, files)) {
        throw CPdfException("\nOutput file create error: '" + path + "'" +
                            out.FailureReasonSuffix() + "\n");
    }
    auto object = [&](int number, const std::string& body) {
        out.BeginObject(number, 0);
        out.Write(std::to_string(number) + " 0 obj\n" + body + "\nendobj\n");
    };
    out.Write("%PDF-1.4\n%\xE2\xE3\xCF\xD3\n");
    object(1, "<< /Type /Catalog /Pages 2 0 R >>");
    object(2, "<< /Type /Pages /Kids [4 0 R 5 0 R] /Count 2 >>");
    object(3, std::string(kSlugFontDict));
    std::string box = "[0 0 ";
    AppendNumbers(box, {width, height});
    box += "]";
    for (int side = 0; side < 2; ++side) {
        object(4 + side, "<< /Type /Page /Parent 2 0 R /MediaBox " + box +
                             " /Resources << /Font << /F1 3 0 R >> >> /Contents " +
                             std::to_string(6 + side) + " 0 R >>");
    }
    for (int side = 0; side < 2; ++side) {
        std::string content = CalibrationSideContent(width, height, side == 1, turn);
        object(6 + side, "<< /Length " + std::to_string(content.size()) + " >>\nstream\n" +
                             content + "\nendstream");
    }
    out.Finish(1, 0);
    if (!out.Commit()) {
        throw CPdfException("\nOutput file write error: '" + path + "'" +
                            out.FailureReasonSuffix() + "\n");
    }
}

}  // namespace gridane
