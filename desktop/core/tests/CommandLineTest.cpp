// The command line as a table of argument lists, the session's commands, and the program
// itself run as a terminal user runs it: no display, real files, exit statuses.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>

#include "desktop/core/CommandLine.h"
#include "desktop/core/DesktopSession.h"
#include "desktop/core/OutputGuard.h"
#include "desktop/core/SetupFile.h"
#include "desktop/core/tests/PipelineFixture.h"
#include "testing/ReaderFaultFiles.h"
#include "testing/Tools.h"

namespace desktop_test {
namespace {

using namespace testing_support;
using Kind = desktop::CommandLineAction::Kind;
using Actions = std::vector<desktop::CommandLineAction>;

TEST(CommandLine, ArgumentListsBecomeActionsInOrder) {
    struct Case {
        std::vector<std::string> arguments;
        Actions expected;
        bool commandLineMode;
    };
    const Case cases[] = {
        {{}, {}, false},
        {{"in put.pdf"}, {{Kind::Input, "in put.pdf"}}, false},
        {{"-h", "-c", "job.plf", "-o", "out.pdf", "input.pdf", "-p", "-q"},
         {{Kind::Quiet, ""},
          {Kind::LoadSetup, "job.plf"},
          {Kind::Output, "out.pdf"},
          {Kind::Input, "input.pdf"},
          {Kind::Process, ""},
          {Kind::Quit, ""}},
         true},
        {{"-cjob.plf", "-f/tmp/my out", "-o", " out.pdf "},
         {{Kind::LoadSetup, "job.plf"},
          {Kind::OutputFolder, "/tmp/my out"},
          {Kind::Output, " out.pdf "}},
         true},
        // The shell has already taken the user's quoting away: quotes left are in the name.
        {{"-o", "rep\"ort.pdf", "x\"y.pdf", "-o\"a b\".pdf", "\"quoted name.pdf\""},
         {{Kind::Output, "rep\"ort.pdf"},
          {Kind::Input, "x\"y.pdf"},
          {Kind::Output, "\"a b\".pdf"},
          {Kind::Input, "\"quoted name.pdf\""}},
         true},
        {{"jobs.lst", "scans/*.pdf", "page?.pdf"},
         {{Kind::LoadList, "jobs.lst"},
          {Kind::AddPattern, "scans/*.pdf"},
          {Kind::AddPattern, "page?.pdf"}},
         false},
        {{"-x", "-", "-o"}, {{Kind::Ignored, ""}, {Kind::Ignored, ""}, {Kind::Output, ""}}, true},
        {{"$(rm -rf x); `id`.pdf"}, {{Kind::Input, "$(rm -rf x); `id`.pdf"}}, false},
        // The test sheet acts in its place; without a name it has none.
        {{"a.pdf", "--calibration", "-t.pdf", "-p", "--calibration"},
         {{Kind::Input, "a.pdf"},
          {Kind::Calibration, "-t.pdf"},
          {Kind::Process, ""},
          {Kind::Calibration, ""}},
         true},
        // -j takes the next word only when it is a number.
        {{"-j", "4", "a.lst", "-j2", "-j", "b.lst", "-j", "-3"},
         {{Kind::BatchRows, "4"},
          {Kind::LoadList, "a.lst"},
          {Kind::BatchRows, "2"},
          {Kind::BatchRows, ""},
          {Kind::LoadList, "b.lst"},
          {Kind::BatchRows, ""},
          {Kind::Ignored, ""}},
         true},
    };
    for (const Case& c : cases) {
        desktop::CommandLine line = desktop::ParseCommandLine(c.arguments);
        EXPECT_EQ(line.actions, c.expected) << ::testing::PrintToString(c.arguments);
        EXPECT_EQ(line.commandLineMode, c.commandLineMode);
    }
    EXPECT_TRUE(desktop::ParseCommandLine({"-p", "--help"}).help);
    EXPECT_TRUE(desktop::ParseCommandLine({"--version"}).version);
    EXPECT_TRUE(desktop::ParseCommandLine({"a.pdf", "-h"}).HasQuiet());
}

// `input` encrypted by qpdf into `output`, with the user password `user` ("": none) and an
// owner password.
bool Encrypt(const std::string& input, const std::string& user, const std::string& output) {
    return testing_support::Run("qpdf --encrypt " + ShellQuote(user) + " boss 256 -- " +
                                ShellQuote(input) + " " + ShellQuote(output))
               .exitCode == 0;
}

bool IsEncrypted(const std::string& pdf) {
    return testing_support::Run("qpdf --show-encryption " + ShellQuote(pdf))
               .output.find("not encrypted") == std::string::npos;
}

class SessionTest : public PipelineTest {
  protected:
    SessionTest() : m_session(m_ui, desktop::ConfigFolder(File("work"), File("config"))) {
        std::filesystem::create_directories(File("work"));
        m_session.Open(std::make_unique<desktop::EngineObjects>(m_ui));
    }
    desktop::DesktopSession m_session;
};

TEST_F(SessionTest, ProcessAsksAboutTheBatchListOutsideCommandLineMode) {
    std::string input = MakeInput("in.pdf", 4);
    m_session.Setup().inFile = input;
    m_session.Setup().outFile = File("single.pdf");
    m_session.Setup().dontCleanFile = 1;
    m_session.EnsureBatchList().AddFile(input);
    m_session.Batch()->outputFolder = File("batch");

    m_ui.ScriptAnswer(desktop::Answer::Cancel);
    m_session.Process();
    EXPECT_FALSE(std::filesystem::exists(File("single.pdf")));
    m_ui.ScriptAnswer(desktop::Answer::Yes);
    m_session.Process();
    EXPECT_TRUE(std::filesystem::exists(File("batch/in.pdf")));
    EXPECT_NE(m_session.Batch(), nullptr);
    // The run never writes the job: the output name stays the one the user gave.
    EXPECT_EQ(m_session.Setup().outFile, File("single.pdf"));
    m_ui.ScriptAnswer(desktop::Answer::No);
    m_session.Process();
    EXPECT_TRUE(std::filesystem::exists(File("single.pdf")));
    EXPECT_EQ(m_session.Batch(), nullptr);  // the single-file path ends the batch list
    EXPECT_EQ(m_session.Setup().inFile, input);
    EXPECT_EQ(m_session.ExitStatus(), 0);
    // A first start writes conversion.ini with the defaults without a word.
    EXPECT_EQ(m_ui.Messages(), (std::vector<std::string>{"Done.", "Done!"}));
    EXPECT_TRUE(std::filesystem::exists(File("config/conversion.ini")));
}

// The window's session asks before writing over a file it did not write for the same input.
TEST_F(SessionTest, TheWindowsProcessAsksBeforeReplacingAFileItDidNotWrite) {
    std::string cards = MakeInput("card.pdf", 4), other = MakeInput("other.pdf", 4);
    std::string out = File("card-2up.pdf");
    WriteWholeFile(out, "the customer's file");
    m_session.GuardOutputs(true);
    m_session.Setup() = desktop::JobSetup();
    m_session.Setup().inFile = cards;
    m_session.Setup().outFile = out;
    m_session.Setup().dontCleanFile = 1;
    std::string question = desktop::ReplaceQuestion(out);
    struct Step {
        std::string input;
        std::optional<desktop::Answer> answer;  // none: no question is expected
        bool written;
    };
    const Step steps[] = {{cards, desktop::Answer::Cancel, false},
                          {cards, desktop::Answer::Yes, true},
                          {cards, std::nullopt, true},  // this session wrote it for card.pdf
                          {other, desktop::Answer::No, false}};
    for (const Step& step : steps) {
        SCOPED_TRACE(step.input);
        m_ui.ClearCalls();
        if (step.answer) m_ui.ScriptAnswer(*step.answer);
        m_session.Setup().inFile = step.input;
        m_session.Process();
        std::vector<desktop::UiCall> questions;
        for (const desktop::UiCall& call : m_ui.Calls()) {
            if (call.kind == desktop::UiCall::Kind::Question) questions.push_back(call);
        }
        ASSERT_EQ(questions.size(), step.answer ? 1u : 0u);
        if (step.answer) {
            EXPECT_EQ(questions[0].text, question);
        }
        EXPECT_EQ(m_ui.Messages(),
                  step.written ? std::vector<std::string>{"Done!"} : std::vector<std::string>{});
    }
    EXPECT_EQ(PageCount(out), 2);
}

// An input that needs a password: the window's session asks until it opens, then keeps the
// password in memory for the next run only.
TEST_F(SessionTest, TheWindowsProcessAsksForTheInputsPassword) {
    std::string plain = MakeInput("plain.pdf", 4);
    std::string locked = File("locked.pdf");
    ASSERT_TRUE(Encrypt(plain, "sesame", locked));
    m_session.Setup() = desktop::JobSetup();
    m_session.Setup().inFile = locked;
    m_session.Setup().outFile = File("out.pdf");
    m_session.Setup().dontCleanFile = 1;
    auto asked = [&] {
        std::vector<int> wrong;
        for (const desktop::UiCall& call : m_ui.Calls()) {
            if (call.kind != desktop::UiCall::Kind::Password) continue;
            EXPECT_EQ(call.text, locked);
            wrong.push_back(call.number);
        }
        return wrong;
    };
    m_session.Process();  // nothing scripted: the user gives up
    EXPECT_EQ(asked(), std::vector<int>{0});
    EXPECT_TRUE(m_ui.Messages().empty());
    EXPECT_FALSE(std::filesystem::exists(File("out.pdf")));

    m_ui.ClearCalls();
    m_ui.ScriptPassword("open up");
    m_ui.ScriptPassword("sesame");
    m_session.Process();
    EXPECT_EQ(asked(), (std::vector<int>{0, 1}));
    EXPECT_EQ(m_ui.Messages(), std::vector<std::string>{"Done!"});
    EXPECT_EQ(PageCount(File("out.pdf")), 2);
    EXPECT_FALSE(IsEncrypted(File("out.pdf")));

    m_ui.ClearCalls();
    m_session.Process();
    EXPECT_TRUE(asked().empty());
    m_session.Close();
    EXPECT_EQ(testing_support::Run("grep -rl sesame " + ShellQuote(File("config")) + " " +
                                   ShellQuote(File("work")))
                  .output,
              "");
}

TEST_F(SessionTest, ClosingSavesDefaultPlfAndTheBatchWindowItsList) {
    m_session.EnsureBatchList().AddFile("/x.pdf");
    m_session.CloseBatchWindow();
    EXPECT_EQ(ReadWholeFile(File("config/default.lst")), "/x.pdf||\r\n");
    m_session.Setup().outFile = "kept.pdf";
    m_session.Close();
    desktop::JobSetup read;
    desktop::ReadSetupFile(File("config/Default.plf"), read, {});
    EXPECT_EQ(read.outFile, "kept.pdf");
    EXPECT_EQ(read.outFolder, "");
    EXPECT_TRUE(m_session.IsClosed());
}

// A quiet run's -f makes the batch list: its folder is saved as the 31st line. A creep of no
// thickness, however written, is the default and is not saved.
TEST_F(SessionTest, ClosingAQuietRunSavesItsOutputFolderAndNoDefaultCreep) {
    m_session.Setup().creep = "0.0";
    m_session.ApplyCommandLine(desktop::ParseCommandLine({"-h", "-f", File("batch out"), "-q"}));
    ASSERT_TRUE(m_session.IsClosed());
    std::string text = ReadWholeFile(File("config/Default.plf"));
    EXPECT_TRUE(text.ends_with("\r\nOUTFOLDER;" + File("batch out") + "\r\n")) << text;
}

TEST_F(SessionTest, EnginesReportIntoTheDebugLogOnly) {
    std::string input = File("reserved.pdf");
    int reserved = AddEntriesLeadingToOtherObjects(MakeInput("in.pdf", 4), {3}, input);
    m_session.Setup().inFile = input;
    m_session.Setup().outFile = File("out.pdf");
    m_session.Setup().dontCleanFile = 1;
    m_session.Setup().rotateNone = desktop::kNotChosen;  // the rotation module reports too
    m_session.Setup().rotateAll = desktop::kChosen;
    ASSERT_TRUE(m_session.Log().Start(m_ui));
    ::testing::internal::CaptureStdout();
    m_session.Process();
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), "");
    EXPECT_EQ(m_session.ExitStatus(), 0);

