// `ImpositionJob`: one single-file run of the engine, and the run itself (`RunImposition`).
//
// The job is the run's whole state: its copy of the settings, the names, the open input
// document, the output being written with its cross-reference entries, the page records, the
// sheet plan, and the resource-merging state the sheet writers share. It is created for one file
// and destroyed at the end of the run; nothing in it outlives the run. The sheet writers and the
// merge steps receive it by reference for the duration of one call.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "com/ProgressSink.h"
#include "gridane/JobSettings.h"
#include "gridane/PageRecord.h"
#include "gridane/SheetPlan.h"
#include "gridane/SheetTemplate.h"
#include "pdf/CPdfActiveContent.h"
#include "pdf/CPdfDocument.h"
#include "pdf/CPdfOutputFile.h"
#include "platform/FileSpace.h"

namespace gridane {

// The merge steps' state for the whole run (SheetMergeSteps.cpp).
struct SheetMergeState;

struct ImpositionJob {
    ImpositionJob(JobSettings jobSettings, std::string input, std::string outputFile,
                  com::IProgressSink* progressSink)
        : settings(std::move(jobSettings)),
          inputName(std::move(input)),
          outputName(std::move(outputFile)),
          progress(progressSink) {}

    JobSettings settings;
    std::string inputName;  // replaced by the temporary file when a pre-pass made one
    std::string outputName;
    std::string tempName;                      // the pre-pass's temporary file, empty when none
    com::IProgressSink* progress;              // progress and warnings; nullptr drops them
    platform::FileSpace files;                 // where the input, output and pre-pass file are
    size_t decodeLimit = kDefaultDecodeLimit;  // what one input stream may decode to

    CPdfDocument document;
    int rootNumber = 0;
    int infoNumber = 0;
    int pageTreeRoot = 0;
    int pageTreeRootGeneration = 0;
    bool hasOutlines = false;

    CPdfOutputFile output;
    CPdfActiveContentFilter activeContent;  // every input text written goes through it
    std::vector<PageRecord> pages;
    std::optional<SheetTemplate> sheetTemplate;  // the job's template, read before the input
    SheetPlan plan;  // what the writers write: the kept pages and every sheet side
    // The marks stream written last and what it draws: sides with the same marks share it.
    struct MarksStream {
        std::vector<MarkLine> marks;
        std::vector<Box> trims;
        std::vector<Box> frames;
        Box sheet;
        int number = 0;
    } lastMarks;

    // The press sheet's shared objects: the slug's font (0 until written) and the fixed marks
    // written last, which sides with the same items share; the slug's names of the run.
    struct PressObjects {
        int font = 0;
        PressItems marks;
        int marksNumber = 0;
        std::string file, job, date;
    } press;

    std::shared_ptr<SheetMergeState> mergeState;  // made by the first sheet side
    // Input objects the copy pass leaves out, by object number: those holding destinations,
    // written after the page tree with their pages' new places (CarriedDestinations.h).
    std::vector<bool> heldBack;

    void Print(std::string_view text) const;
    void Warn(std::string_view text) const;
    void Advanced(int64_t done, int64_t total) const;
    // What the run got past in its input (damaged page-tree nodes, table entries treated as
    // free, content streams that could not be decoded); kept after the run ends.
    const CPdfWarnings& Warnings() const { return document.Warnings(); }
};

// The run: reads the input, writes the imposed output and commits it under the output name.
// Throws CPdfException with the message for the caller's status text; a failed run leaves no
// output file behind and the files of the user as they were.
void RunImposition(ImpositionJob& job);

// Reads the input and returns the sheet template of the layout the settings give for it
// (TemplatePrint.h), writing nothing. Throws CPdfException as the run does.
std::string PrintTemplate(ImpositionJob& job);

}  // namespace gridane
