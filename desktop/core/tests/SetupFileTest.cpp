#include "desktop/core/SetupFile.h"

#include <gtest/gtest.h>

#include <climits>
#include <filesystem>
#include <tuple>

#include "desktop/core/KeyValueLines.h"
#include "testing/Scratch.h"

namespace desktop {
namespace {

using testing_support::ReadWholeFile;
using testing_support::ScratchDir;
using testing_support::WriteWholeFile;

JobSetup Parse(std::string_view text, bool override = true, JobSetup setup = {}) {
    ParseSetupText(text, setup, {override});
    return setup;
}

// Every field away from its default, the 2-up duplex option with the 4123 order.
JobSetup EveryFieldSet() {
    JobSetup setup;
    setup.inFile = "/data/in put.pdf";
    setup.outFile = "/data/out.pdf";
    setup.cropBox = "5,5,612,1584";
    setup.mediaBox = "0,0,612,1584";
    setup.cropBox2 = "6,6,600,1500";
    setup.mediaBox2 = "0,0,600,1500";
    setup.startPage = 3;
    setup.endPage = 40;
    setup.noPagesBlank = 2;
    setup.bottomMargin = 11;
    setup.rightMargin = -7;
    setup.duplicate = 1;
    setup.automaticAddBlanks = 1;
    setup.dontCleanFile = 1;
    setup.dupRotateLeft = 1;
    setup.dupRotateRight = 1;
    setup.processingType = "12up 4x3";
    setup.offsetSplit = 9;
    setup.reorder1 = 1;
    setup.prepress = 1;
    setup.typeAcross = kNotChosen;
    setup.typeDown = kChosen;
    setup.typeAB = kNotChosen;
    setup.typeSplit = kChosen;
    setup.typeAB4 = kChosen;
    setup.rotateNone = kNotChosen;
    setup.rotateOdd = kChosen;
    setup.rotateEven = kChosen;
    setup.rotateAll = kChosen;
    setup.duplex2Up = kChosen;
    setup.ChooseOrder(DuplexOrder::Order4123);
    setup.outFolder = "/data/out folder";
    setup.sheet = "A4:landscape";
    setup.fitToSheet = 1;
    setup.outerMargin = 18;
    setup.gutter = 6;
    setup.signature = 4;
    setup.rightToLeft = 1;
    setup.creep = "0.1";
    setup.cropMarks = 1;
    setup.foldMarks = 1;
    setup.repeat = 1;
    setup.bleed = "9";
    setup.duplexBacks = 1;
    setup.flip = "short";
    setup.grid = "3x4";
    setup.fillOrder = "columns";
    setup.fromBottom = 1;
    setup.frame = "0.5";
    setup.backShift = "1.5,-2";
    setup.tile = "3x2";
    setup.poster = "A1:landscape";
    setup.overlap = "9";
    setup.slug = "{file} {date} sheet {sheet} of {sheets}";
    setup.regMarks = 1;
    setup.colorBar = 1;
    setup.fold = 16;
    setup.binding = "perfect";
    setup.cover = "separate";
    setup.layoutTemplate = "/data/templates/two cards.json";
    return setup;
}

TEST(SetupFileTest, DefaultsWriteThirtyLinesInKeyOrder) {
    EXPECT_EQ(SetupFileText(JobSetup{}, false),
              "INFILE;\nOUTFILE;\nCROPBOX;\nMEDIABOX;\nCROPBOX2;\nMEDIABOX2;\n"
              "STARTPAGE;1\nENDPAGE;99999\nNOPAGESBLANK;0\nBOTTOMMARGIN;0\nRIGHTMARGIN;0\n"
              "DUPLICATE;0\nAUTOMATICADDBLANKS;0\nDONTCLEANFILE;0\nDUPROTATELEFT;0\n"
              "DUPROTATERIGHT;0\nPROCESSINGTYPE;2up\nOFFSETSPLIT;0\nREORDER1;0\nPREPRESS;0\n"
              "TYPEACROSS;0\nTYPEDOWN;-1\nTYPEAB;0\nTYPESPLIT;-1\nTYPEAB4;-1\nROTATENONE;0\n"
              "ROTATEODD;-1\nROTATEEVEN;-1\nROTATEALL;-1\n2UPDUPLEX;-1\n");
    std::string withFolder = SetupFileText(JobSetup{}, true);
    EXPECT_TRUE(withFolder.ends_with("2UPDUPLEX;-1\nOUTFOLDER;\n"));
}

TEST(SetupFileTest, KeyTableDefaultsAreTheRecordDefaults) {
    // The table's default texts, written as a file, read back into a record that starts from
    // other values, give the default record.
    std::string text;
    for (const SetupKey& row : SetupKeys()) {
        text += std::string(row.key) + ";" + std::string(row.defaultText) + "\n";
    }
    EXPECT_EQ(Parse(text, true, EveryFieldSet()), JobSetup{});
    EXPECT_EQ(SetupKeys().size(), 59u);
    for (size_t i = 0; i < SetupKeys().size(); ++i) EXPECT_EQ(SetupKeys()[i].order, int(i));
}

TEST(SetupFileTest, EveryFieldSurvivesAWriteAndARead) {
    ScratchDir scratch;
    std::string path = scratch.File("job.plf");
    JobSetup written = EveryFieldSet();
    SetupWriteResult result = WriteSetupFile(path, "job.plf", written, true);
    EXPECT_TRUE(result.written);
    EXPECT_EQ(result.message, "Saved to file: job.plf");

    std::string bytes = ReadWholeFile(path);
    EXPECT_NE(bytes.find("INFILE;/data/in put.pdf\r\nOUTFILE;"), std::string::npos);
    EXPECT_TRUE(bytes.ends_with(
        "\r\n2UPDUPLEX;4123\r\nOUTFOLDER;/data/out folder\r\nSHEET;A4:landscape\r\n"
        "FITTOSHEET;1\r\nOUTERMARGIN;18\r\nGUTTER;6\r\nSIGNATURE;4\r\nRIGHTTOLEFT;1\r\n"
        "CREEP;0.1\r\nCROPMARKS;1\r\nFOLDMARKS;1\r\nREPEAT;1\r\nBLEED;9\r\nDUPLEXBACKS;1\r\n"
        "FLIP;short\r\nGRID;3x4\r\nFILLORDER;columns\r\nFROMBOTTOM;1\r\nFRAME;0.5\r\n"
        "BACKSHIFT;1.5,-2\r\nTILE;3x2\r\nPOSTER;A1:landscape\r\nOVERLAP;9\r\n"
        "SLUG;{file} {date} sheet {sheet} of {sheets}\r\nREGMARKS;1\r\nCOLORBAR;1\r\nFOLD;16\r\n"
        "BINDING;perfect\r\nCOVER;separate\r\nTEMPLATE;/data/templates/two cards.json\r\n"));

    JobSetup read;
    SetupReadResult readResult = ReadSetupFile(path, read, {true});
    EXPECT_TRUE(readResult.opened);
    EXPECT_TRUE(readResult.outFolderRead);
    EXPECT_EQ(read, written);
}

// The sheet settings: after the system's keys, only those away from their defaults, so the
// default file keeps its 30 lines.
TEST(SetupFileTest, SheetSettingsAreWrittenOnlyWhenSet) {
    JobSetup setup;
    setup.gutter = 12;
    setup.sheet = "595.5,842";
    EXPECT_TRUE(
        SetupFileText(setup, false).ends_with("2UPDUPLEX;-1\nSHEET;595.5,842\nGUTTER;12\n"));
    EXPECT_TRUE(SetupFileText(setup, true).ends_with("OUTFOLDER;\nSHEET;595.5,842\nGUTTER;12\n"));
    setup.gutter = 0;
    setup.sheet.clear();
    EXPECT_EQ(SetupFileText(setup, false), SetupFileText(JobSetup{}, false));
}

// Each key added after the system's own: a value away from its default reads, is written after
// the system's keys and reads back the same; its default is never written.
TEST(SetupFileTest, AddedKeysRoundTripAndAreWrittenOnlyAwayFromTheirDefaults) {
    for (std::string_view line :
         {"TILE;20x1", "POSTER;420,595", "OVERLAP;0.5", "SLUG;{{job}} {side}", "REGMARKS;1",
          "COLORBAR;1", "FOLD;32", "BINDING;saddle", "COVER;separate", "TEMPLATE;../t.json"}) {
        JobSetup setup;
        ASSERT_TRUE(ParseSetupText(std::string(line) + "\n", setup, {true}, "f").empty()) << line;
        EXPECT_NE(setup, JobSetup{}) << line;
        std::string text = SetupFileText(setup, false);
        EXPECT_TRUE(text.ends_with("2UPDUPLEX;-1\n" + std::string(line) + "\n")) << text;
        EXPECT_EQ(Parse(text), setup) << line;
    }
}

// A file describes its whole job: one written before the sheet settings existed, or one that
// leaves them at their defaults, reads them as defaults over whatever was set.
TEST(SetupFileTest, AnOlderFileReadsAsItDidAndResetsTheSheetSettings) {
    JobSetup older = EveryFieldSet();
    older.sheet.clear();
    older.fitToSheet = older.outerMargin = older.gutter = older.signature = 0;
    older.rightToLeft = older.cropMarks = older.foldMarks = 0;
    older.creep.clear();
    older.repeat = older.duplexBacks = older.fromBottom = 0;
    older.bleed = older.flip = older.grid = older.fillOrder = older.frame = older.backShift = "";
    older.tile = older.poster = older.overlap = older.slug = older.binding = older.cover = "";
    older.layoutTemplate.clear();
    older.regMarks = older.colorBar = older.fold = 0;
    std::string text = SetupFileText(older, true);
    EXPECT_EQ(text.find("SHEET"), std::string::npos);
    EXPECT_EQ(Parse(text, true, EveryFieldSet()), older);
}

// Values a file gives are held to their limits: one out of them is refused with a message
// and its key keeps its value; the file's other lines apply.
TEST(SetupFileTest, SheetValuesOutOfTheirLimitsAreRefused) {
    const char* good =
        "SHEET;Statement, Half Letter:portrait\nFITTOSHEET;1\nOUTERMARGIN;7200\nGUTTER;0\n"
        "SIGNATURE;256\nRIGHTTOLEFT;0\nCREEP;1\nCROPMARKS;1\nFOLDMARKS;0\n";
    JobSetup setup;
    EXPECT_TRUE(ParseSetupText(good, setup, {true}, "job.plf").empty());
    EXPECT_EQ(setup.sheet, "Statement, Half Letter:portrait");
    EXPECT_EQ(setup.signature, 256);
    EXPECT_EQ(setup.creep, "1");
    // Paper names as the engine takes them: aliases and any letter case.
    EXPECT_TRUE(ParseSetupText("SHEET;Letter\n", setup, {true}, "job.plf").empty());
    EXPECT_EQ(setup.sheet, "Letter");
    EXPECT_TRUE(ParseSetupText("SHEET;a3:Landscape\n", setup, {true}, "job.plf").empty());

    for (const char* bad :
         {"SHEET;A99", "SHEET;0,842", "SHEET;14401,10", "SHEET;612,792,5", "SHEET;-612,792",
          "SHEET;A4:sideways", "SHEET;1e3,842", "SHEET;../x", "FITTOSHEET;2", "RIGHTTOLEFT;-1",
          "CROPMARKS;yes", "OUTERMARGIN;-5", "GUTTER;7201", "GUTTER;12pt", "SIGNATURE;257",
          "SIGNATURE;99999999999", "CREEP;-0.1", "CREEP;1.01", "CREEP;nan", "CREEP;0,1",
          "CREEP;1e-1", "REPEAT;2", "BLEED;73", "BLEED;-1", "FLIP;top", "GRID;0x3", "GRID;21x1",
          "GRID;3x", "FILLORDER;down", "FROMBOTTOM;yes", "FRAME;10.5", "BACKSHIFT;1",
          "BACKSHIFT;0,73", "TILE;21x1", "POSTER;A99", "OVERLAP;72.5", "SLUG;a\tb", "REGMARKS;2",
          "COLORBAR;on", "FOLD;12", "FOLD;-16", "BINDING;spiral", "COVER;yes", "TEMPLATE;a\x01b",
          // A line break a saved file could not hold, though the value reads as a number.
          "SHEET;1,\t\r1", "GRID;3x\r3"}) {
        JobSetup read = EveryFieldSet();
        std::string line = std::string(bad) + "\nPROCESSINGTYPE;4up\n";
        std::vector<std::string> refused = ParseSetupText(line, read, {true}, "job.plf");
        ASSERT_EQ(refused.size(), 1u) << bad;
        EXPECT_EQ(refused[0].rfind("job.plf, line 1: ", 0), 0u) << refused[0];
        EXPECT_NE(refused[0].find("was not taken"), std::string::npos) << refused[0];
        // The refused key keeps the default a file read starts it with; the next line applies.
        std::string key(bad, std::string_view(bad).find(';'));
        const SetupKey* row = FindSetupKey(key);
        if (row->text) {
            EXPECT_EQ(read.*row->text, JobSetup{}.*row->text) << bad;
        } else {
            EXPECT_EQ(read.*row->number, JobSetup{}.*row->number) << bad;
        }
        EXPECT_EQ(read.processingType, "4up");
    }
}

TEST(SetupFileTest, BoxesBeyondThePageLimitAreRefused) {
    JobSetup read = Parse("MEDIABOX;0,0,14400,14400\nCROPBOX;-7200,0,7200,10\n");
    EXPECT_EQ(read.mediaBox, "0,0,14400,14400");
    EXPECT_EQ(read.cropBox, "-7200,0,7200,10");
    for (const char* bad : {"MEDIABOX;0,0,1e300,1e300", "CROPBOX;0,0,14401,1",
                            "MEDIABOX2;-14400,0,14400,1", "CROPBOX2;0,-20000,1,1"}) {
        JobSetup kept = EveryFieldSet();
        std::vector<std::string> refused = ParseSetupText(bad, kept, {true}, "job.plf");
        ASSERT_EQ(refused.size(), 1u) << bad;
        EXPECT_NE(refused[0].find("is out of range: every number must lie within -14400 and "
                                  "14400 points"),
                  std::string::npos)
            << refused[0];
        // The refused box keeps its earlier value, as a refused value does.
        const JobSetup earlier = EveryFieldSet();
        EXPECT_EQ(std::tie(kept.mediaBox, kept.cropBox, kept.mediaBox2, kept.cropBox2),
                  std::tie(earlier.mediaBox, earlier.cropBox, earlier.mediaBox2, earlier.cropBox2))
            << bad;
    }
}

// A file saved by an editor that marks its encoding reads as the same file without the mark.
TEST(SetupFileTest, ByteOrderMarksAndUtf16FilesReadAsPlainText) {
    const std::string plain = "MEDIABOX;0,0,612,792\r\nINFILE;/data/\xC3\xA9t\xC3\xA9.pdf\r\n";
    std::u16string wide = u"MEDIABOX;0,0,612,792\r\nINFILE;/data/\u00e9t\u00e9.pdf\r\n";
    auto utf16 = [&wide](bool little, bool mark) {
        std::string bytes = mark ? (little ? "\xFF\xFE" : "\xFE\xFF") : "";
        for (char16_t c : wide) {
            const char low = static_cast<char>(c & 0xff), high = static_cast<char>(c >> 8);
            bytes += little ? std::string{low, high} : std::string{high, low};
        }
        return bytes;
    };
    ScratchDir dir;
    for (const std::string& bytes :
         {"\xEF\xBB\xBF" + plain, utf16(true, true), utf16(false, true), utf16(true, false)}) {
        const std::string path = dir.File("job.plf");
        WriteWholeFile(path, bytes);
        JobSetup read;
        SetupReadResult result = ReadSetupFile(path, read, {true});
        EXPECT_TRUE(result.refused.empty());
        EXPECT_EQ(read.mediaBox, "0,0,612,792");
        EXPECT_EQ(read.inFile, "/data/\xC3\xA9t\xC3\xA9.pdf");
    }
}

TEST(SetupFileTest, CrLfAndLfFilesReadAlike) {
    JobSetup lf = Parse("INFILE;a.pdf\nSTARTPAGE;4\nPROCESSINGTYPE;3up\n");
    JobSetup crlf = Parse("INFILE;a.pdf\r\nSTARTPAGE;4\r\nPROCESSINGTYPE;3up\r\n");
    EXPECT_EQ(lf, crlf);
    EXPECT_EQ(crlf.inFile, "a.pdf");
    EXPECT_EQ(crlf.processingType, "3up");
    // A last line without a line end counts too.
    EXPECT_EQ(Parse("ENDPAGE;12").endPage, 12);
}

TEST(SetupFileTest, KeysMatchWholeAndCaseSensitively) {
    JobSetup setup = Parse("PROCESSINGTYPE;6up 2x3\n");
    EXPECT_EQ(setup.processingType, "6up 2x3");
    EXPECT_EQ(Parse("processingtype;6up 2x3\n").processingType, "2up");
    EXPECT_EQ(Parse("PROCESSINGTYPE ;6up 2x3\n").processingType, "2up");
    EXPECT_EQ(Parse("STARTPAGES;7\nNOSUCHKEY;1\nSTART;9\n"), JobSetup{});
}

TEST(SetupFileTest, ValueEndsAtTheNextSemicolon) {
    JobSetup setup = Parse("INFILE;first.pdf;second.pdf\nSTARTPAGE;5;9\n");
    EXPECT_EQ(setup.inFile, "first.pdf");
    EXPECT_EQ(setup.startPage, 5);
    // Empty tokens are skipped: separators in front of the key or the value change nothing.
    EXPECT_EQ(Parse(";;OUTFILE;;;o.pdf\n").outFile, "o.pdf");
}

TEST(SetupFileTest, LaterDuplicatesWin) {
    JobSetup setup = Parse("ENDPAGE;10\nINFILE;a.pdf\nENDPAGE;20\nINFILE;b.pdf\n");
    EXPECT_EQ(setup.endPage, 20);
    EXPECT_EQ(setup.inFile, "b.pdf");
}

TEST(SetupFileTest, MissingValuesReadAsZeroOrEmptyAndKeylessLinesAreSkipped) {
    JobSetup start = EveryFieldSet();
    JobSetup setup = Parse("INFILE;\nENDPAGE;\nTYPEDOWN\n;\n\n;;;\nCROPBOX\n", true, start);
    EXPECT_EQ(setup.inFile, "");
    EXPECT_EQ(setup.endPage, 0);
    EXPECT_EQ(setup.typeDown, 0);
    EXPECT_EQ(setup.cropBox, "");
    EXPECT_EQ(setup.mediaBox, start.mediaBox);
}

TEST(SetupFileTest, IntegersReadAsTheCLibraryReadsThem) {
    EXPECT_EQ(Parse("STARTPAGE; -12abc\n").startPage, -12);
    EXPECT_EQ(Parse("STARTPAGE;+8\n").startPage, 8);
    EXPECT_EQ(Parse("STARTPAGE;abc\n").startPage, 0);
    EXPECT_EQ(Parse("STARTPAGE;12 34\n").startPage, 12);
    EXPECT_EQ(Parse("STARTPAGE;99999999999999\n").startPage, INT_MAX);
    EXPECT_EQ(Parse("STARTPAGE;-99999999999999\n").startPage, INT_MIN);
}

TEST(SetupFileTest, AValueTooLongIsRefusedWholeAndTheRestOfTheFileApplies) {
    // An output name of 255 characters would lose its ".pdf" if it were cut to fit.
    std::string longName = std::string(251, 'x') + ".pdf";
    std::string tail = std::string(240, 'y') + "STARTPAGE;7";
    JobSetup start;
    start.outFile = "before.pdf";
    JobSetup setup = start;
    std::vector<std::string> refused = ParseSetupText(
        "INFILE;a.pdf\r\nOUTFILE;" + longName + "\r\nCROPBOX;" + tail + "\r\nENDPAGE;8\r\n", setup,
        {true}, "job.plf");
    EXPECT_EQ(setup.outFile, "before.pdf");
    EXPECT_EQ(setup.inFile, "a.pdf");
    // A line is read whole: text past its 254th character sets no other key.
    EXPECT_EQ(setup.cropBox, std::string(240, 'y') + "STARTPAGE");
    EXPECT_EQ(setup.startPage, 1);
    EXPECT_EQ(setup.endPage, 8);
    EXPECT_EQ(refused, (std::vector<std::string>{
                           "job.plf, line 2: the value of OUTFILE is longer than 254 characters "
                           "and was not taken"}));

    // 254 characters are taken whole, whatever the length of the key before them.
    std::string exact = std::string(250, 'z') + ".pdf";
    EXPECT_EQ(Parse("OUTFILE;" + exact + "\r\n").outFile, exact);
    // An unknown key's value is not looked at; a refused integer keeps its value too.
    JobSetup other;
    EXPECT_TRUE(ParseSetupText("UNKNOWN;" + longName + "\n", other, {true}).empty());
    EXPECT_EQ(ParseSetupText("STARTPAGE;" + std::string(300, '5') + "\n", other, {true}).size(),
              1u);
    EXPECT_EQ(other.startPage, 1);
}

TEST(SetupFileTest, NamesApplyOnlyWhenEmptyUnlessOverriding) {
    JobSetup filled;
    filled.inFile = "kept.pdf";
    JobSetup kept = Parse("INFILE;file.pdf\nOUTFILE;out.pdf\n", false, filled);
    EXPECT_EQ(kept.inFile, "kept.pdf");
    EXPECT_EQ(kept.outFile, "out.pdf");
    JobSetup replaced = Parse("INFILE;file.pdf\nOUTFILE;out.pdf\n", true, filled);
    EXPECT_EQ(replaced.inFile, "file.pdf");
    // Without override, the first INFILE line fills the empty name and a later one is refused.
    EXPECT_EQ(Parse("INFILE;a.pdf\nINFILE;b.pdf\n", false).inFile, "a.pdf");
}

TEST(SetupFileTest, DuplexValueReadsInto2UpOptionAndOrder) {
    struct Case {
        int value;
        int mainFlag;
        std::array<int, 4> orders;  // 1243, 1423, 4123, 8127
    };
    // The record starts with the option chosen and the 1423 order, to see what changes.
    const Case cases[] = {
        {0, 0, {0, -1, -1, -1}},    {1243, 0, {0, -1, -1, -1}}, {1423, 0, {-1, 0, -1, -1}},
        {4123, 0, {-1, -1, 0, -1}}, {8127, 0, {-1, -1, -1, 0}}, {-1, -1, {-1, -1, -1, -1}},
        {5, 5, {-1, 0, -1, -1}},    {-2, -2, {-1, 0, -1, -1}},
    };
    for (const Case& c : cases) {
        JobSetup start;
        start.duplex2Up = kChosen;
        start.ChooseOrder(DuplexOrder::Order1423);
        JobSetup setup = Parse("2UPDUPLEX;" + std::to_string(c.value) + "\n", true, start);
        EXPECT_EQ(setup.duplex2Up, c.mainFlag) << c.value;
        EXPECT_EQ(setup.duplexOrderFlags, c.orders) << c.value;
    }
}

TEST(SetupFileTest, DuplexValueWritten) {
    JobSetup setup;
    EXPECT_EQ(EncodeDuplexValue(setup), -1);
    setup.duplex2Up = kChosen;
    EXPECT_EQ(EncodeDuplexValue(setup), 0);  // chosen without an order
    setup.ChooseOrder(DuplexOrder::Order1243);
    EXPECT_EQ(EncodeDuplexValue(setup), 1243);
    // Two orders chosen at once: the writer looks for 8127, 4123, 1423, 1243 in turn.
    setup.OrderFlag(DuplexOrder::Order4123) = kChosen;
    EXPECT_EQ(EncodeDuplexValue(setup), 4123);
    setup.duplex2Up = 7;  // an odd value read from a file goes back as it came
    EXPECT_EQ(EncodeDuplexValue(setup), 7);
    // 0 and 1243 read alike and both write back as 1243.
    EXPECT_EQ(EncodeDuplexValue(Parse("2UPDUPLEX;0\n")), 1243);
    EXPECT_EQ(EncodeDuplexValue(Parse("2UPDUPLEX;1243\n")), 1243);
}

TEST(SetupFileTest, AReadStartsByClearingReorder) {
    JobSetup setup = EveryFieldSet();
    ScratchDir scratch;
    JobSetup expected = setup;
    expected.reorder1 = 0;
    SetupReadResult result = ReadSetupFile(scratch.File("missing.plf"), setup, {true});
    EXPECT_FALSE(result.opened);
    EXPECT_EQ(setup, expected);
    // A folder is no setup file either.
    EXPECT_FALSE(ReadSetupFile(scratch.Path(), setup, {true}).opened);
}

TEST(SetupFileTest, WriteFailureLeavesAMessageAndNoFile) {
    ScratchDir scratch;
    std::string path = scratch.File("no/such/folder/job.plf");
    SetupWriteResult result = WriteSetupFile(path, "job.plf", JobSetup{}, false);
    EXPECT_FALSE(result.written);
    EXPECT_EQ(result.message, "Can't save to :job.plf");
    EXPECT_FALSE(std::filesystem::exists(path));
}

TEST(SetupFileTest, OnlyDefaultPlfSavesQuietly) {
    ScratchDir scratch;
    EXPECT_EQ(WriteSetupFile(scratch.File("Default.plf"), "Default.plf", {}, false).message, "");
    EXPECT_EQ(WriteSetupFile(scratch.File("b"), "./Default.plf", {}, false).message,
              "Saved to file: ./Default.plf");
}

TEST(SetupFileTest, TextsWithLineBreaksAreCutWhenWritten) {
    // A name holding a line feed would otherwise start a line of its own when read back.
    JobSetup setup;
    setup.inFile = "a.pdf\nSTARTPAGE;9";
    setup.outFile = "b.pdf\rc";
    JobSetup read = Parse(SetupFileText(setup, false));
    EXPECT_EQ(read.inFile, "a.pdf");
    EXPECT_EQ(read.outFile, "b.pdf");
    EXPECT_EQ(read.startPage, 1);
}

TEST(SetupFileTest, SetupFilesKeepTheCurrentNameAndPlaceDefaultPlf) {
    ScratchDir scratch;
    std::filesystem::create_directories(scratch.File("work"));
    ConfigFolder folder(scratch.File("work"), scratch.File("config/velmora"));
    SetupFiles files(folder);
    EXPECT_EQ(files.CurrentName(), "Default.plf");

    JobSetup setup = EveryFieldSet();
    SetupWriteResult saved = files.Save(setup, false);
    EXPECT_TRUE(saved.written);
    EXPECT_EQ(saved.message, "");
    EXPECT_TRUE(std::filesystem::exists(scratch.File("config/velmora/Default.plf")));

    JobSetup loaded;
    files.Load("Default.plf", loaded, {true});
    setup.outFolder.clear();  // not written without the batch list window
    EXPECT_EQ(loaded, setup);

    // A name that cannot be read still becomes the current name.
    files.Load(scratch.File("missing.plf"), loaded, {false});
    EXPECT_EQ(files.CurrentName(), scratch.File("missing.plf"));
    EXPECT_FALSE(files.IsDefault());

    SetupWriteResult savedAs = files.SaveAs(scratch.File("other.plf"), loaded, false);
    EXPECT_EQ(savedAs.message, "Saved to file: " + scratch.File("other.plf"));
    EXPECT_EQ(files.CurrentName(), scratch.File("other.plf"));
}

TEST(ReadTextFileTest, ReadsWhatTheFileHoldsUpToTheLimit) {
    ScratchDir dir;
    const std::string pieceAndMore(16384 * 3 + 7, 'x');
    WriteWholeFile(dir.File("empty"), "");
    WriteWholeFile(dir.File("exact"), "0123456789");
    WriteWholeFile(dir.File("large"), pieceAndMore);
    EXPECT_EQ(ReadTextFile(dir.File("empty")), "");
    EXPECT_EQ(ReadTextFile(dir.File("exact"), 10), "0123456789");
    EXPECT_EQ(ReadTextFile(dir.File("exact"), 4), "0123");
    EXPECT_EQ(ReadTextFile(dir.File("exact")), "0123456789");
    EXPECT_EQ(ReadTextFile(dir.File("large")), pieceAndMore);
    EXPECT_EQ(ReadTextFile(dir.File("large"), 16384 + 1)->size(), 16384u + 1);
    // A device without end is read only up to the limit.
    EXPECT_EQ(ReadTextFile("/dev/zero", 40000), std::string(40000, '\0'));
    EXPECT_EQ(ReadTextFile(dir.File("missing")), std::nullopt);
    EXPECT_EQ(ReadTextFile(dir.Path()), std::nullopt);
}

}  // namespace
}  // namespace desktop