    std::string log = ReadWholeFile(m_session.Log().Path());
    EXPECT_NE(log.find("Input file: '"), std::string::npos) << log;
    EXPECT_NE(log.find("/output/out.pdf'\r\n"), std::string::npos);
    EXPECT_NE(log.find("warning: cross-reference entry of object " + std::to_string(reserved)),
              std::string::npos)
        << log;
    EXPECT_NE(log.find(" Degrees, Pages: 1-4\r\nProcessing"), std::string::npos) << log;
    EXPECT_EQ(log.find("\r\r"), std::string::npos);
    m_session.Close();  // the engines let go of the log's sink before it goes
}

std::string Booklet(const ScratchDir& dir) {
    desktop::JobSetup setup;
    setup.duplex2Up = desktop::kChosen;
    setup.ChooseOrder(desktop::DuplexOrder::Order8127);
    setup.automaticAddBlanks = 1;
    WriteWholeFile(dir.File("booklet.plf"), desktop::SetupFileText(setup, false));
    return dir.File("booklet.plf");
}

class ProgramTest : public ::testing::Test {
  protected:
    ProgramTest() {
        std::filesystem::create_directories(m_dir.File("tmp"));
        PdfFromPostScript(NumberedPagesPostScript(6, 300, 400), m_dir.File("in put.pdf"));
    }
    ScratchDir m_dir;
};

