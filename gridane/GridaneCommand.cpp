#include "gridane/GridaneCommand.h"

#include "gridane/interface/GridaneInterface.h"
#include "platform/TempFileName.h"

namespace gridane {
namespace {

// The doubling pre-pass answers with the name of the temporary file it wrote beside the
// output, and print_template (whose OUTPUT is empty) with the template, a JSON object; any
// other text is a failure, whatever words it holds.
bool IsResultStatus(const std::string& status, const std::string& output) {
    if (output.empty()) return status.starts_with("{");
    return IsTempFileNameBeside(status, output);
}

constexpr com::PropertyValueKind kValueKinds[] = {
    {"sheet", platform::OptionValue::Paper},
    {"poster", platform::OptionValue::Paper},
    {"seq", platform::OptionValue::File},
    {"template", platform::OptionValue::File},
};

}  // namespace

const com::EngineCommand& GridaneCommand() {
    static const com::EngineCommand command{
        "gridane",
        "Imposes the pages of INPUT (a PDF file, or a list of them in a .txt file) on sheets\n"
        "and writes OUTPUT.\n",
        "An INPUT ending in .txt (or of four characters or fewer) is a list of input files, one\n"
        "a line; OUTPUT then reads -fFOLDER (each output in FOLDER under its input's name) or\n"
        "-oFILE (every output to FILE).\n"
        "With --print_template the template of the layout the options give for INPUT is\n"
        "printed on standard output instead: a start for --template.\n"
        "A template (JSON) replaces the layout options: {\"template\": 1, \"sheet\": BOX,\n"
        "\"sheets\": FORMULA, \"doubled\": false, \"sides\": [SIDE, ...]}, the sides repeated for\n"
        "sheet s = 0, 1, ... until a side shows no page. A SIDE has \"media\", \"crop\", "
        "\"bleed\",\n"
        "\"trim\", \"art\" (BOX [x1, y1, x2, y2] in points), \"rotate\" (0, 90, 180, 270),\n"
        "\"marks\", \"trims\", \"frames\", \"frame_width\" and \"cells\": [{\"page\": FORMULA,\n"
        "\"rect\": BOX, \"turn\": 0-270, \"at\": [x, y], \"scale\": N, \"clip\": BOX or null}, "
        "...].\n"
        "A FORMULA is a whole number or arithmetic (+ - * / % and parentheses) over s, n (pages\n"
        "of the document), b and e (the range), such as \"n - 2*s\"; pages outside the range\n"
        "are blank cells.\n"
        "Exit status: 0 done, 1 the run failed (its message is printed), 2 bad command line.\n",
        com::GridaneContract(),
        &IsResultStatus,
        kValueKinds,
        "print_template"};
    return command;
}

}  // namespace gridane
