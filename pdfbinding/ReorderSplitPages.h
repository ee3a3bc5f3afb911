// Page reordering for a booklet that was split on the vertical: the halves come out of the
// split in sheet order, and this puts them back in reading order through the DPL library.
#pragma once

#include <string>

class PdfLibraryBinding;

// Result codes of ReorderSplitPages.
constexpr int kReorderDone = 0;
constexpr int kReorderLibraryUnusable = -3;
constexpr int kReorderCannotLoad = -4;
constexpr int kReorderCannotSave = -5;  // the file is left as it was
// The page count is not a multiple of 4: the passes would take some pages twice and drop
// others, so the file is left as it was.
constexpr int kReorderNotWholeSheets = -6;

// Rewrites `fileName` with its pages reordered; the library's save replaces the file whole, so
// a failed save leaves it as it was. Pages j with j mod 4 equal to 2 or 3 come first, in
// ascending order, then pages n, n-3, n-4, n-7, n-8, ... (n = 8 gives 2 3 6 7 8 5 4 1).
// Only a page count that is a multiple of 4 is reordered.
int ReorderSplitPages(const std::string& fileName);

// The same through a binding the caller made.
int ReorderSplitPages(PdfLibraryBinding& binding, const std::string& fileName);
