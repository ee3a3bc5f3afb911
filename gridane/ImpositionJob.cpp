#include "gridane/ImpositionJob.h"

#include "gridane/CalibrationSheet.h"
#include "gridane/CarriedDestinations.h"
#include "gridane/CopyPass.h"
#include "gridane/PageTree.h"
#include "gridane/PosterTiles.h"
#include "gridane/PrePasses.h"
#include "gridane/PressSheet.h"
#include "gridane/PressStreams.h"
#include "gridane/SequenceSource.h"
#include "gridane/SheetLayout.h"
#include "gridane/SheetWriter.h"
#include "gridane/TemplatePrint.h"
#include "gridane/TemplateSource.h"
#include "gridane/TextFormat.h"
#include "gridane/Unimpose.h"
#include "pdf/CPdfException.h"
#include "platform/File.h"

namespace gridane {
namespace {

// The new page tree's kids, written as they are added.
class KidsList {
  public:
    void Add(WrittenPage page) {
        m_text += " " + std::to_string(page.number) + " " + std::to_string(page.generation) + " R ";
        ++m_count;
    }
    const std::string& Text() const { return m_text; }
    int Count() const { return m_count; }

  private:
    std::string m_text;
    int m_count = 0;
};

void OpenInput(ImpositionJob& job) {
    platform::ReadFile probe;
    bool readable = probe.Open(job.inputName, job.files);
    job.Print("Input file: '" + job.inputName + "'");
    if (!readable) throw CPdfException("Input file open error\n");
    // Writing the output over the input would destroy the document while it is being read.
    if (platform::IsSameFile(job.inputName, job.outputName, job.files)) {
        throw CPdfException("\nOutput file is the input file: '" + job.outputName + "'\n");
    }
    job.document.Open(job.inputName, job.files);
    CPdfXRef& xref = job.document.GetXRef();
    xref.SetDecodeLimit(job.decodeLimit);
    CPdfObject encrypt = xref.GetTrailer().GetDict().LookupDirect("Encrypt");
    if (!encrypt.IsNone() && !encrypt.IsNull()) {
        throw CPdfException("Encrypted PDF files are not supported\n");
    }
    job.rootNumber = xref.GetRootNum();
    job.infoNumber = xref.GetInfoNum();
}

void ReadPages(ImpositionJob& job) {
    PageTree tree = ReadPageTree(job.document.GetXRef(), job.rootNumber);
    job.pageTreeRoot = tree.rootNumber;
    job.pageTreeRootGeneration = tree.rootGeneration;
    job.hasOutlines = tree.hasOutlines;
    job.pages = std::move(tree.pages);
    // A tree whose every node was skipped (a loop back to the root, kids that are no pages)
    // is damaged: saying so beats refusing the page range of a document of no pages.
    if (job.pages.empty() && !job.Warnings().Empty()) {
        throw CPdfException("File is broken. The page tree is damaged: no page could be read\n");
    }
    for (const PageRecord& page : job.pages) {
        // The root is rewritten as the new tree; a root that is itself the page would be lost.
        if (page.objectNumber == job.pageTreeRoot) {
            throw CPdfException("File is broken. The page tree root is a page\n");
        }
    }
}

// Refuses a range that names no page of the document; `e` past the end means the last page.
void FixRange(JobSettings& s, int pageCount) {
    if (s.firstPage < 1) {
        throw CPdfException(FormatText("First page %d is not a page number\n", s.firstPage));
    }
    if (s.firstPage > pageCount) {
        throw CPdfException(
            FormatText("First page %d is beyond the last page of the document (%d)\n", s.firstPage,
                       pageCount));
    }
    if (s.lastPage >= pageCount) s.lastPage = kToLastPage;
    if (s.lastPage < s.firstPage) {
        throw CPdfException(
            FormatText("Last page %d is before the first page %d\n", s.lastPage, s.firstPage));
    }
}

void CreateOutput(ImpositionJob& job) {
    size_t entries = job.document.GetXRef().GetEntries().size();
    if (!job.output.Create(job.outputName, entries, job.files)) {
        throw CPdfException("\nOutput file create error: '" + job.outputName + "'\n");
    }
    job.Print(", output file: '" + job.outputName + "'\n");
    job.Print("Processing");
}

// The plan of the whole output from the pages of the document imposed: the template's, the
// built-in layout's, or the sequence file's page order.
SheetPlan PlanSheets(ImpositionJob& job, const std::vector<PageGeometry>& geometry) {
    if (job.sheetTemplate) return BuildTemplatePlan(job.settings, geometry, *job.sheetTemplate);
    if (job.settings.unimpose) return BuildUnimposePlan(job.settings, geometry);
    if (!job.settings.sequenceFile.empty()) {
        return BuildSheetPlan(job.settings, geometry, ReadSequenceFile(job));
    }
    SheetPlan plan = BuildSheetPlan(job.settings, geometry);
    job.settings.lastPage = plan.lastPage;
    return plan;
}

// Plans the output, refusing one without any page: a PDF file of no pages is of no use and
// viewers and printers refuse it, so the run fails instead of reporting it done.
void PlanOutput(ImpositionJob& job) {
    job.plan = PlanSheets(job, {job.pages.begin(), job.pages.end()});
    if (!job.plan.problem.empty()) throw CPdfException(job.plan.problem);
    if (job.plan.sides.empty() && job.plan.keptBefore.empty() && job.plan.keptAfter.empty()) {
        throw CPdfException("No pages to write: the settings place no page on a sheet\n");
    }
}

void WritePageTree(ImpositionJob& job) {
    KidsList kids;
    DestinationTargets targets;
    auto keep = [&](int page) {
        const size_t index = static_cast<size_t>(page) - 1;
        WrittenPage written = WriteKeptPage(job, index);
        kids.Add(written);
        targets.AddKeptPage(job.pages[index], written);
    };
    for (int page : job.plan.keptBefore) keep(page);
    for (const PlannedSide& side : job.plan.sides) {
        WrittenPage written = WriteSheet(job, side);
        kids.Add(written);
        targets.AddSide(job, side, written);
    }
    for (int page : job.plan.keptAfter) keep(page);
    WriteCarriedDestinations(job, targets);
    job.output.BeginObject(job.pageTreeRoot, job.pageTreeRootGeneration);
    job.output.Write(std::to_string(job.pageTreeRoot) + " " +
                     std::to_string(job.pageTreeRootGeneration) +
                     " obj\n<<\n/Type /Pages\n/Kids [" + kids.Text() + " ]\n/Count " +
                     std::to_string(kids.Count()) + "\n>>\nendobj\n");
}

}  // namespace

void ImpositionJob::Print(std::string_view text) const {
    if (progress != nullptr) progress->Progress(text);
}

void ImpositionJob::Warn(std::string_view text) const {
    if (progress != nullptr) progress->Warning(text);
}

void ImpositionJob::Advanced(int64_t done, int64_t total) const {
    if (progress != nullptr) progress->Advanced(done, total);
}

namespace {

// Removes the 2-to-1 pre-pass's intermediate file when the run ends, failed or not: it lies
// in the current folder, where nobody would clean it up.
class TempFileRemover {
  public:
    TempFileRemover(const std::string& name, platform::FileSpace files)
        : m_name(name), m_files(files) {}
    ~TempFileRemover() {
        if (!m_name.empty()) platform::RemoveFile(m_name, m_files);
    }
    TempFileRemover(const TempFileRemover&) = delete;
    TempFileRemover& operator=(const TempFileRemover&) = delete;

