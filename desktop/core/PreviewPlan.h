// What the live preview of a job does, decided from the job's record alone: the job's own steps
// with their files in the preview's private folder, the sheets shown and their labels, which
// pages of the imposed file they are, and why no preview can be made. The window runs the
// steps as child processes and renders the pages.
#pragma once

#include <string>

#include "desktop/core/JobPlan.h"
#include "desktop/core/JobSetup.h"

namespace desktop {

struct PreviewPlan {
    std::string input;
    std::string folder;  // the private folder, ends without '/'
    JobPlan plan;        // its files inside `folder`, in a subfolder of the generation
    FirstSheets sheets;  // what is shown, and how it is labelled
    int firstPage = 1;   // the first page imposed; the pages before it stand alone
};

// The preview of `setup` for change number `generation`, its files in `folder`.
PreviewPlan PlanPreview(const JobSetup& setup, const std::string& folder, int generation);

// Why no preview is made of `preview` (no input named, an input that cannot be read, an input
// that is converted to PDF first); empty when it can be made.
std::string PreviewRefusal(const PreviewPlan& preview);

// The pages of the imposed file that are shown: they follow the pages kept before the range
// (from the first page imposed, or from the start when the file has no such page), at most
// the sheets shown.
struct ShownPages {
    int first = 0;  // 0-based
    int count = 0;
};
ShownPages PagesToShow(const PreviewPlan& preview, int pageCount);

}  // namespace desktop
