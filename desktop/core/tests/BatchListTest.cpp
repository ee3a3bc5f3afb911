// List files, the folder scan, the row commands, and the batch run over real files.
#include <gtest/gtest.h>

#include <filesystem>

#include "desktop/core/BatchList.h"
#include "desktop/core/BatchRows.h"
#include "desktop/core/BatchRun.h"
#include "desktop/core/tests/PipelineFixture.h"
#include "testing/Tools.h"

namespace desktop_test {
namespace {

using namespace testing_support;
using desktop::BatchRow;

TEST(BatchListFile, RoundTripsEveryKindOfRow) {
    ScratchDir dir;
    std::vector<BatchRow> rows = {{"Yes", "/data/a b.pdf", "Done"},
                                  {"No", "/data/~c.pdf", ""},
                                  {"Yes, No Stamp", "/data/+d \xC3\xA9.pdf", "x"}};
    ASSERT_TRUE(desktop::WriteListFile(dir.File("l.lst"), rows));
    EXPECT_EQ(ReadWholeFile(dir.File("l.lst")),
              "/data/a b.pdf||\r\n~/data/~c.pdf||\r\n+/data/+d \xC3\xA9.pdf||\r\n");
    std::vector<BatchRow> read;
    ASSERT_TRUE(desktop::ReadListFile(dir.File("l.lst"), &read).opened);
    ASSERT_EQ(read.size(), 3u);
    for (size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(read[i].use, rows[i].use);
        EXPECT_EQ(read[i].path, rows[i].path);
        EXPECT_EQ(read[i].status, "Ready.");
    }
    EXPECT_FALSE(desktop::WriteListFile(dir.File("no folder/l.lst"), rows));
    EXPECT_FALSE(desktop::ReadListFile(dir.File("absent.lst"), &read).opened);
    EXPECT_EQ(read.size(), 3u);
}

TEST(BatchListFile, SkipsBlankLinesAndRefusesLinesTooLong) {
    ScratchDir dir;
    // A path of 255 characters would have been cut into two bogus rows.
    std::string longPath = "/" + std::string(250, 'p') + ".pdf";
    std::string exact = "/" + std::string(249, 'q') + ".pdf";
    WriteWholeFile(dir.File("l.lst"), "\r\n\n~/x.pdf|field3|field4\r\n\r\n\f\n/y.pdf\n" + longPath +
                                          "||\r\n~" + exact + "||\r\n/last.pdf");
    std::vector<BatchRow> rows;
    desktop::ListFileRead read = desktop::ReadListFile(dir.File("l.lst"), &rows);
    ASSERT_TRUE(read.opened);
    std::vector<std::string> paths;
    for (const BatchRow& row : rows) paths.push_back(row.path);
    EXPECT_EQ(paths, (std::vector<std::string>{"/x.pdf", "/y.pdf", exact, "/last.pdf"}));
    EXPECT_EQ(rows[0].use, "No");
    EXPECT_EQ(read.messages,
              (std::vector<std::string>{dir.File("l.lst") +
                                        ", line 7: the file name is longer than 254 characters "
                                        "and was not taken"}));
}

TEST(BatchListFile, AFileTooLargeOrWithoutEndAddsNoRow) {
    ScratchDir dir;
    std::string line = "/data/a.pdf||\r\n";
    std::string large;
    while (large.size() <= (size_t{1} << 20)) large += line;
    WriteWholeFile(dir.File("large.lst"), large);
    for (std::string name : {dir.File("large.lst"), std::string("/dev/zero")}) {
        std::vector<BatchRow> rows;
        desktop::ListFileRead read = desktop::ReadListFile(name, &rows);
        EXPECT_TRUE(read.opened);
        EXPECT_TRUE(rows.empty());
        ASSERT_EQ(read.messages.size(), 1u);
        EXPECT_EQ(read.messages[0],
                  name + " is larger than 1048576 bytes and is no list file: no row was read");
    }
    // Just within the limit, every row is read.
    large.resize(large.size() - line.size());
    WriteWholeFile(dir.File("large.lst"), large);
    std::vector<BatchRow> rows;
    EXPECT_TRUE(desktop::ReadListFile(dir.File("large.lst"), &rows).messages.empty());
    EXPECT_EQ(rows.size(), large.size() / line.size());
}

TEST(BatchListCommands, ToggleMoveDeleteAndOpenAll) {
    desktop::BatchList list;
    for (const char* path : {"a", "b", "c", "d"}) list.AddFile(path);
    list.rows[3].use = desktop::kUseYesNoStamp;
    list.ToggleUse(0);
    EXPECT_EQ(list.rows[0], (BatchRow{"No", "a", ""}));
    list.ToggleUse(0);
    EXPECT_EQ(list.rows[0], (BatchRow{"Yes", "a", "Ready."}));
    list.ToggleUse(3);
    EXPECT_EQ(list.rows[3].use, "No");
    EXPECT_EQ(list.MoveUp(0), 0u);
    EXPECT_EQ(list.MoveUp(2), 1u);
    EXPECT_EQ(list.MoveDown(3), 3u);
    EXPECT_EQ(list.PathsToOpen(false), (std::vector<std::string>{"a", "c", "b", "d"}));
    list.DeleteRows({3, 0, 3});
    EXPECT_EQ(list.PathsToOpen(true), (std::vector<std::string>{"b", "c"}));
}

TEST(BatchListScan, FindsPdfAndConvertibleNamesDepthFirstAndSkipsHiddenEntries) {
    ScratchDir dir;
    namespace fs = std::filesystem;
    for (const char* folder : {"b/deep", ".hidden", "c"}) fs::create_directories(dir.File(folder));
    for (const char* file :
         {"A.PDF", "a.pdf.txt", "notes.txt", "b/deep/x.pdf", "b/y.pdf", ".hidden/z.pdf",
          ".~lock.w.pdf#", "c/w.Pdf", "c/photo.JPG", "c/sheet.xlsx", "data.bin"}) {
        WriteWholeFile(dir.File(file), "x");
    }
    fs::create_directory_symlink(dir.File("b"), dir.File("c/loop"));
    std::vector<BatchRow> rows;
    EXPECT_TRUE(desktop::ScanFolder(dir.Path(), &rows));
    std::vector<std::string> found;
    for (const BatchRow& row : rows) found.push_back(row.path.substr(dir.Path().size() + 1));
    // PDF files and every kind a converter takes.
    EXPECT_EQ(found,
              (std::vector<std::string>{"A.PDF", "a.pdf.txt", "b/deep/x.pdf", "b/y.pdf",
                                        "c/photo.JPG", "c/sheet.xlsx", "c/w.Pdf", "notes.txt"}));
    // Stopped after three entries.
    rows.clear();
    int asked = 0;
    EXPECT_FALSE(
        desktop::ScanFolder(dir.Path(), &rows, [&](const std::string&) { return ++asked <= 3; }));
    EXPECT_EQ(rows.size(), 1u);  // hidden entries count as entries too
}

TEST(BatchListScan, WildcardsMatchFilesOnly) {
    ScratchDir dir;
    std::filesystem::create_directory(dir.File("d.pdf"));
    for (const char* file : {"a.pdf", "b c.pdf", ".h.pdf", "x.txt"})
        WriteWholeFile(dir.File(file), "x");
    EXPECT_EQ(desktop::FilesMatching(dir.File("*.pdf")),
              (std::vector<std::string>{dir.File("a.pdf"), dir.File("b c.pdf")}));
    EXPECT_TRUE(desktop::IsWildcardPattern("scans/?.pdf"));
    EXPECT_FALSE(desktop::IsWildcardPattern("scans/a.pdf"));
}

class BatchRunTest : public PipelineTest {};

TEST_F(BatchRunTest, RunsUsedRowsAndWritesEachOutcome) {
    desktop::BatchList list;
    list.outputFolder = File("out");
    std::string good = MakeInput("good.pdf", 4);
    std::string damaged = File("damaged.pdf");
    WriteWholeFile(damaged, "%PDF-1.4\ntrailer <<>>\n");
    list.rows = {{"Yes", good, "Ready."},
                 {"No", good, "kept"},
                 {"Yes, No Stamp", good, "kept too"},
                 {"Yes", File("absent.pdf"), "Ready."},
                 {"Yes", damaged, "Ready."},
                 {"Yes", MakeInput("second.PDF", 2), "Ready."}};
    m_log->Start(m_ui);
    m_ui.ClearCalls();
    UseEngines(false);
    desktop::PipelineContext context{m_setup, m_conversion, *m_engines, m_ui, *m_log, true};
    desktop::BatchSummary summary = desktop::RunBatch(context, &list);
    EXPECT_EQ(summary.processed, 3);
    EXPECT_EQ(summary.failed, 2);
    EXPECT_EQ(summary.lastFailure, desktop::kProcessImpositionFailed);
    ASSERT_EQ(summary.failures.size(), 2u);
    EXPECT_EQ(summary.failures[0].status, "file error");
    EXPECT_EQ(summary.failures[1].path, damaged);
    EXPECT_EQ(list.rows[0].status, "Done");
    EXPECT_EQ(list.rows[1].status, "kept");
    EXPECT_EQ(list.rows[2].status, "kept too");
    EXPECT_EQ(list.rows[3].status, "file error");
    EXPECT_EQ(list.rows[4].status, "PDF file was damaged");  // the engine's own text
    EXPECT_EQ(list.rows[5].status, "Done");
    EXPECT_EQ(Entries(File("out")), (std::vector<std::string>{"good.pdf", "second.PDF"}));
    std::string report;
    EXPECT_TRUE(QpdfCheckClean(File("out/good.pdf"), &report)) << report;
    EXPECT_TRUE(m_ui.Messages().empty());  // command-line mode: no "Done."
    EXPECT_EQ(desktop::BatchSummaryText(summary), "2 done, 2 failed.");
    std::string log = ReadWholeFile(m_log->Path());
    EXPECT_NE(log.find("BatchProcesslist\r\n"), std::string::npos);
    EXPECT_NE(log.find("ERROR! CheckPDF szPathName: " + File("absent.pdf")), std::string::npos);
    EXPECT_NE(log.find("BatchProcesslist: " + good + " to folder: " + File("out") + "\r\n"),
              std::string::npos);

    // A cancel before the first row: the window's last word says that nothing ran.
    context.commandLineMode = false;
    m_ui.ClearCalls();
    m_ui.SetCancelRequested(true);
    EXPECT_EQ(desktop::RunBatch(context, &list).outcomes.size(), 0u);
    EXPECT_EQ(m_ui.Messages(), std::vector<std::string>{"0 done, 4 not run."});
    m_ui.SetCancelRequested(false);

    // No list: the message, and nothing runs.
    m_ui.ClearCalls();
    EXPECT_FALSE(desktop::RunBatch(context, nullptr).ran);
    EXPECT_EQ(m_ui.Messages(), std::vector<std::string>{desktop::kPrepareListFirstMessage});
}

TEST_F(BatchRunTest, RowsOfOneOutputNameGetDistinctNamesAndSaySo) {
    std::filesystem::create_directories(File("a"));
    std::filesystem::create_directories(File("b"));
    desktop::BatchList list;
    list.outputFolder = File("out");
    list.rows = {{"Yes", MakeInput("a/x.pdf", 4), "Ready."},
                 {"Yes", MakeInput("b/x.pdf", 8), "Ready."}};
    UseEngines(false);
    desktop::PipelineContext context{m_setup, m_conversion, *m_engines, m_ui, *m_log, true};
    desktop::BatchSummary summary = desktop::RunBatch(context, &list);
    EXPECT_EQ(summary.failed, 0);
    EXPECT_EQ(list.rows[0].status, "Done");
    EXPECT_EQ(list.rows[1].status, "Done as x (2).pdf (x.pdf came earlier)");
    EXPECT_EQ(PageCount(File("out/x.pdf")), 2);
    EXPECT_EQ(PageCount(File("out/x (2).pdf")), 4);

    EXPECT_EQ(desktop::DistinctName("r.docx.pdf", {"r.docx.pdf", "r.docx (2).pdf"}),
              "r.docx (3).pdf");
    EXPECT_EQ(desktop::DistinctName("noext", {"noext"}), "noext (2)");
}

// Every row's absolute output is decided when the rows are planned, and only for rows that can
// be read and are marked "Yes".
TEST(BatchRunPlan, EachUsedReadableRowGetsItsAbsoluteOutputOnce) {
    ScratchDir dir;
    for (const char* name : {"a/x.pdf", "b/x.pdf", "c/scan.tif"}) {
        std::filesystem::create_directories(dir.File(name).substr(0, dir.File(name).rfind('/')));
        WriteWholeFile(dir.File(name), "%PDF-1.4\n");
    }
    desktop::BatchList list;
    list.outputFolder = dir.File("out");
    list.rows = {{"Yes", dir.File("a/x.pdf"), ""},
                 {"No", dir.File("c/scan.tif"), ""},
                 {"Yes", dir.File("missing.pdf"), ""},
                 {"Yes", dir.File("b/x.pdf"), ""},
                 {"Yes", dir.File("c/scan.tif"), ""}};
    std::vector<desktop::RowJob> jobs = desktop::PlanRows(list);
    ASSERT_EQ(jobs.size(), 4u);
    struct Expected {
        size_t index;
        bool readable;
        std::string output;
    };
    std::vector<Expected> expected = {{0, true, dir.File("out/x.pdf")},
                                      {2, false, ""},
                                      {3, true, dir.File("out/x (2).pdf")},
                                      {4, true, dir.File("out/scan.tif.pdf")}};
    for (size_t k = 0; k < jobs.size(); ++k) {
        EXPECT_EQ(jobs[k].index, expected[k].index);
        EXPECT_EQ(jobs[k].readable, expected[k].readable) << jobs[k].path;
        EXPECT_EQ(jobs[k].request.output, expected[k].output);
        if (jobs[k].readable) {
            EXPECT_EQ(jobs[k].request.row, static_cast<int>(jobs[k].index));
        }
    }
}

TEST(BatchRunSummary, SaysWhatBecameOfEveryRow) {
    using desktop::kProcessCancelled, desktop::kProcessDone, desktop::kProcessImpositionFailed;
    struct Case {
        int total;
        std::vector<int> results;
        std::string text;
    };
    const Case cases[] = {
        {0, {}, "Done."},
        {2, {kProcessDone, kProcessDone}, "Done."},
        {61,
         {kProcessDone, kProcessImpositionFailed, kProcessCancelled, kProcessCancelled},
         "1 done, 1 failed, 2 cancelled, 57 not run."},
        {3, {kProcessCancelled}, "0 done, 1 cancelled, 2 not run."},
    };
    for (const Case& c : cases) {
        desktop::BatchSummary summary;
        summary.total = c.total;
        for (int result : c.results) summary.outcomes.push_back({0, result, "", ""});
        EXPECT_EQ(desktop::BatchSummaryText(summary), c.text);
    }
    desktop::BatchProgress last{4, 61, std::nullopt, true,
                                "1 done, 1 failed, 2 cancelled, 57 not run."};
    EXPECT_EQ(desktop::BatchProgressText(last), last.outcome);
}

TEST(BatchRunSuffix, AppendsPdfUnlessTheNameEndsInPdf) {
    EXPECT_TRUE(desktop::NeedsPdfSuffix("report.docx"));
    EXPECT_FALSE(desktop::NeedsPdfSuffix("REPORT.PDF"));
    EXPECT_FALSE(desktop::NeedsPdfSuffix("oddpdf"));
    EXPECT_TRUE(desktop::NeedsPdfSuffix("pd"));
}

}  // namespace
}  // namespace desktop_test
