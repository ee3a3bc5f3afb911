// Documents with bookmarks from real producers, and reading back where the bookmarks of a PDF
// lead, for the tests of everything that carries an outline from its input to its output.
#pragma once

#include <string>
#include <vector>

namespace testing_support {

// PostScript of eight numbered letter pages, each with a gray band along its foot and a black
// frame 36 points wide just outside its MediaBox (a drawing that runs past the page, which
// nothing shows of the page alone), and pdfmark bookmarks:
// P1 (/XYZ 50 700), P2 (/FitH 600, red, bold, closed, with children P3 (/FitR 100 100 300
// 200) and P4 (/Fit)), P5 (/FitV 72), Six (the named destination "six": page 6, /XYZ 20
// 30), P7 and P8 (/XYZ 50 700).
std::string BookmarkedPostScript();

// A LaTeX document made with pdflatex from `source` into `pdf` (run twice, so that its
// bookmarks are in); false when pdflatex is not installed. Throws when pdflatex fails.
bool PdfFromLatex(const std::string& source, const std::string& pdf);

// Where each bookmark of `pdf` leads, as pikepdf reads it, one text per outline item in tree
// order: "depth title page fit numbers" (page 1-based; 0 for no destination; numbers with two
// decimals, "null" kept; see testing/scripts/outline_targets.py).
std::vector<std::string> OutlineTargets(const std::string& pdf);

// Ghostscript reads every page of `pdf` and stops at the first error it meets
// (-dPDFSTOPONERROR); true when it reports nothing at all.
bool GhostscriptRereads(const std::string& pdf, std::string* report = nullptr);

}  // namespace testing_support
