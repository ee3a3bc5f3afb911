// Batch rows side by side: the same statuses, outputs, debug log, messages and summary as one
// row at a time; statuses as rows end; cancelling; and the progress a run reports.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <regex>
#include <sstream>
#include <thread>

#include "desktop/core/BatchProgress.h"
#include "desktop/core/BatchRun.h"
#include "desktop/core/OutsidePrograms.h"
#include "desktop/core/tests/PipelineFixture.h"
#include "testing/Tools.h"

namespace desktop_test {
namespace {

using namespace testing_support;
using desktop::UiCall;

// What a run left behind, with the private folders' random names made alike.
struct Outcome {
    std::vector<std::string> statuses;
    int tried = 0, processed = 0, failed = 0, lastFailure = 0;
    std::vector<std::string> failures;
    std::map<std::string, std::string> outputs;  // name -> bytes
    std::string log;
    std::vector<std::string> messages;

    bool operator==(const Outcome&) const = default;
};

class ParallelBatchTest : public PipelineTest {
  protected:
    ParallelBatchTest() {
        m_options.makeEngines = [](desktop::UiPort& ui) {
            return std::make_unique<desktop::EngineObjects>(ui);
        };
    }

    // Good files of three producers, names that look like options or hold quotes and blanks,
    // two rows of one output name, a truncated, a garbage and an encrypted file, a missing one
    // and a row not to use.
    void MakeMixedList() {
        std::filesystem::create_directories(File("a"));
        std::filesystem::create_directories(File("b"));
        std::string good = MakeInput("good.pdf", 4);
        std::string truncated = File("truncated.pdf");
        WriteWholeFile(truncated, ReadWholeFile(good).substr(0, 600));
        WriteWholeFile(File("garbage.pdf"), "%PDF-1.7\n" + std::string(3000, '\x9c') + "\n%%EOF\n");
        std::string encrypted = File("encrypted.pdf");
        ASSERT_EQ(testing_support::Run("qpdf --encrypt secret owner 256 -- " + ShellQuote(good) +
                                       " " + ShellQuote(encrypted))
                      .exitCode,
                  0);
        m_list.outputFolder = File("out");
        m_list.rows = {{"Yes", good, "Ready."},
                       {"Yes", MakeInput("-x.pdf", 3, Producer::QpdfObjectStreams), "Ready."},
                       {"Yes", MakeInput("q\"uo'te and blank.pdf", 5, Producer::Cairo), "Ready."},
                       {"Yes", truncated, "Ready."},
                       {"No", good, "kept"},
                       {"Yes", MakeInput("a/same.pdf", 2), "Ready."},
                       {"Yes", File("garbage.pdf"), "Ready."},
                       {"Yes", File("absent.pdf"), "Ready."},
                       {"Yes", MakeInput("b/same.pdf", 6), "Ready."},
                       {"Yes", encrypted, "Ready."},
                       {"Yes", MakeInput("-- last.pdf", 1), "Ready."}};
    }

    Outcome RunWith(int rows, desktop::BatchList* list, const std::string& keepAs) {
        m_log->Start(m_ui);
        m_ui.ClearCalls();
        m_options.rows = rows;
        desktop::PipelineContext context{m_setup, m_conversion, *m_engines, m_ui, *m_log, true};
        desktop::BatchSummary summary = desktop::RunBatch(context, list, m_options);
        Outcome outcome;
        for (const desktop::BatchRow& row : list->rows) outcome.statuses.push_back(row.status);
        outcome.tried = summary.tried;
        outcome.processed = summary.processed;
        outcome.failed = summary.failed;
        outcome.lastFailure = summary.lastFailure;
        for (const auto& failure : summary.failures)
            outcome.failures.push_back(failure.path + ": " + failure.status);
        for (const auto& entry : std::filesystem::directory_iterator(File("out")))
            outcome.outputs[entry.path().filename()] = ReadWholeFile(entry.path());
        std::filesystem::rename(File("out"), File(keepAs));
        outcome.log = std::regex_replace(ReadWholeFile(m_log->Path()),
                                         std::regex("velmora-[A-Za-z0-9]{6}"), "velmora-W");
        outcome.messages = m_ui.Messages();
        EXPECT_TRUE(Entries(TempFolder()).empty());  // every private folder is gone
        return outcome;
    }

    // The rows' status calls in the order they came: "row: status".
    std::vector<std::string> StatusCalls() const {
        std::vector<std::string> calls;
        for (const UiCall& call : m_ui.Calls()) {
            if (call.kind == UiCall::Kind::RowStatus)
                calls.push_back(std::to_string(call.number) + ": " + call.text);
        }
        return calls;
    }

