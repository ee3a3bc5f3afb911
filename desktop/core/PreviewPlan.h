// What the live preview of a job does, decided from the job's record alone: the job's own steps
// with their files in the preview's private folder, how each page of the imposed file is
// labelled, and why no preview can be made. The window runs the steps as child processes and
// renders the pages it scrolls to.
#pragma once

#include <string>

#include "desktop/core/Conversion.h"
#include "desktop/core/JobPlan.h"
#include "desktop/core/JobSetup.h"

namespace desktop {

struct PreviewPlan {
    std::string input;
    std::string folder;                   // the private folder, ends without '/'
    InputRoute route = InputRoute::AsIs;  // as the run takes the input
    JobPlan plan;          // its files inside `folder`, in a subfolder of the generation
    FirstSheets sheets;    // whether the sheets have a front and a back
    int firstPage = 1;     // the first page imposed; the pages before it stand alone
    int lastPage = 99999;  // the last page imposed; the pages after it stand alone
};

// The preview of `setup` for change number `generation`, its files in `folder`; `conversion`
// decides, as for the run, whether the input is converted first (the defaults convert every
// kind).
PreviewPlan PlanPreview(const JobSetup& setup, const std::string& folder, int generation,
                        const ConversionSettings& conversion = {});

// Why no preview is made of `preview` (no input named, an input that cannot be read, an input
// that is converted to PDF first or that no converter takes); empty when it can be made.
std::string PreviewRefusal(const PreviewPlan& preview);

// The label of page `index` (0-based) of the imposed file, which has `outputPages` pages, made
// from an input of `inputPages` pages (negative: not known): "Sheet 3", "Sheet 2 front",
// "Sheet 2 back", or "Page 1 as it is" for a page the engine kept outside the range.
std::string PageCaption(const PreviewPlan& preview, int index, int inputPages, int outputPages);

}  // namespace desktop
