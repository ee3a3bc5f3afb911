#include "gridane/PressContent.h"

#include <array>

#include "gridane/TextFormat.h"
#include "platform/Utf.h"

namespace gridane {
namespace {

// Cyan, magenta, yellow and black at 100, 50 and 25%, then the solid overlaps of two and
// three inks, which show how they print over one another.
constexpr std::array<std::array<double, 4>, 16> kPatchColours{{
    {1, 0, 0, 0},
    {.5, 0, 0, 0},
    {.25, 0, 0, 0},
    {0, 1, 0, 0},
    {0, .5, 0, 0},
    {0, .25, 0, 0},
    {0, 0, 1, 0},
    {0, 0, .5, 0},
    {0, 0, .25, 0},
    {0, 0, 0, 1},
    {0, 0, 0, .5},
    {0, 0, 0, .25},
    {1, 1, 0, 0},
    {1, 0, 1, 0},
    {0, 1, 1, 0},
    {1, 1, 1, 0},
}};

// The slug's type: Courier, whose every glyph is 0.6 em wide, so that the line's width is known
// without a table of widths. It shrinks down to the smaller size before it is cut.
constexpr double kSlugSmallest = 5;
constexpr double kCourierAdvance = 0.6;

// The matrix that draws the items laid out as shown onto the page the viewer turns.
std::string ShownToPage(const PressItems& items) {
    double w = items.pageWidth, h = items.pageHeight;
    std::string text;
    switch (items.turns) {
        case 1:
            AppendNumbers(text, {0, 1, -1, 0, w, 0});
            break;
        case 2:
            AppendNumbers(text, {-1, 0, 0, -1, w, h});
            break;
        case 3:
            AppendNumbers(text, {0, -1, 1, 0, 0, h});
            break;
        default:
            return {};
    }
    return text + "cm\n";
}

void AppendCircle(std::string& text, double cx, double cy, double r) {
    const double k = 0.5523 * r;  // control distance of a quarter circle by one Bezier curve
    AppendNumbers(text, {cx + r, cy});
    text += "m\n";
    AppendNumbers(text, {cx + r, cy + k, cx + k, cy + r, cx, cy + r});
    text += "c\n";
    AppendNumbers(text, {cx - k, cy + r, cx - r, cy + k, cx - r, cy});
    text += "c\n";
    AppendNumbers(text, {cx - r, cy - k, cx - k, cy - r, cx, cy - r});
    text += "c\n";
    AppendNumbers(text, {cx + k, cy - r, cx + r, cy - k, cx + r, cy});
    text += "c\n";
}

// The byte of Windows code page 1252 for a character of its range 0x80-0x9F; 0 for none.
unsigned char WinAnsiHighByte(char16_t c) {
    static constexpr std::pair<char16_t, unsigned char> kTable[] = {
        {0x20AC, 0x80}, {0x201A, 0x82}, {0x0192, 0x83}, {0x201E, 0x84}, {0x2026, 0x85},
        {0x2020, 0x86}, {0x2021, 0x87}, {0x02C6, 0x88}, {0x2030, 0x89}, {0x0160, 0x8A},
        {0x2039, 0x8B}, {0x0152, 0x8C}, {0x017D, 0x8E}, {0x2018, 0x91}, {0x2019, 0x92},
        {0x201C, 0x93}, {0x201D, 0x94}, {0x2022, 0x95}, {0x2013, 0x96}, {0x2014, 0x97},
        {0x02DC, 0x98}, {0x2122, 0x99}, {0x0161, 0x9A}, {0x203A, 0x9B}, {0x0153, 0x9C},
        {0x017E, 0x9E}, {0x0178, 0x9F}};
    for (auto [unicode, byte] : kTable) {
        if (unicode == c) return byte;
    }
    return 0;
}

}  // namespace

void AppendLine(std::string& text, double x1, double y1, double x2, double y2) {
    AppendNumbers(text, {x1, y1});
    text += "m ";
    AppendNumbers(text, {x2, y2});
    text += "l\n";
}

std::string PressMarksContent(const PressItems& items) {
    if (items.targets.empty() && items.patches == 0) return {};
    std::string text = "q\n" + ShownToPage(items);
    if (!items.targets.empty()) {
        // Registration colour: every separation prints the targets.
        text += "1 1 1 1 K 0.3 w [] 0 d\n";
        for (auto [x, y] : items.targets) {
            AppendCircle(text, x, y, kTargetRadius);
            AppendLine(text, x - kTargetReach, y, x + kTargetReach, y);
            AppendLine(text, x, y - kTargetReach, x, y + kTargetReach);
        }
        text += "S\n";
    }
    for (int k = 0; k < items.patches && k < int(kPatchColours.size()); ++k) {
        const auto& colour = kPatchColours[size_t(k)];
        AppendNumbers(text, {colour[0], colour[1], colour[2], colour[3]});
        text += "k\n";
        AppendNumbers(
            text, {items.barX + k * items.patchSize, items.barY, items.patchSize, items.patchSize});
        text += "re f\n";
    }
    return text + "Q\n";
}

std::string ToWinAnsi(std::string_view utf8) {
    std::string bytes;
    std::u16string wide = platform::Utf8ToUtf16(utf8);
    for (size_t k = 0; k < wide.size(); ++k) {
        char16_t c = wide[k];
        if ((c >= 0x20 && c < 0x7F) || (c >= 0xA0 && c <= 0xFF)) {
            bytes += static_cast<char>(c);
        } else if (unsigned char high = WinAnsiHighByte(c)) {
            bytes += static_cast<char>(high);
        } else {
            // Control characters, what the encoding lacks (a surrogate pair is one character)
            // and the stand-ins for bytes that are no UTF-8.
            bool pair = c >= 0xD800 && c <= 0xDBFF && k + 1 < wide.size() &&
                        wide[k + 1] >= 0xDC00 && wide[k + 1] <= 0xDFFF;
            if (pair) ++k;
            bytes += '?';
        }
    }
    return bytes;
}

std::string WinAnsiLiteral(std::string_view bytes) {
    std::string text = "(";
    for (char c : bytes) {
        auto byte = static_cast<unsigned char>(c);
        if (c == '(' || c == ')' || c == '\\') {
            text += '\\';
            text += c;
        } else if (byte < 0x20 || byte > 0x7E) {
            text += FormatText("\\%03o", byte);
        } else {
            text += c;
        }
    }
    return text + ")";
}

std::string SlugContent(const PressItems& items, std::string_view text, std::string_view fontName) {
    if (!items.slug) return {};
    std::string bytes = ToWinAnsi(text);
    double size = kSlugSize;
    auto width = [&](size_t characters, double at) { return characters * kCourierAdvance * at; };
    while (size > kSlugSmallest && width(bytes.size(), size) > items.slugWidth) size -= 0.5;
    if (width(bytes.size(), size) > items.slugWidth) {
        size_t fits = static_cast<size_t>(items.slugWidth / (kCourierAdvance * size));
        bytes.resize(fits > 3 ? fits - 3 : 0);
        bytes += "...";
    }
    std::string content = "q\n" + ShownToPage(items) + "0 g\nBT\n/" + std::string(fontName) + " ";
    AppendTwoDecimals(content, size);
    content += " Tf\n";
    AppendNumbers(content, {items.slugX, items.slugY});
    content += "Td\n" + WinAnsiLiteral(bytes) + " Tj\nET\nQ\n";
    return content;
}

}  // namespace gridane