TEST_F(ProgramTest, QuietRunImposesWithASetupFileAndNoDisplay) {
    CommandResult result = Velmorade(
        m_dir, "-h -c " + ShellQuote(Booklet(m_dir)) + " -o 'out $(x).pdf' 'in put.pdf' -p -q");
    EXPECT_EQ(result.exitCode, 0) << result.output;
    std::string output = m_dir.File("out $(x).pdf");
    EXPECT_TRUE(QpdfCheckClean(output));
    EXPECT_EQ(PrintedNumbers(output), (std::vector<std::vector<int>>{{1}, {2}, {6, 3}, {4, 5}}));
    // -c made booklet.plf the current setup file: -q leaves Default.plf unwritten.
    EXPECT_FALSE(std::filesystem::exists(m_dir.File("config/velmora/Default.plf")));
    EXPECT_TRUE(std::filesystem::is_empty(m_dir.File("tmp")));

    result = Velmorade(m_dir, "-h -o again.pdf 'in put.pdf' -p -q");
    EXPECT_EQ(result.exitCode, 0) << result.output;
    EXPECT_TRUE(std::filesystem::exists(m_dir.File("config/velmora/Default.plf")));
}

TEST_F(ProgramTest, ExitStatusIsTheLastFailuresResultCode) {
    WriteWholeFile(m_dir.File("damaged.pdf"), "%PDF-1.4\ntrailer <<>>\n");
    struct Case {
        std::string arguments;
        int status;
        std::string says;
    };
    const Case cases[] = {
        {"-h -p", 1, "No input filename specified"},
        {"-h 'in put.pdf' -p", 2, "No output filename specified"},
        {"-h -o o.pdf absent.pdf -p", 3, "Invalid input file"},
        {"-h -o 'in put.pdf' 'in put.pdf' -p", 2, "The output file is the input file"},
        {"-h -o o.pdf damaged.pdf -p", 7, "Imposed file: "},
        {"-h -o o.pdf damaged.pdf -p 'in put.pdf' -p", 7, ""},
        {"-h -o o.pdf 'in put.pdf' -p -q -p absent.pdf -p", 0, ""},
    };
    for (const Case& c : cases) {
        CommandResult result = Velmorade(m_dir, c.arguments);
        EXPECT_EQ(result.exitCode, c.status) << c.arguments << "\n" << result.output;
        EXPECT_NE(result.output.find(c.says), std::string::npos) << result.output;
    }
    EXPECT_EQ(PageCount(m_dir.File("in put.pdf")), 6);
}