  private:
    const std::string& m_name;
    platform::FileSpace m_files;
};

}  // namespace

namespace {

// The test sheet in the size of the job's first sheet side as shown.
void WriteCalibration(ImpositionJob& job) {
    if (job.plan.sides.empty()) throw CPdfException("No sheet to calibrate: no page is imposed\n");
    const PlannedSide& side = job.plan.sides.front();
    WriteCalibrationSheet(job.outputName, side.shownWidth, side.shownHeight,
                          job.settings.flip == "short", job.files);
    job.document.Close();
    job.Print(", calibration sheet " + NumberText(side.shownWidth) + " x " +
              NumberText(side.shownHeight) + " points: '" + job.outputName + "'\n");
}

// Refuses settings no run can use, and reads the job's template.
void CheckSettings(ImpositionJob& job) {
    for (const std::string& problem :
         {CheckSheetSettings(job.settings), CheckPressSettings(job.settings),
          CheckUnimposeSettings(job.settings), CheckPosterSettings(job.settings)}) {
        if (!problem.empty()) throw CPdfException(problem);
    }
    if (!job.settings.templateFile.empty()) {
        job.sheetTemplate = ReadTemplateFile(job.settings.templateFile, job.files);
    }
}

// Whether the document imposed is the input followed by a copy of itself.
bool DoublesInput(const ImpositionJob& job) {
    if (job.sheetTemplate) return job.sheetTemplate->doubled;
    return job.settings.up2to1 || job.settings.up2to1h;
}

}  // namespace

std::string PrintTemplate(ImpositionJob& job) {
    CheckSettings(job);
    OpenInput(job);
    ReadPages(job);
    std::vector<PageGeometry> geometry(job.pages.begin(), job.pages.end());
    // The doubled document's pages are the input's twice over, as the pre-pass writes them.
    if (DoublesInput(job)) geometry = DoubledForTwoToOne(geometry);
    FixRange(job.settings, static_cast<int>(geometry.size()));
    if (job.settings.duplicate && (job.settings.rotateLeft || job.settings.rotateRight)) {
        throw CPdfException(
            "No template: these settings double the document, they lay out no sheet\n");
    }
    SheetPlan plan = PlanSheets(job, geometry);
    if (!plan.problem.empty()) throw CPdfException(plan.problem);
    PrintedTemplate printed = PrintSheetTemplate(job.settings, geometry, plan);
    if (!printed.problem.empty()) throw CPdfException(printed.problem);
    job.document.Close();
    return printed.text;
}

void RunImposition(ImpositionJob& job) {
    CheckSettings(job);
    NotePressNames(job);
    job.tempName.clear();
    TempFileRemover removeTemp(job.tempName, job.files);
    if (DoublesInput(job)) RunTwoToOnePrePass(job);
    OpenInput(job);
    ReadPages(job);
    FixRange(job.settings, static_cast<int>(job.pages.size()));
    PlanOutput(job);
    if (job.settings.calibration) return WriteCalibration(job);
    CreateOutput(job);
    CopyHeader(job);
    job.heldBack = FindDestinationHolders(job);
    CopyObjects(job);
    WritePageTree(job);
    job.output.Finish(job.rootNumber, job.infoNumber);
    job.activeContent.Report(job.document.Warnings());
    if (!job.output.Commit()) {
        throw CPdfException("\nOutput file write error: '" + job.outputName + "'" +
                            job.output.FailureReasonSuffix() + "\n");
    }
    job.document.Close();
    job.Print("\n");
    // Step-and-repeat says what it chose, so that the user sees the grid before printing.
    if (std::string fitted = FittedCardsText(job.plan); !fitted.empty()) job.Print(fitted + "\n");
}

}  // namespace gridane
