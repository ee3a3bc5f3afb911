// The plan of one job: the steps a `JobSetup` calls for, in the order they run, each with the
// engine settings it puts and the working file it writes. Made by a pure function, so that the
// run, the live preview and the example picture all walk the same steps.
//
// Working files are named inside a work folder the caller gives (ending with '/'): the padded
// and cleaned inputs from the current input's title, the engines' files from the output's
// title inside the "output/" folder there. Nothing is written beside the user's output until
// the run puts the finished file in place.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "desktop/core/EngineSettings.h"
#include "desktop/core/JobSetup.h"

namespace desktop {

enum class StepKind {
    Convert,        // a non-PDF input to PDF, by its converter
    Pad,            // blank pages appended
    CleanInput,     // the input through the cleaning script
    Rotate,         // pages turned by the rotation module
    DoubleAndTurn,  // each page twice (engine pre-pass), one half turned, then redistilled
    Impose,         // the imposition engine
    CleanOutput,    // the imposed file through the cleaning script
    Reorder,        // a vertically split booklet put in reading order
};

std::string_view StepName(StepKind kind);
// The step as the progress bar names it while it runs: "Cleaning input", "Imposing", ...
std::string_view StepTitle(StepKind kind);

// What is known of the input when the plan is made.
struct PageFacts {
    bool needsConversion = false;  // not a PDF, and its kind's conversion is switched on
    int pageCount = -1;            // of the (converted) PDF input; negative: not known
};

struct PlanStep {
    StepKind kind = StepKind::Impose;
    std::string file;                 // the file the step writes (empty: the converter names it)
    std::string scratch;              // DoubleAndTurn: the turned file before redistilling
    bool blanksNeedCount = false;     // Pad: the count depends on the input's page count
    int blanks = 0;                   // Pad: the count when the page count is known (or needless)
    std::string_view cleaningScript;  // CleanInput, DoubleAndTurn, CleanOutput
    TurnelleSettings rotation;        // Rotate, DoubleAndTurn
    // DoubleAndTurn: every imposition put, then the doubling's, before the pre-pass; Impose:
    // every imposition put, or after a doubling pass only those that impose the doubled file.
    std::vector<PropertyPut> puts;
};

struct JobPlan {
    std::vector<PlanStep> steps;
    bool cleaning = false;
    std::string output;  // the imposed file in the work folder

    const PlanStep* Find(StepKind kind) const;
};

// The puts a fresh engine (a child process) needs to carry out `step` of `plan` as the run's one
// engine object does: the step's own, and for the imposition after a doubling pass the
// doubling's first, which the run's engine still holds from the pre-pass.
std::vector<PropertyPut> FreshEnginePuts(const JobPlan& plan, const PlanStep& step);

struct PlanOptions {
    std::string workFolder;  // ends with '/'
    std::string inputTitle;  // the file title of the input the steps start from
    std::string outputTitle;
    bool cleaning = true;  // false for the retry without cleaning
    // The test sheet for the back shift instead of the imposed file (CalibrationPut).
    bool calibration = false;
};

// The steps of `setup` for an input with `facts`. Cleaning runs when `options.cleaning` and
// DONTCLEANFILE is 0. A calibration runs the steps up to the imposition without cleaning
// (which changes no page's size), and the imposition writes the test sheet.
JobPlan PlanJob(const JobSetup& setup, const PageFacts& facts, const PlanOptions& options);

// The first output pages as a viewer shows them: the two sides of the first sheet (a booklet, a
// 4-up A/B job, folded signatures, or cards with backs behind fronts), two sheets of their own
// (a 1-up split), or one sheet.
struct FirstSheets {
    int count = 1;
    bool frontAndBack = false;
};
FirstSheets FirstSheetsOf(const JobSetup& setup);
// "Sheet 1", "Sheet 1 front", "Sheet 1 back", "Sheet 2", ... for the shown page `index` (0-based).
std::string SheetCaption(const FirstSheets& sheets, int index);

// Whether a rotation with `settings` turns page `page` (1-based) of `pageCount`: the one
// reading of the rotation module's type codes on this side (2 all, 3 odd, 4 even, 5 first
// half, 6 second half; no type or any other turns none here).
bool TurnsPage(const TurnelleSettings& settings, int page, int pageCount);

}  // namespace desktop