// Protected inputs in quiet mode: an owner password alone is no obstacle (the output is not
// encrypted and a line says so); a password to open comes from --password-file.
TEST_F(ProgramTest, ProtectedInputsAndThePasswordFile) {
    std::string plain = m_dir.File("in put.pdf");
    ASSERT_TRUE(Encrypt(plain, "", m_dir.File("owner.pdf")));
    ASSERT_TRUE(Encrypt(plain, "sesame", m_dir.File("locked.pdf")));
    WriteWholeFile(m_dir.File("right.txt"), "sesame\n");
    WriteWholeFile(m_dir.File("wrong.txt"), "open up\r\n");
    struct Case {
        std::string arguments;
        int status;
        std::string says;
    };
    const Case cases[] = {
        {"-h -o o1.pdf owner.pdf -p", 0,
         "The input was protected by a password; the output is not encrypted."},
        {"-h -o o2.pdf locked.pdf -p", 3, "locked.pdf needs a password to open."},
        {"-h --password-file wrong.txt -o o3.pdf locked.pdf -p", 3,
         "The password for locked.pdf is wrong."},
        {"-h --password-file right.txt -o o4.pdf locked.pdf -p", 0,
         "The input was protected by a password; the output is not encrypted."},
        {"-h --password-file absent.txt -o o5.pdf locked.pdf -p", 3,
         "--password-file: can't read absent.txt"},
    };
    for (const Case& c : cases) {
        CommandResult result = Velmorade(m_dir, c.arguments);
        EXPECT_EQ(result.exitCode, c.status) << c.arguments << "\n" << result.output;
        EXPECT_NE(result.output.find(c.says), std::string::npos) << result.output;
        EXPECT_EQ(result.output.find("sesame"), std::string::npos);
    }
    for (const char* output : {"o1.pdf", "o4.pdf"}) {
        std::string written = m_dir.File(output);
        EXPECT_TRUE(QpdfCheckClean(written)) << output;
        EXPECT_FALSE(IsEncrypted(written));
        EXPECT_EQ(PrintedNumbers(written), (std::vector<std::vector<int>>{{1, 2}, {3, 4}, {5, 6}}));
    }
    EXPECT_FALSE(std::filesystem::exists(m_dir.File("o2.pdf")));
    EXPECT_TRUE(std::filesystem::is_empty(m_dir.File("tmp")));
}

