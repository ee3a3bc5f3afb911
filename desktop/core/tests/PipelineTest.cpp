// ProcessFile on real files with the real engines, the padding library and the cleaning
// scripts; a recording object in front of the imposition engine where the settings matter.
#include <gtest/gtest.h>

#include <signal.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

#include "desktop/core/EngineSettings.h"
#include "desktop/core/PadwickBinding.h"
#include "desktop/core/tests/PipelineFixture.h"
#include "testing/RealFiles.h"
#include "testing/SheetCompare.h"
#include "testing/Tools.h"
#include "testing/Waiting.h"

namespace desktop_test {
namespace {

using namespace testing_support;
using desktop::ProcessRequest;

class ProcessFileTest : public PipelineTest {
  protected:
    // A cleaning script standing in for the real one, first on PATH: `body` runs with the
    // source in $1 and the target in $2 (the end-of-options marker before them taken off).
    void FakeCleaning(const std::string& body) {
        std::string bin = File("fakebin");
        std::filesystem::create_directories(bin);
        for (const char* name : {"koblin", "koblinp"}) {
            std::string script = bin + "/" + name;
            WriteProgram(script, "#!/bin/sh\n[ \"$1\" = -- ] && shift\n" + body + "\n");
        }
        ::setenv("PATH", (bin + ":" + std::getenv("PATH")).c_str(), 1);
    }
    std::string DebugText() { return ReadWholeFile(m_log->Path()); }
};

TEST_F(ProcessFileTest, ImposesFilesOfEveryProducerThroughBothCleanings) {
    for (Producer producer :
         {Producer::Ghostscript, Producer::QpdfObjectStreams, Producer::Cairo}) {
        m_setup.inFile = MakeInput("in.pdf", 8, producer);
        m_setup.outFile = File("out.pdf");
        m_setup.dontCleanFile = 0;
        ASSERT_EQ(Process(), desktop::kProcessDone);
        std::string report;
        EXPECT_TRUE(QpdfCheckClean(m_setup.outFile, &report)) << report;
        // Two pages side by side on each sheet.
        EXPECT_EQ(PrintedNumbers(m_setup.outFile),
                  (std::vector<std::vector<int>>{{1, 2}, {3, 4}, {5, 6}, {7, 8}}));
        EXPECT_TRUE(Entries(TempFolder()).empty());
        EXPECT_EQ(Entries(m_scratch.Path()),
                  (std::vector<std::string>{"in.pdf", "out.pdf", "tmp"}));
        std::filesystem::remove(m_setup.outFile);
    }
    EXPECT_TRUE(m_ui.Messages().empty());  // command-line mode shows no "Done!"
}

TEST_F(ProcessFileTest, ProgressAndDebugLinesFollowTheSteps) {
    m_setup.inFile = MakeInput("in.pdf", 4);
    m_setup.outFile = File("out.pdf");
    m_setup.dontCleanFile = 0;
    m_setup.rotateNone = desktop::kNotChosen;
    m_setup.rotateEven = desktop::kChosen;
    m_commandLineMode = false;
    m_log->Start(m_ui);
    m_ui.ClearCalls();
    ASSERT_EQ(Process(), desktop::kProcessDone);
    EXPECT_EQ(m_ui.ProgressPositions(), (std::vector<int>{1, 2, 2, 3, 4, 5, 6, 6, 7}));
    // Within the steps the bar follows Ghostscript's pages (the input's 4th page begun: 3
    // done; the output's 2nd sheet: 1) and the engine's objects, whose copy ends whole.
    const auto& within = m_ui.StepProgressSeen();
    auto seen = [&within](int64_t done, int64_t total) {
        return std::find(within.begin(), within.end(), std::pair{done, total}) != within.end();
    };
    EXPECT_TRUE(seen(3, 4));
    EXPECT_TRUE(seen(1, 2));
    EXPECT_TRUE(std::any_of(within.begin(), within.end(), [](auto step) {
        return step.second > 4 && step.first == step.second;
    }));
    EXPECT_EQ(m_ui.Messages(), std::vector<std::string>{"Done!"});

    std::string log = DebugText();
    std::vector<std::string> expectedInOrder = {"temp ps file: ",
                                                "temp pdf file: ",
                                                "params: \"" + m_setup.inFile + "\" \"",
                                                "ShellExecute lpDirectory: \r\n",
                                                "ShellExecute code: 0\r\n",
                                                "rotate\r\n",
                                                "rotate tempFile: " + TempFolder(),
                                                "/output/out.pdf.rot\r\n",
                                                "nUp file m_filename: ",
                                                "OK! opened nUp file m_filename: ",
                                                "nUp m_filenameOut: " + TempFolder(),
                                                "/output/out.pdf\r\n",
                                                "nUp status: \r\n"};
    size_t at = 0;
    for (const std::string& line : expectedInOrder) {
        size_t found = log.find(line, at);
        ASSERT_NE(found, std::string::npos) << line << "\n" << log;
        at = found + line.size();
    }
    // The odd pages stand, the even ones are turned: compare with the input's renders.
    PageRenders input(m_setup.inFile, 36);
    EXPECT_LT(input.Page(2).Rotate(2).MeanDifference(
                  RenderPage(m_setup.outFile, 1, 36).Crop(input.Page(1).Width(), 0, 10000, 10000)),
              3.0);
}

TEST_F(ProcessFileTest, PutsEveryDerivedSettingInOrder) {
    UseEngines(true);
    m_setup.inFile = MakeInput("in.pdf", 12);
    m_setup.outFile = File("out.pdf");
    for (std::string_view layout : desktop::LayoutNames()) {
        SCOPED_TRACE(layout);
        m_setup.processingType = std::string(layout);
        m_recording->puts.clear();
        ASSERT_EQ(Process(), desktop::kProcessDone);
        EXPECT_EQ(m_recording->puts, desktop::GridanePuts(m_setup));
        EXPECT_TRUE(QpdfCheckClean(m_setup.outFile));
    }
    // The duplex booklet with its order, margins and boxes as typed.
    m_setup.processingType = "2up";
    m_setup.duplex2Up = desktop::kChosen;
    m_setup.ChooseOrder(desktop::DuplexOrder::Order8127);
    m_setup.rightMargin = 10;
    m_setup.mediaBox = "0,0,612,792";
    m_recording->puts.clear();
    ASSERT_EQ(Process(), desktop::kProcessDone);
    EXPECT_EQ(m_recording->puts, desktop::GridanePuts(m_setup));
    EXPECT_EQ(testing_support::PdfPageSize(m_setup.outFile, 1).width, 612);
}

TEST_F(ProcessFileTest, ImposesAsTheLayoutSays) {
    m_setup.inFile = MakeInput("in.pdf", 8);
    m_setup.outFile = File("out.pdf");
    m_setup.processingType = "4up";
    ASSERT_EQ(Process(), desktop::kProcessDone);
    EXPECT_EQ(PrintedNumbers(m_setup.outFile),
              (std::vector<std::vector<int>>{{1, 2, 3, 4}, {5, 6, 7, 8}}));
    // The outside-in booklet: 8 pages on two sheets, both sides.
    m_setup.processingType = "2up";
    m_setup.duplex2Up = desktop::kChosen;
    m_setup.ChooseOrder(desktop::DuplexOrder::Order8127);
    ASSERT_EQ(Process(), desktop::kProcessDone);
    EXPECT_EQ(PrintedNumbers(m_setup.outFile),
              (std::vector<std::vector<int>>{{8, 1}, {2, 7}, {6, 3}, {4, 5}}));
}

TEST_F(ProcessFileTest, PadsTheDuplexBookletToWholeSheets) {
    std::string input = MakeInput("in.pdf", 6);
    m_setup.inFile = input;
    m_setup.outFile = File("out.pdf");
    m_setup.duplex2Up = desktop::kChosen;
    m_setup.ChooseOrder(desktop::DuplexOrder::Order8127);
    m_setup.automaticAddBlanks = 1;
    m_log->Start(m_ui);
    ASSERT_EQ(Process(), desktop::kProcessDone) << ::testing::PrintToString(m_ui.Messages());
    // Pages 7 and 8 are blank.
    EXPECT_EQ(PrintedNumbers(m_setup.outFile),
              (std::vector<std::vector<int>>{{1}, {2}, {6, 3}, {4, 5}}));
    EXPECT_NE(DebugText().find("blanksFilename: " + TempFolder()), std::string::npos);
    EXPECT_TRUE(Entries(TempFolder()).empty());

    // Without padding no padded file is named.
    m_setup.automaticAddBlanks = 0;
    m_setup.inFile = input;
    m_log->Start(m_ui);
    ASSERT_EQ(Process(), desktop::kProcessDone);
    EXPECT_EQ(DebugText().find("blanksFilename"), std::string::npos);
}

TEST_F(ProcessFileTest, NamesEachStepAsItStarts) {
    FakeCleaning("cp \"$1\" \"$2\"");
    m_setup.inFile = MakeInput("in.pdf", 4);
    m_setup.outFile = File("out.pdf");
    m_setup.dontCleanFile = 0;
    m_setup.rotateNone = desktop::kNotChosen;
    m_setup.rotateOdd = desktop::kChosen;
    ASSERT_EQ(Process(), desktop::kProcessDone);
    EXPECT_EQ(m_ui.Steps(), (std::vector<std::string>{"Cleaning input", "Turning pages", "Imposing",
                                                      "Cleaning output"}));
}

TEST_F(ProcessFileTest, RetriesOnceWithoutCleaningAndSaysSoLeavingTheJobAsItWas) {
    struct Case {
        const char* cleaning;
        size_t impositions;
        std::string note;
    };
    const Case cases[] = {
        // A cleaning script that fails is seen at once: the job goes on without cleaning.
        {"exit 1", 1,
         "Done without cleaning: the cleaning program koblin could not run (exit "
         "status 1)"},
        // Its own words go to the debug log; the note gives the line that says why.
        {"echo 'Error: /syntaxerror in --token--' >&2; echo 'Operand stack:' >&2; exit 1", 1,
         "Done without cleaning: the cleaning program koblin could not run (Error: "
         "/syntaxerror in --token--)"},
        // Ghostscript's closing line is put in our words.
        {"echo '   **** Error: xref not found' >&2; "
         "echo 'GPL Ghostscript 10.0.0: Unrecoverable error, exit code 1' >&2; exit 1",
         1,
         "Done without cleaning: the cleaning program koblin could not run (Ghostscript stopped "
         "on an error in the file; its own words are in the debug log)"},
        // One that writes junk: the imposition of it fails and the job runs again.
        {"echo junk > \"$2\"", 2, "Done without cleaning: the imposition of the cleaned file"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.cleaning);
        UseEngines(true);
        FakeCleaning(c.cleaning);
        m_setup.inFile = MakeInput("in.pdf", 4);
        m_setup.outFile = File("out.pdf");
        m_setup.dontCleanFile = 0;
        const desktop::JobSetup before = m_setup;
        m_commandLineMode = false;
        m_ui.ClearCalls();
        m_log->Start(m_ui);
        ASSERT_EQ(Process(), desktop::kProcessDone);
        ASSERT_EQ(m_recording->calls.size(), c.impositions);
        EXPECT_EQ(m_recording->calls.back().first, m_setup.inFile);
        EXPECT_EQ(m_setup, before);  // DONTCLEANFILE stays as the user left it
        EXPECT_EQ(PageCount(m_setup.outFile), 2);
        // The status line and the debug log tell the user.
        std::vector<std::string> statuses;
        for (const desktop::UiCall& call : m_ui.Calls()) {
            if (call.kind == desktop::UiCall::Kind::Status) statuses.push_back(call.text);
        }
        ASSERT_EQ(statuses.size(), 1u);
        EXPECT_EQ(statuses[0].rfind(c.note, 0), 0u) << statuses[0];
        EXPECT_NE(DebugText().find(c.note.substr(std::string("Done without cleaning: ").size())),
                  std::string::npos);
        EXPECT_EQ(m_ui.Messages().back(), "Done!");
        EXPECT_TRUE(Entries(TempFolder()).empty());
    }
}

TEST_F(ProcessFileTest, KeepsTheImposedOutputWhenItsCleaningFailsAndSaysWhyInOneLine) {
    // The input is "cleaned" by a copy; the output's cleaning fails as Ghostscript does, with
    // many lines of its own, writes junk, or fewer pages.
    std::string ghostscriptText = File("gs-errors.txt");
    WriteWholeFile(ghostscriptText,
                   "   **** Error: stream operator isn't terminated by valid EOL.\n"
                   "Error: /syntaxerror in --token--\nOperand stack:\n   --nostringval--\n"
                   "Execution stack:\n   %interp_exit   .runexec2\nDictionary stack:\n"
                   "   --dict:732/1123(ro)(G)--\nCurrent allocation mode is local\n"
                   "GPL Ghostscript 10.0.0: Unrecoverable error, exit code 1\n"
                   "koblin: Ghostscript could not re-make it\n");
    std::string ghostscriptFailure = "cat " + ShellQuote(ghostscriptText) + " >&2; exit 1";
    const std::pair<std::string, std::string> cases[] = {
        {ghostscriptFailure, "Error: /syntaxerror in --token--"},
        {"echo junk > \"$2\"", "the cleaned file cannot be read"},
        {"gs -q -dSAFER -sDEVICE=pdfwrite -o \"$2\" -dLastPage=1 \"$1\"",
         "the cleaned file has 1 pages instead of 4"},
        {"echo 'koblin: cannot write in /x' >&2; exit 1", "koblin: cannot write in /x"},
    };
    for (const auto& [output, reason] : cases) {
        SCOPED_TRACE(reason);
        FakeCleaning("case \"$2\" in *_clean.pdf) " + output + ";; *) cp \"$1\" \"$2\";; esac");
        m_setup.inFile = MakeInput("in.pdf", 8);
        m_setup.outFile = File("out.pdf");
        m_setup.dontCleanFile = 0;
        m_ui.ClearCalls();
        ASSERT_EQ(Process(), desktop::kProcessDone);
        EXPECT_EQ(m_ui.Messages(), std::vector<std::string>{"output not cleaned: " + reason});
        EXPECT_EQ(PageCount(m_setup.outFile), 4);
        EXPECT_TRUE(QpdfCheckClean(m_setup.outFile));
        EXPECT_FALSE(std::filesystem::exists(m_setup.outFile + "_clean.pdf"));
        EXPECT_TRUE(Entries(TempFolder()).empty());
    }
}

TEST_F(ProcessFileTest, DoublesAndTurnsTheSecondHalf) {
    std::string input = MakeInput("in.pdf", 4);
    m_setup.inFile = input;
    m_setup.outFile = File("out.pdf");
    m_setup.duplicate = 1;
    m_setup.dupRotateRight = 1;
    m_log->Start(m_ui);
    ASSERT_EQ(Process(), desktop::kProcessDone);
    EXPECT_TRUE(QpdfCheckClean(m_setup.outFile));
    std::string log = DebugText();
    EXPECT_NE(log.find("rotate2 tempFile: " + TempFolder()), std::string::npos);
    EXPECT_NE(log.find("rot params1: \"" + TempFolder()), std::string::npos);
    // Each page twice, side by side, the copy on the right turned upside down.
    ASSERT_EQ(PageCount(m_setup.outFile), 4);
    PageRenders pages(input, 36);
    Image sheet = RenderPage(m_setup.outFile, 1, 36);
    int half = pages.Page(1).Width();
    EXPECT_LT(pages.Page(1).MeanDifference(sheet.Crop(0, 0, half, sheet.Height())), 3.0);
    EXPECT_LT(pages.Page(1).Rotate(2).MeanDifference(sheet.Crop(half, 0, half, sheet.Height())),
              3.0);
    EXPECT_TRUE(Entries(TempFolder()).empty());
    EXPECT_EQ(Entries(m_scratch.Path()),
              (std::vector<std::string>{"config", "in.pdf", "out.pdf", "tmp"}));
}

TEST_F(ProcessFileTest, ReordersAVerticallySplitBookletOfWholeSheets) {
    m_setup.inFile = MakeInput("in.pdf", 4);
    m_setup.processingType = std::string(desktop::kLayoutSplitVertical);
    m_setup.outFile = File("plain.pdf");
    ASSERT_EQ(Process(), desktop::kProcessDone);
    m_setup.reorder1 = 1;
    m_setup.outFile = File("reordered.pdf");
    ASSERT_EQ(Process(), desktop::kProcessDone);
    ASSERT_EQ(PageCount(File("plain.pdf")), 8);
    const int order[] = {2, 3, 6, 7, 8, 5, 4, 1};
    for (int page = 1; page <= 8; ++page) {
        EXPECT_LT(RenderPage(File("reordered.pdf"), page, 30)
                      .MeanDifference(RenderPage(File("plain.pdf"), order[page - 1], 30)),
                  1.0)
            << page;
    }
    // Three pages split into six halves: left as they are, and said so.
    m_setup.inFile = MakeInput("three.pdf", 3);
    m_setup.outFile = File("six.pdf");
    m_commandLineMode = false;
    ASSERT_EQ(Process(), desktop::kProcessDone);
    ASSERT_EQ(m_ui.Messages().size(), 2u);
    EXPECT_NE(m_ui.Messages()[0].find("not a multiple of 4"), std::string::npos);
    EXPECT_EQ(PageCount(File("six.pdf")), 6);
}

TEST_F(ProcessFileTest, HostileNamesGoThroughTheWholePipeline) {
    std::string folder = File("jobs $(touch pwned); `id` \"q\" 'a' %d \xC3\xA9t\xC3\xA9");
    std::filesystem::create_directory(folder);
    m_setup.inFile = folder + "/in \"1\" $(touch x); `y` 'z' %s \xC3\xBC.pdf";
    std::filesystem::copy_file(MakeInput("source.pdf", 5), m_setup.inFile);
    m_setup.outFile = folder + "/out \"2\" $(rm -rf q); `w` %03d \xC3\xB6.pdf";
    m_setup.dontCleanFile = 0;
    m_setup.noPagesBlank = 3;
    m_setup.rotateNone = desktop::kNotChosen;
    m_setup.rotateAll = desktop::kChosen;
    ASSERT_EQ(Process(), desktop::kProcessDone) << ::testing::PrintToString(m_ui.Messages());
    EXPECT_TRUE(QpdfCheckClean(m_setup.outFile));
    EXPECT_EQ(PageCount(m_setup.outFile), 4);
    EXPECT_EQ(Entries(folder).size(), 2u);
    EXPECT_FALSE(std::filesystem::exists(File("pwned")));
    EXPECT_TRUE(Entries(TempFolder()).empty());
}

struct FailureCase {
    const char* name;
    std::function<void(ProcessFileTest&)> arrange;
    int result;
    std::string message;  // the start of the message shown
};

TEST_F(ProcessFileTest, ResultCodesShowTheirMessages) {
    std::string input = MakeInput("in.pdf", 4);
    std::string damaged = File("damaged.pdf");
    WriteWholeFile(damaged, "%PDF-1.4\n1 0 obj << /Type /Catalog >> endobj\ntrailer <<>>\n");
    std::string junkImage = File("photo.jpg");
    WriteWholeFile(junkImage, "not a picture");
    std::string link = File("link.pdf");
    std::filesystem::create_symlink(input, link);
    std::string unknownKind = File("notes.xyz");
    WriteWholeFile(unknownKind, "plain words");

    const FailureCase cases[] = {
        {"no input", [](auto& t) { t.m_setup.inFile.clear(); }, 1, "No input filename specified"},
        {"no output", [](auto& t) { t.m_setup.outFile.clear(); }, 2,
         "No output filename specified"},
        {"output is the input", [&](auto& t) { t.m_setup.outFile = link; }, 2,
         "The output file is the input file"},
        {"missing input", [&](auto& t) { t.m_setup.inFile = t.File("absent.pdf"); }, 3,
         "Invalid input file: " + File("absent.pdf") + "\nThere is no such file."},
        {"no converter", [&](auto& t) { t.m_setup.inFile = unknownKind; }, 3,
         "Invalid input file: " + unknownKind +
             "\nIt is not a PDF, and no converter takes files of its kind."},
        {"conversion", [&](auto& t) { t.m_setup.inFile = junkImage; }, 4,
         "Failed to convert file to pdf!"},
        {"rotation",
         [&](auto& t) {
             t.m_setup.inFile = damaged;
             t.m_setup.rotateNone = desktop::kNotChosen;
             t.m_setup.rotateOdd = desktop::kChosen;
         },
         4, ""},
        {"put fails",
         [](auto& t) {
             t.m_recording->failOn = "ab";
             t.m_recording->failWith = com::MakeHresult(0x80040205);
         },
         5, "IDispatch error #5"},
        {"call fails", [](auto& t) { t.m_recording->failOn = "getGridaneFile"; }, 5,
         desktop::ComFailureText(com::E_FAIL)},
        {"other failure", [](auto& t) { t.m_recording->throwOn = "getGridaneFile"; }, 6,
         "Error with pdf file"},
        {"imposition", [&](auto& t) { t.m_setup.inFile = damaged; }, 7,
         "Imposed file: " + damaged + " to "},
        {"too many blanks", [](auto& t) { t.m_setup.noPagesBlank = 2147483647; }, 6,
         "Cannot add 2147483647 blank pages: at most 99999 blank pages can be added"},
    };
    for (const FailureCase& c : cases) {
        SCOPED_TRACE(c.name);
        UseEngines(true);
        m_setup = desktop::JobSetup();
        m_setup.dontCleanFile = 1;
        m_setup.inFile = input;
        m_setup.outFile = File("out.pdf");
        c.arrange(*this);
        m_ui.ClearCalls();
        EXPECT_EQ(Process(), c.result);
        ASSERT_EQ(m_ui.Messages().size(), 1u);
        EXPECT_EQ(m_ui.Messages()[0].rfind(c.message, 0), 0u) << m_ui.Messages()[0];
        EXPECT_FALSE(c.message.empty() && m_ui.Messages()[0].empty());
        EXPECT_EQ(PageCount(input), 4);  // the input is never touched
        EXPECT_FALSE(std::filesystem::exists(File("out.pdf.rot")));
        EXPECT_TRUE(Entries(TempFolder()).empty());
        std::filesystem::remove(File("out.pdf"));

        // A batch call reports the pipeline's own failures in the row instead.
        if (c.result >= 4) {
            m_ui.ClearCalls();
            ProcessRequest request{3, m_setup.inFile, m_setup.outFile};
            EXPECT_EQ(Process(request), c.result);
            ASSERT_FALSE(m_ui.Calls().empty());
            const desktop::UiCall& last = m_ui.Calls().back();
            if (c.result != 4 || std::string(c.name) == "rotation") {
                EXPECT_EQ(last.kind, desktop::UiCall::Kind::RowStatus);
                EXPECT_EQ(last.number, 3);
            }
        }
    }
}

TEST_F(ProcessFileTest, ConvertersThatAreMissingOrNeverEndFailTheConversion) {
    m_setup.inFile = File("notes.txt");
    WriteWholeFile(m_setup.inFile, "Some notes\n");
    m_setup.outFile = File("out.pdf");
    m_setup.dontCleanFile = 1;

    // No converter anywhere: beside this test program there is none, and PATH has none.
    std::string nowhere = File("nowhere");
    std::filesystem::create_directories(nowhere);
    ::setenv("PATH", nowhere.c_str(), 1);
    EXPECT_EQ(Process(), desktop::kProcessConversionFailed);
    EXPECT_EQ(m_ui.Messages(), std::vector<std::string>{"Failed to convert file to pdf!"});

    // A converter that never ends is ended when the run's limit is up, with what it started.
    std::string hanging = File("hanging");
    std::filesystem::create_directories(hanging);
    std::string pidFile = File("child.pid");
    WriteProgram(hanging + "/quillet",
                 "#!/bin/sh\nsleep 600 &\necho $! > '" + pidFile + "'\nwait\n");
    ::setenv("PATH", (hanging + ":/usr/bin:/bin").c_str(), 1);
    m_converterTimeout = std::chrono::seconds(1);
    m_ui.ClearCalls();
    auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(Process(), desktop::kProcessConversionFailed);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(30));
    EXPECT_EQ(m_ui.Messages(),
              std::vector<std::string>{
                  "Failed to convert file to pdf!\nThe converter was stopped after 1 second."});
    int child = std::stoi(ReadWholeFile(pidFile));
    EXPECT_TRUE(testing_support::WaitUntilGone(child)) << "the converter's own child still runs";
    EXPECT_FALSE(std::filesystem::exists(m_setup.outFile));
}

TEST_F(ProcessFileTest, AnAbsentEngineIsAComFailure) {
    com::ComPtr<com::IGridaneCom> none;
    com::ComPtr<com::ITurnelleCom> noTurnelle;
    m_engines = std::make_unique<desktop::EngineObjects>(none, noTurnelle);
    m_setup.inFile = MakeInput("in.pdf", 4);
    m_setup.outFile = File("out.pdf");
    EXPECT_EQ(Process(), desktop::kProcessComFailure);
    EXPECT_EQ(m_ui.Messages(), std::vector<std::string>{desktop::ComFailureText(com::E_POINTER)});
}

TEST_F(ProcessFileTest, BatchCallWritesTheOutputItIsGivenInAFolderItMakes) {
    std::string input = MakeInput("report.pdf", 4);
    std::string output = File("made/here/report.pdf.pdf");
    m_setup.outFile = "ignored.pdf";
    ASSERT_EQ(Process(ProcessRequest{0, input, output}), desktop::kProcessDone);
    EXPECT_EQ(m_setup.outFile, "ignored.pdf");  // the job is the user's, never the run's
    EXPECT_EQ(PageCount(output), 2);
}

}  // namespace
}  // namespace desktop_test

