// The tasks of the main window's "Task" row: one click sets the job's existing settings for a
// common piece of print work, through the same interlocks as the option buttons, and says what
// it set. The settings stay as the user left them where a task does not need them otherwise.
#pragma once

#include <span>
#include <string>
#include <string_view>

#include "desktop/core/JobSetup.h"

namespace desktop {

enum class Task {
    Booklet,      // 2-up in the outer-in order, folded into one section
    Cards,        // step-and-repeat: every page fills a sheet with copies
    NUp,          // several pages side by side in reading order
    CutAndStack,  // the stacks cut apart read in order
    SplitPages,   // each 2-up page split back into two pages
    Book,         // folded signatures of 16 pages, perfect bound, with fold marks
    Poster,       // every page enlarged over several sheets
};

// The tasks in the order of the row.
std::span<const Task> Tasks();

// The button's caption ("Booklet") and its tip.
std::string_view TaskName(Task task);
std::string_view TaskTip(Task task);

// The paper Cards and Poster take when no paper is chosen: step-and-repeat and poster tiles
// need a sheet.
inline constexpr std::string_view kTaskDefaultSheet = "A4";
// The pages per folded signature and the binding Book takes when none is set.
inline constexpr int kBookFoldPages = 16;
inline constexpr std::string_view kBookBinding = "perfect";
// The poster size Poster takes when neither a size nor tiles are set.
inline constexpr std::string_view kPosterDefaultSize = "A2";

struct TaskResult {
    JobSetup setup;
    // What the task set, in the words of the controls: "Booklet: A/B 2up (Duplex), Output 2up
    // Outer-In e.g. 8,1 2,7 6,3 4,5, Automatic blank pages".
    std::string summary;
};

// `setup` with the settings of `task`.
TaskResult ApplyTask(const JobSetup& setup, Task task);

}  // namespace desktop