TEST_F(ProgramTest, BatchListsAndPatternsFromTheCommandLine) {
    std::filesystem::create_directories(m_dir.File("scans"));
    PdfFromPostScript(NumberedPagesPostScript(4, 300, 400), m_dir.File("scans/a.pdf"));
    std::filesystem::copy_file(m_dir.File("scans/a.pdf"), m_dir.File("scans/b c.pdf"));
    WriteWholeFile(m_dir.File("jobs.lst"), m_dir.File("in put.pdf") + "||\r\n~" +
                                               m_dir.File("scans/a.pdf") + "||\r\n" +
                                               m_dir.File("missing.pdf") + "||\r\n");
    CommandResult result = Velmorade(m_dir, "-h -f 'out folder' jobs.lst -p -q");
    EXPECT_EQ(result.exitCode, desktop::kProcessBadInput) << result.output;
    EXPECT_TRUE(QpdfCheckClean(m_dir.File("out folder/in put.pdf")));
    EXPECT_FALSE(std::filesystem::exists(m_dir.File("out folder/a.pdf")));

    result = Velmorade(m_dir, "-h -f patterned 'scans/*.pdf' -p");
    EXPECT_EQ(result.exitCode, 0) << result.output;
    EXPECT_EQ(PageCount(m_dir.File("patterned/a.pdf")), 2);
    EXPECT_EQ(PageCount(m_dir.File("patterned/b c.pdf")), 2);
}