namespace desktop_test {
namespace {

TEST(PadwickBinding, CountsAndPadsThroughTheLibrary) {
    testing_support::ScratchDir dir;
    std::string input = dir.File("in \"x\".pdf");
    testing_support::PdfFromPostScript(testing_support::NumberedPagesPostScript(3, 300, 400),
                                       input);
    desktop::PadwickBinding padwick;
    ASSERT_TRUE(padwick.IsUsable());
    EXPECT_EQ(padwick.GetPageCount(input), 3);
    EXPECT_EQ(padwick.GetPageCount(dir.File("absent.pdf")), -4);
    EXPECT_EQ(padwick.AddBlanks(input, dir.File("padded.pdf"), 5), 1);
    EXPECT_EQ(padwick.GetProcessingStatus(), 4);
    EXPECT_EQ(testing_support::PageCount(dir.File("padded.pdf")), 8);
    EXPECT_TRUE(testing_support::QpdfCheckClean(dir.File("padded.pdf")));
    EXPECT_EQ(padwick.AddBlanks(input, "", 1), 0);  // an empty name is never handed over
}

}  // namespace
}  // namespace desktop_test

namespace desktop_test {
namespace {

using namespace testing_support;

class PipelineSafetyTest : public PipelineTest {};

TEST_F(PipelineSafetyTest, PaddingThatFailsOrCannotStartSaysSo) {
    // The padding library cannot read the input: before, the run went on with a padded file
    // that was never made and the engine answered "Input file open error".
    std::string damaged = File("damaged.pdf");
    WriteWholeFile(damaged, "%PDF-1.4\n1 0 obj << /Type /Catalog >> endobj\ntrailer <<>>\n");
    m_setup.inFile = damaged;
    m_setup.outFile = File("out.pdf");
    m_setup.noPagesBlank = 2;
    EXPECT_EQ(Process(), desktop::kProcessOtherFailure);
    ASSERT_EQ(m_ui.Messages().size(), 1u);
    EXPECT_EQ(m_ui.Messages()[0].rfind("Blank pages could not be added to " + damaged, 0), 0u)
        << m_ui.Messages()[0];

    // A temporary folder where nothing can be made: no working folder, and the run says where.
    m_setup.inFile = MakeInput("in.pdf", 4);
    std::string notAFolder = File("not-a-folder");
    WriteWholeFile(notAFolder, "");
    ::setenv("TMPDIR", notAFolder.c_str(), 1);
    m_ui.ClearCalls();
    EXPECT_EQ(Process(), desktop::kProcessOtherFailure);
    ::setenv("TMPDIR", TempFolder().c_str(), 1);
    ASSERT_EQ(m_ui.Messages().size(), 1u);
    EXPECT_EQ(m_ui.Messages()[0].rfind("Can't make a working folder in " + notAFolder, 0), 0u)
        << m_ui.Messages()[0];
    EXPECT_FALSE(std::filesystem::exists(m_setup.outFile));
}

TEST_F(PipelineSafetyTest, ACancelledConversionSaysCancelled) {
    m_setup.inFile = File("notes.txt");
    WriteWholeFile(m_setup.inFile, "Some notes\n");
    m_setup.outFile = File("out.pdf");
    std::string hanging = File("hanging");
    std::filesystem::create_directories(hanging);
    WriteProgram(hanging + "/quillet", "#!/bin/sh\nexec sleep 600\n");
    ::setenv("PATH", (hanging + ":/usr/bin:/bin").c_str(), 1);
    m_ui.ScriptCancelAt(3);  // the progress point, then the converter's first waits
    EXPECT_EQ(Process(), desktop::kProcessCancelled);
    EXPECT_EQ(m_ui.Messages(), std::vector<std::string>{desktop::kCancelledMessage});
    EXPECT_TRUE(Entries(TempFolder()).empty());
}

}  // namespace
}  // namespace desktop_test
