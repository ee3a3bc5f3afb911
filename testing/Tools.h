// Running the real tools that tests make inputs with and check outputs with.
#pragma once

#include <string>
#include <vector>

#include "testing/Image.h"

namespace testing_support {

struct CommandResult {
    int exitCode = -1;
    std::string output;  // standard output and standard error together
};

// Runs `command` through /bin/sh and collects what it prints.
CommandResult Run(const std::string& command);

// Quotes one argument for /bin/sh.
std::string ShellQuote(const std::string& argument);

// `qpdf --check`: true when it reports no error (warnings are allowed and listed in `report`).
bool QpdfCheck(const std::string& pdf, std::string* report = nullptr);

// `qpdf --check` reporting neither an error nor a warning.
bool QpdfCheckClean(const std::string& pdf, std::string* report = nullptr);

// Page count by `qpdf --show-npages`; -1 when qpdf cannot read the file.
int PageCount(const std::string& pdf);

// Renders page `page` (1-based) with pdftoppm at `dpi` into a gray picture.
Image RenderPage(const std::string& pdf, int page, int dpi);

// The same, showing only the page's crop box, as a viewer shows the page.
Image RenderPageCropBox(const std::string& pdf, int page, int dpi);

// Makes a PDF with Ghostscript from PostScript text; throws when gs fails.
void PdfFromPostScript(const std::string& postscript, const std::string& pdf);

// PostScript text of `pages` pages of `width` x `height` points, each with a distinct,
// asymmetric drawing (a big page number, a corner mark and stripes), so that renders of
// different pages or of a turned page differ clearly.
std::string NumberedPagesPostScript(int pages, int width = 612, int height = 792);

}  // namespace testing_support