// The default job (both cleanings on) over good, damaged, encrypted and hostile rows: what a
// terminal user sees and gets is the same one row at a time and four at once.
TEST_F(ProgramTest, RowsAtOnceChangeNothingTheUserSees) {
    PdfFromPostScript(NumberedPagesPostScript(3, 300, 400), m_dir.File("-x.pdf"));
    std::filesystem::create_directories(m_dir.File("a"));
    std::filesystem::copy_file(m_dir.File("-x.pdf"), m_dir.File("a/in put.pdf"));
    WriteWholeFile(m_dir.File("cut.pdf"), ReadWholeFile(m_dir.File("in put.pdf")).substr(0, 500));
    ASSERT_EQ(
        testing_support::Run("qpdf --encrypt u o 256 -- " + ShellQuote(m_dir.File("in put.pdf")) +
                             " " + ShellQuote(m_dir.File("locked.pdf")))
            .exitCode,
        0);
    std::string list;
    for (const char* name : {"in put.pdf", "cut.pdf", "-x.pdf", "locked.pdf", "a/in put.pdf"})
        list += m_dir.File(name) + "||\r\n";
    WriteWholeFile(m_dir.File("mixed.lst"), list);
    std::map<std::string, int> pages[2];
    CommandResult results[2];
    const char* rows[2] = {"1", "4"};
    for (int run = 0; run < 2; ++run) {
        std::string out = std::string("out") + rows[run];
        results[run] =
            Velmorade(m_dir, std::string("-h -j ") + rows[run] + " -f " + out + " mixed.lst -p -q");
        for (const auto& entry : std::filesystem::directory_iterator(m_dir.File(out)))
            pages[run][entry.path().filename()] = PageCount(entry.path());
    }
    EXPECT_EQ(results[0].exitCode, results[1].exitCode);
    // The last failing row is the one that needs a password: its input can't be opened.
    EXPECT_EQ(results[0].exitCode, desktop::kProcessBadInput) << results[0].output;
    EXPECT_EQ(results[0].output, results[1].output);
    EXPECT_EQ(results[1].output.find('\r'), std::string::npos);  // no progress line off a terminal
    EXPECT_EQ(pages[0], pages[1]);
    EXPECT_EQ(pages[0], (std::map<std::string, int>{
                            {"in put.pdf", 3}, {"-x.pdf", 2}, {"in put (2).pdf", 2}}));
    EXPECT_TRUE(std::filesystem::is_empty(m_dir.File("tmp")));

    CommandResult refused = Velmorade(m_dir, "-h -j 0 -f out0 mixed.lst -p");
    EXPECT_NE(refused.output.find("-j: the rows at once must be a number from 1 to 64"),
              std::string::npos);
    EXPECT_EQ(refused.exitCode, desktop::kProcessBadInput);
}

TEST_F(ProgramTest, TwoRunsAtOnceKeepTheirWorkingFilesApart) {
    // Two inputs of the same name and different lengths, padded and cleaned at the same time.
    for (const char* folder : {"one", "two"})
        std::filesystem::create_directories(m_dir.File(folder));
    PdfFromPostScript(NumberedPagesPostScript(5, 300, 400), m_dir.File("one/doc.pdf"));
    PdfFromPostScript(NumberedPagesPostScript(9, 300, 400), m_dir.File("two/doc.pdf"));
    std::string booklet = ShellQuote(Booklet(m_dir));
    CommandResult both =
        VelmoradeTwiceAtOnce(m_dir, "-h -c " + booklet + " -o one.pdf one/doc.pdf -p",
                             "-h -c " + booklet + " -o two.pdf two/doc.pdf -p");
    EXPECT_EQ(both.exitCode, 0) << both.output;
    EXPECT_EQ(PageCount(m_dir.File("one.pdf")), 4);                 // 5 pages padded to 8
    EXPECT_EQ(PageCount(m_dir.File("two.pdf")), 6) << both.output;  // 9 pages padded to 12
    EXPECT_TRUE(std::filesystem::is_empty(m_dir.File("tmp")));
}

TEST_F(ProgramTest, NamesReachTheFilesExactlyAsTheShellPassedThem) {
    // Quotes the shell left in a name are part of it: "xy.pdf" and "report.pdf" are other
    // users' files that must stay as they are.
    PdfFromPostScript(NumberedPagesPostScript(4, 300, 400), m_dir.File("x\"y.pdf"));
    WriteWholeFile(m_dir.File("xy.pdf"), "not this one");
    WriteWholeFile(m_dir.File("report.pdf"), "nor this one");
    CommandResult result = Velmorade(m_dir, "-h -o 'rep\"ort.pdf' 'x\"y.pdf' -p");
    EXPECT_EQ(result.exitCode, 0) << result.output;
    EXPECT_EQ(PageCount(m_dir.File("rep\"ort.pdf")), 2);
    EXPECT_EQ(ReadWholeFile(m_dir.File("report.pdf")), "nor this one");

    // Bytes that are not UTF-8 go through padding, cleaning and both engines unchanged.
    std::filesystem::copy_file(m_dir.File("in put.pdf"), m_dir.File("in\xE9.pdf"));
    WriteWholeFile(m_dir.File("odd.plf"), "NOPAGESBLANK;2\r\nROTATENONE;-1\r\nROTATEALL;0\r\n");
    result = Velmorade(m_dir, "-h -c odd.plf -o " + ShellQuote("out\xE9.pdf") + " " +
                                  ShellQuote("in\xE9.pdf") + " -p");
    EXPECT_EQ(result.exitCode, 0) << result.output;
    EXPECT_EQ(result.output, "");  // both cleanings too: nothing was retried or left uncleaned
    EXPECT_EQ(PageCount(m_dir.File("out\xE9.pdf")), 4);  // 6 pages and 2 blank ones, 2-up
    std::string info =
        testing_support::Run("pdfinfo " + ShellQuote(m_dir.File("out\xE9.pdf"))).output;
    EXPECT_NE(info.find("Producer:        GPL Ghostscript"), std::string::npos) << info;
    EXPECT_FALSE(std::filesystem::exists(m_dir.File("out\xEF\xBF\xBD.pdf")));
    EXPECT_TRUE(std::filesystem::is_empty(m_dir.File("tmp")));
}