    desktop::BatchList m_list;
    desktop::BatchOptions m_options;
};

TEST_F(ParallelBatchTest, SideBySideGivesWhatOneAtATimeGives) {
    MakeMixedList();
    UseEngines(false);
    desktop::BatchList one = m_list;
    desktop::BatchList four = m_list;
    Outcome alone = RunWith(1, &one, "out-1");
    Outcome together = RunWith(4, &four, "out-4");
    EXPECT_EQ(alone, together);

    // And the outcome is the right one.
    EXPECT_EQ(alone.statuses[0], "Done");
    EXPECT_EQ(alone.statuses[1], "Done");
    EXPECT_EQ(alone.statuses[2], "Done");
    EXPECT_EQ(alone.statuses[4], "kept");
    EXPECT_EQ(alone.statuses[5], "Done");
    EXPECT_EQ(alone.statuses[7], "file error");
    EXPECT_EQ(alone.statuses[8], "Done as same (2).pdf (same.pdf came earlier)");
    EXPECT_EQ(alone.statuses[10], "Done");
    for (size_t failing : {3u, 6u, 9u}) {
        EXPECT_NE(alone.statuses[failing].substr(0, 4), "Done") << failing;
        EXPECT_NE(alone.statuses[failing], "Processing") << failing;
    }
    EXPECT_EQ(alone.tried, 10);
    EXPECT_EQ(alone.processed, 9);
    EXPECT_EQ(alone.failed, 4);
    // The encrypted row needs a password to open: its input can't be read.
    EXPECT_EQ(alone.lastFailure, desktop::kProcessBadInput);
    EXPECT_EQ(alone.outputs.size(), 6u);
    for (const auto& [name, bytes] : alone.outputs) {
        std::string report;
        EXPECT_TRUE(QpdfCheckClean(File("out-1/" + name), &report)) << name << report;
    }
    EXPECT_EQ(PageCount(File("out-4/same (2).pdf")), 3);  // 6 pages, 2 up
    // One block per row, in list order.
    size_t previous = 0;
    for (const desktop::BatchRow& row : m_list.rows) {
        if (row.use != "Yes") continue;
        size_t at = together.log.find("CheckPDF szPathName: " + row.path + "\r\n");
        ASSERT_NE(at, std::string::npos) << row.path;
        EXPECT_GT(at, previous);
        previous = at;
    }
}

TEST_F(ParallelBatchTest, StatusesComeAsRowsEndAndProgressCounts) {
    m_list.outputFolder = File("out");
    m_list.rows = {{"Yes", MakeInput("long.pdf", 1500), "Ready."},
                   {"Yes", MakeInput("short.pdf", 1), "Ready."}};
    UseEngines(false);
    RunWith(2, &m_list, "out-2");
    std::vector<std::string> calls = StatusCalls();
    auto at = [&](const std::string& call) {
        return std::find(calls.begin(), calls.end(), call) - calls.begin();
    };
    EXPECT_LT(at("1: Done"), at("0: Done"));  // the short row ended first
    EXPECT_LT(at("0: Processing"), at("1: Processing"));
    EXPECT_EQ(m_list.rows[0].status, "Done");
    EXPECT_EQ(m_list.rows[1].status, "Done");

    std::vector<std::string> progress;
    for (const UiCall& call : m_ui.Calls()) {
        if (call.kind == UiCall::Kind::BatchProgress) progress.push_back(call.text);
    }
    ASSERT_EQ(progress.size(), 4u);
    EXPECT_EQ(progress[0], "0 of 2 rows done");
    EXPECT_EQ(progress[1].rfind("1 of 2 rows done, about ", 0), 0u) << progress[1];
    EXPECT_EQ(progress[3], "2 of 2 rows done");
}

TEST_F(ParallelBatchTest, ACancelBeforeARowStartsLetsTheRunningRowsEnd) {
    m_list.outputFolder = File("out");
    for (int i = 0; i < 5; ++i) m_list.AddFile(MakeInput("r" + std::to_string(i) + ".pdf", 2));
    UseEngines(false);
    m_ui.ScriptCancelAt(3);  // asked before rows 0, 1 and 2 start
    m_log->Start(m_ui);
    m_options.rows = 2;
    desktop::PipelineContext context{m_setup, m_conversion, *m_engines, m_ui, *m_log, true};
    desktop::BatchSummary summary = desktop::RunBatch(context, &m_list, m_options);
    EXPECT_TRUE(summary.cancelled);
    EXPECT_EQ(summary.tried, 2);
    EXPECT_EQ(summary.failed, 0);
    EXPECT_EQ(m_list.rows[0].status, "Done");
    EXPECT_EQ(m_list.rows[1].status, "Done");
    for (size_t i = 2; i < 5; ++i) EXPECT_EQ(m_list.rows[i].status, "Ready.");
    EXPECT_EQ(Entries(File("out")), (std::vector<std::string>{"r0.pdf", "r1.pdf"}));
    EXPECT_TRUE(Entries(TempFolder()).empty());
}

// The user's Cancel reaches the rows that run, which end cleanly: no output of theirs, nothing
// half-written beside the outputs, nothing left in the temporary folder.
TEST_F(ParallelBatchTest, TheUsersCancelEndsRunningRowsCleanly) {
    class CancelOnSecondRow : public desktop::QuietUiPort {
      public:
        void SetRowStatus(int row, std::string_view status) override {
            QuietUiPort::SetRowStatus(row, status);
            if (row == 1 && status == "Processing") SetCancelRequested(true);
        }
    } ui;
    m_list.outputFolder = File("out");
    for (int i = 0; i < 4; ++i) m_list.AddFile(MakeInput("r" + std::to_string(i) + ".pdf", 300));
    UseEngines(false);
    m_options.rows = 2;
    desktop::PipelineContext context{m_setup, m_conversion, *m_engines, ui, *m_log, true};
    desktop::BatchSummary summary = desktop::RunBatch(context, &m_list, m_options);
    EXPECT_TRUE(summary.cancelled);
    EXPECT_EQ(m_list.rows[1].status, "Cancelled");
    EXPECT_TRUE(m_list.rows[0].status == "Done" || m_list.rows[0].status == "Cancelled");
    EXPECT_EQ(m_list.rows[2].status, "Ready.");
    EXPECT_EQ(m_list.rows[3].status, "Ready.");
    std::vector<std::string> written = Entries(File("out"));
    std::vector<std::string> expected;
    if (m_list.rows[0].status == "Done") expected.push_back("r0.pdf");
    EXPECT_EQ(written, expected);
    EXPECT_TRUE(Entries(TempFolder()).empty());
    EXPECT_EQ(summary.lastFailure, desktop::kProcessCancelled);
}

// Rows converting files of one name at once each keep a whole copy in the PDF folder: the
// last one written, never a mix of the two or a leftover part.
TEST(ConvertedCopies, RowsAtOnceNeverWriteIntoEachOthersCopy) {
    ScratchDir dir;
    std::filesystem::create_directories(dir.File("one"));
    std::filesystem::create_directories(dir.File("two"));
    WriteWholeFile(dir.File("one/report.docx.pdf"), std::string(1 << 20, '1'));
    WriteWholeFile(dir.File("two/report.docx.pdf"), std::string(1 << 20, '2'));
    std::string logs[2];
    auto copyMany = [&](const std::string& from, std::string* said) {
        desktop::DebugLog own(desktop::DebugLog::InMemory{true});
        for (int i = 0; i < 50; ++i) desktop::KeepConvertedCopy(from, dir.File("copies"), own);
        *said = own.TakeText();
    };
    std::thread first(copyMany, dir.File("one/report.docx.pdf"), &logs[0]);
    std::thread second(copyMany, dir.File("two/report.docx.pdf"), &logs[1]);
    first.join();
    second.join();
    for (const std::string& said : logs) EXPECT_EQ(said.find("failed"), std::string::npos) << said;
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(dir.File("copies")))
        names.push_back(entry.path().filename());
    EXPECT_EQ(names, std::vector<std::string>{"report.docx.pdf"});
    std::string copy = ReadWholeFile(dir.File("copies/report.docx.pdf"));
    EXPECT_TRUE(copy == std::string(1 << 20, '1') || copy == std::string(1 << 20, '2'));
}

TEST(BatchProgressLine, RewritesOneLineAndEndsIt) {
    using namespace std::chrono;
    desktop::BatchClock clock(4, steady_clock::time_point{});
    EXPECT_EQ(desktop::BatchProgressText(clock.At(0, steady_clock::time_point{seconds(5)})),
              "0 of 4 rows done");
    EXPECT_EQ(desktop::BatchProgressText(clock.At(1, steady_clock::time_point{seconds(30)})),
              "1 of 4 rows done, about 1 min 30 s left");
    EXPECT_EQ(desktop::BatchProgressText(clock.At(4, steady_clock::time_point{seconds(80)})),
              "4 of 4 rows done");
    EXPECT_EQ(desktop::BatchProgressText({2, 4, seconds(9), true}), "2 of 4 rows done");  // stopped

    std::ostringstream terminal;
    desktop::QuietUiPort ui(&terminal);
    ui.SetProgressLine(true);
    ui.ShowBatchProgress({0, 12, std::nullopt, false});
    ui.Message("a.pdf: failed");
    ui.ShowBatchProgress({1, 12, seconds(3725), false});
    ui.ShowBatchProgress({12, 12, seconds(0), true});
    EXPECT_EQ(terminal.str(),
              "0 of 12 rows done"
              "\r                 \ra.pdf: failed\n0 of 12 rows done"
              "\r                 \r1 of 12 rows done, about 1 h 2 min left"
              "\r                                       \r12 of 12 rows done\n");
}

}  // namespace
}  // namespace desktop_test
