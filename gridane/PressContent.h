// The press items of a sheet side (PressItems.h) as content: the fixed marks, written once for
// all sides of the same sheet, and the slug, which differs from sheet to sheet. Pure text
// builders; the engine writes the streams and the slug's font.
#pragma once

#include <string>
#include <string_view>

#include "gridane/PressItems.h"

namespace gridane {

// A straight path from (x1, y1) to (x2, y2) ("m", "l"), to be stroked with others.
void AppendLine(std::string& text, double x1, double y1, double x2, double y2);

// The fixed items (targets and colour bar) as content: DeviceCMYK, in a q ... Q of their own.
std::string PressMarksContent(const PressItems& items);

// The slug line `text` (UTF-8) as content in the font resource `fontName` (Courier with
// WinAnsiEncoding): shrunk to fit its room, and cut with "..." when it still does not.
std::string SlugContent(const PressItems& items, std::string_view text, std::string_view fontName);

// `text` (UTF-8) as a PDF literal string in WinAnsiEncoding: what that encoding lacks, control
// characters and bytes that are no UTF-8 become '?'; parentheses, backslashes and bytes above
// 126 are escaped.
std::string WinAnsiLiteral(std::string_view winAnsiBytes);
std::string ToWinAnsi(std::string_view utf8);

// The dictionary of the slug's font: a standard font, which needs no embedding.
inline constexpr std::string_view kSlugFontDict =
    "<< /Type /Font /Subtype /Type1 /BaseFont /Courier /Encoding /WinAnsiEncoding >>";

}  // namespace gridane
