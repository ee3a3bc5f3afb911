#include "desktop/core/Tasks.h"

#include <array>

#include "desktop/core/Interlocks.h"

namespace desktop {
namespace {

constexpr std::array<Task, 7> kTasks{Task::Booklet,    Task::Cards, Task::NUp,   Task::CutAndStack,
                                     Task::SplitPages, Task::Book,  Task::Poster};

// The layout N-up and Cut and stack take when the current one is no grid of pages to read in
// order (a split, or the booklet's 2-up for N-up).
constexpr std::string_view kNUpLayout = "4up";

bool IsSplitLayout(std::string_view layout) {
    return layout.starts_with("1up");
}

// Switches off what belongs to other tasks and would change this one's order: step-and-repeat,
// doubled pages, a free grid, the 2-up duplex orders, folded signatures and poster tiles.
JobSetup LeaveOtherTasks(JobSetup setup) {
    setup.repeat = 0;
    setup.duplicate = 0;
    setup.grid.clear();
    setup.duplex2Up = kNotChosen;
    setup.fold = 0;
    setup.tile.clear();
    setup.poster.clear();
    return setup;
}

JobSetup Click(const JobSetup& setup, OptionAction action) {
    return ApplyOption(setup, action).setup;
}

// The booklet: "A/B 2up (Duplex)" with the outer-in order chosen in its dialog.
JobSetup BookletOf(const JobSetup& setup) {
    InterlockResult clicked = ApplyOption(LeaveOtherTasks(setup), OptionAction::AB2Duplex);
    DuplexModeDialog dialog = clicked.duplexMode;
    dialog.Choose(DuplexOrder::Order8127);
    return CloseDuplexMode(clicked.setup, dialog, DialogButton::SaveExit);
}

std::string BookletWords(const JobSetup& setup) {
    std::string words = "A/B 2up (Duplex), ";
    words += OrderLabel(DuplexOrder::Order8127);
    if (setup.automaticAddBlanks != 0) words += ", Automatic blank pages";
    return words;
}

TaskResult Booklet(const JobSetup& before) {
    JobSetup setup = BookletOf(before);
    setup.signature = 0;
    return {setup, "Booklet: " + BookletWords(setup) + ", one section"};
}

// A plain A/B 2-up job with the layout no other task set, for settings that lay out the sheet
// themselves.
JobSetup PlainLayoutOf(const JobSetup& before) {
    JobSetup setup = Click(LeaveOtherTasks(before), OptionAction::AB);
    setup.processingType = kDefaultLayout;
    return setup;
}

TaskResult Book(const JobSetup& before) {
    // A fold and binding the user chose stay.
    JobSetup setup = PlainLayoutOf(before);
    setup.fold = before.fold != 0 ? before.fold : kBookFoldPages;
    if (setup.binding.empty()) setup.binding = kBookBinding;
    setup.foldMarks = 1;
    std::string cover = setup.cover == "separate" ? ", separate cover" : "";
    return {setup, "Book: Fold " + std::to_string(setup.fold) + " pages, " + setup.binding +
                       " binding" + cover + ", Fold marks"};
}

TaskResult Poster(const JobSetup& before) {
    // Tiles or a size the user chose stay.
    JobSetup setup = PlainLayoutOf(before);
    setup.tile = before.tile;
    setup.poster = before.tile.empty() && before.poster.empty() ? std::string(kPosterDefaultSize)
                                                                : before.poster;
    if (setup.sheet.empty()) setup.sheet = kTaskDefaultSheet;
    std::string size = setup.tile.empty() ? setup.poster : setup.tile + " tiles";
    return {setup, "Poster: " + size + " on " + setup.sheet + " sheets"};
}

TaskResult Cards(const JobSetup& before) {
    JobSetup setup = Click(LeaveOtherTasks(before), OptionAction::AB);
    if (IsSplitLayout(setup.processingType)) setup.processingType = kDefaultLayout;
    setup.repeat = 1;
    if (setup.sheet.empty()) setup.sheet = kTaskDefaultSheet;
    return {setup, "Cards: Cards (step-and-repeat) on " + setup.sheet + ", A/B"};
}

TaskResult NUp(const JobSetup& before) {
    JobSetup setup = LeaveOtherTasks(before);
    if (IsSplitLayout(setup.processingType) || setup.processingType == kDefaultLayout) {
        setup.processingType = kNUpLayout;
    }
    setup = Click(Click(setup, OptionAction::AB), OptionAction::Across);
    return {setup, "N-up: A/B, " + setup.processingType + ", Across the page"};
}

TaskResult CutAndStack(const JobSetup& before) {
    JobSetup setup = LeaveOtherTasks(before);
    if (IsSplitLayout(setup.processingType)) setup.processingType = kDefaultLayout;
    setup = Click(setup, OptionAction::Split);
    return {setup, "Cut and stack: Split, " + setup.processingType};
}

TaskResult SplitPages(const JobSetup& before) {
    // A horizontal split the user chose stays; otherwise pages split on the vertical line.
    std::string_view layout = before.processingType == kLayoutSplitHorizontal
                                  ? kLayoutSplitHorizontal
                                  : kLayoutSplitVertical;
    InterlockResult chosen = ChooseLayout(LeaveOtherTasks(before), layout);
    JobSetup setup =
        CloseConversionMode(chosen.setup, chosen.conversionMode, DialogButton::SaveExit);
    return {setup, "Split pages: " + setup.processingType + ", A/B"};
}

}  // namespace

std::span<const Task> Tasks() {
    return kTasks;
}

std::string_view TaskName(Task task) {
    switch (task) {
        case Task::Booklet:
            return "Booklet";
        case Task::Cards:
            return "Cards";
        case Task::NUp:
            return "N-up";
        case Task::CutAndStack:
            return "Cut and stack";
        case Task::SplitPages:
            return "Split pages";
        case Task::Book:
            return "Book";
        case Task::Poster:
            return "Poster";
    }
    return {};
}

std::string_view TaskTip(Task task) {
    switch (task) {
        case Task::Booklet:
            return "Pages two to a side in booklet order: print on both sides, fold in the "
                   "middle, staple";
        case Task::Cards:
            return "Step-and-repeat: every page fills a sheet with as many copies as fit";
        case Task::NUp:
            return "Several pages side by side on each sheet, in reading order";
        case Task::CutAndStack:
            return "Pages placed so that the stacks, cut apart and laid on each other, read in "
                   "order";
        case Task::SplitPages:
            return "Each page cut in two along its middle: a 2-up file back into single pages";
        case Task::Book:
            return "Folded signatures of 16 pages each, with fold marks, gathered and glued "
                   "into a perfect-bound book";
        case Task::Poster:
            return "Every page enlarged to a poster (A2 unless set) and cut into tiles of the "
                   "sheet size to print and glue together";
    }
    return {};
}

TaskResult ApplyTask(const JobSetup& setup, Task task) {
    switch (task) {
        case Task::Booklet:
            return Booklet(setup);
        case Task::Cards:
            return Cards(setup);
        case Task::NUp:
            return NUp(setup);
        case Task::CutAndStack:
            return CutAndStack(setup);
        case Task::SplitPages:
            return SplitPages(setup);
        case Task::Book:
            return Book(setup);
        case Task::Poster:
            return Poster(setup);
    }
    return {setup, {}};
}

}  // namespace desktop