TEST_F(ProgramTest, ValuesBeyondTheirLimitsAreRefusedWithAMessage) {
    // An output name that a cut would rob of its ".pdf", and a file that a previous -o named.
    std::string longName = std::string(251, 'o') + ".pdf";
    CommandResult result = Velmorade(m_dir, "-h -o old.pdf -o " + longName + " 'in put.pdf' -p");
    EXPECT_EQ(result.exitCode, desktop::kProcessNoOutput) << result.output;
    EXPECT_NE(result.output.find("-o: the output name is longer than 254 characters and was not "
                                 "taken"),
              std::string::npos)
        << result.output;
    EXPECT_FALSE(std::filesystem::exists(m_dir.File("old.pdf")));
    EXPECT_FALSE(std::filesystem::exists(m_dir.File(longName.substr(0, 254))));

    // Blank padding without end.
    WriteWholeFile(m_dir.File("blanks.plf"), "NOPAGESBLANK;2147483647\r\n");
    result = Velmorade(m_dir, "-h -c blanks.plf -o out.pdf 'in put.pdf' -p");
    EXPECT_EQ(result.exitCode, desktop::kProcessOtherFailure) << result.output;
    EXPECT_NE(result.output.find("Cannot add 2147483647 blank pages"), std::string::npos)
        << result.output;
    EXPECT_FALSE(std::filesystem::exists(m_dir.File("out.pdf")));

    // A list that never ends, and a setup value too long, among good ones.
    std::filesystem::create_symlink("/dev/zero", m_dir.File("zero.lst"));
    WriteWholeFile(m_dir.File("long.plf"), "OUTFILE;" + longName + "\r\nPROCESSINGTYPE;4up\r\n");
    result = Velmorade(m_dir, "-h -f listed zero.lst -c long.plf -o four.pdf 'in put.pdf' -p");
    EXPECT_EQ(result.exitCode, 0) << result.output;
    EXPECT_NE(result.output.find("zero.lst is larger than 1048576 bytes"), std::string::npos)
        << result.output;
    EXPECT_NE(result.output.find("long.plf, line 1: the value of OUTFILE is longer than 254"),
              std::string::npos)
        << result.output;
    EXPECT_EQ(PageCount(m_dir.File("four.pdf")), 2);  // PROCESSINGTYPE still applied
}

TEST_F(ProgramTest, HelpVersionAndTheMissingWindow) {
    CommandResult help = Velmorade(m_dir, "--help");
    EXPECT_EQ(help.exitCode, 0);
    for (const char* option :
         {"-c FILE", "-f FOLDER", "-h", "-o FILE", "-p", "-q", ".lst", "--calibration FILE"}) {
        EXPECT_NE(help.output.find(option), std::string::npos) << option;
    }
    EXPECT_EQ(Velmorade(m_dir, "--version").output, desktop::VersionText());
    // Without -h the window opens; a build without the window library says so instead.
    CommandResult windowed = Velmorade(m_dir, "-x");
    if (windowed.exitCode == 9) {
        EXPECT_NE(windowed.output.find("window is not available"), std::string::npos);
    }
}

}  // namespace
}  // namespace desktop_test
