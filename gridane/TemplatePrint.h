// Writing a sheet plan out as a sheet template (SheetTemplate.h), so that a user starts from
// the built-in layout that the options give.
//
// The template repeats its sides sheet by sheet with page formulas of the form a*s + c where
// the plan's pages follow such a rule and its geometry repeats; otherwise it lists every side
// with its pages. Either way the template is read back before it is printed and must give the
// same written sheets as the plan: a plan that no template can express is refused instead.
#pragma once

#include <string>
#include <vector>

#include "gridane/SheetPlan.h"

namespace gridane {

struct PrintedTemplate {
    std::string text;     // the template's JSON, when there is one
    std::string problem;  // why there is none, as the run fails with
};

// The template of `plan`, made by `settings` over `pages` (the doubled document of the 2-to-1
// layouts, as the plan was built over it).
PrintedTemplate PrintSheetTemplate(const JobSettings& settings,
                                   const std::vector<PageGeometry>& pages, const SheetPlan& plan);

}  // namespace gridane
