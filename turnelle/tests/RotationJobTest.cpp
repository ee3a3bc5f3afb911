// The rotation run end to end on files made by real producers and by hand: the output passes
// qpdf's check, each page shows the expected rotation, and each page renders as the input's
// page turned by the difference.
#include <gtest/gtest.h>

#include <filesystem>
#include <regex>
#include <sstream>

#include "RotationTestFiles.h"
#include "testing/Bookmarks.h"
#include "testing/PdfBuilder.h"
#include "testing/ReaderFaultFiles.h"
#include "testing/RecordingSink.h"
#include "testing/Scratch.h"
#include "testing/Tools.h"
#include "turnelle/TurnelleCom.h"

namespace turnelle {
namespace {

using testing_support::QpdfCheck;
using testing_support::ReadWholeFile;
using testing_support::ScratchDir;
using testing_support::ShellQuote;
using testing_support::WriteWholeFile;
using turnelle_test::EffectiveRotations;
using turnelle_test::QuarterTurnsBetween;
using turnelle_test::TurnedRenderDifference;

constexpr double kSameRender = 6.0;

class RotationJobTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        s_files = new ScratchDir;
        testing_support::PdfFromPostScript(testing_support::NumberedPagesPostScript(5, 300, 400),
                                           GhostscriptFile());
    }
    static void TearDownTestSuite() {
        delete s_files;
        s_files = nullptr;
    }
    static std::string GhostscriptFile() { return s_files->File("gs5.pdf"); }

    std::string Rotate(const std::string& input, const std::string& output, int type, int angle,
                       bool force, const std::string& pages = "") {
        TurnelleCom rotation;
        rotation.SetProgressSink(&m_progress);
        rotation.PutProperty("type", type);
        rotation.PutProperty("rotateAngle", angle);
        rotation.PutProperty("force", force ? 1 : 0);
        rotation.PutProperty("rotatePages", std::string(pages));
        return rotation.getTurnelleFile(input, output, "");
    }

    std::string Qpdf(const std::string& arguments, const std::string& output) {
        const auto result = testing_support::Run("qpdf " + arguments + " " + ShellQuote(output));
        EXPECT_TRUE(result.exitCode == 0 || result.exitCode == 3) << result.output;
        return output;
    }

    // The output passes qpdf's check, shows `expected` rotations, and each page renders as the
    // input page turned from its old rotation to its new one.
    void ExpectRotated(const std::string& input, const std::string& output,
                       const std::vector<int>& expected) {
        std::string report;
        EXPECT_TRUE(QpdfCheck(output, &report)) << report;
        const std::vector<int> before = EffectiveRotations(input);
        ASSERT_EQ(EffectiveRotations(output), expected);
        ASSERT_EQ(before.size(), expected.size());
        for (size_t i = 0; i < expected.size(); ++i) {
            const int turns = QuarterTurnsBetween(before[i], expected[i]);
            EXPECT_LT(TurnedRenderDifference(input, output, static_cast<int>(i) + 1, turns),
                      kSameRender)
                << "page " << i + 1 << " turned " << turns;
        }
    }

    ScratchDir m_dir;
    testing_support::RecordingSink m_progress;
    static ScratchDir* s_files;
};

ScratchDir* RotationJobTest::s_files = nullptr;

TEST_F(RotationJobTest, AllPagesOfAGhostscriptFile) {
    const std::string output = m_dir.File("out.pdf");
    ASSERT_EQ(Rotate(GhostscriptFile(), output, 2, 90, false), "");
    ExpectRotated(GhostscriptFile(), output, {90, 90, 90, 90, 90});
    EXPECT_NE(m_progress.progress.find("Rotating file: " + GhostscriptFile() + " to " + output +
                                       ", 90 Degrees, Pages: 1-5\nProcessing"),
              std::string::npos)
        << m_progress.progress;
}

TEST_F(RotationJobTest, SelectionTypesPickTheirPages) {
    const struct {
        int type;
        const char* pages;
        std::vector<int> expected;
    } cases[] = {
        {3, "", {270, 0, 270, 0, 270}},      {4, "", {0, 270, 0, 270, 0}},
        {5, "", {270, 270, 0, 0, 0}},        {6, "", {0, 0, 270, 270, 270}},
        {0, "2-3,5", {0, 270, 270, 0, 270}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE("type " + std::to_string(c.type));
        const std::string output = m_dir.File("out" + std::to_string(c.type) + ".pdf");
        ASSERT_EQ(Rotate(GhostscriptFile(), output, c.type, 270, false, c.pages), "");
        EXPECT_EQ(EffectiveRotations(output), c.expected);
        EXPECT_TRUE(QpdfCheck(output));
    }
}

TEST_F(RotationJobTest, ObjectStreamsAndPagesAlreadyRotated) {
    // qpdf writes /Rotate into pages 1 and 3, then packs everything into object streams.
    const std::string rotated =
        Qpdf("--rotate=+90:1 --rotate=+270:3 " + ShellQuote(GhostscriptFile()),
             m_dir.File("rotated.pdf"));
    const std::string input =
        Qpdf("--object-streams=generate " + ShellQuote(rotated), m_dir.File("objstm.pdf"));
    ASSERT_NE(ReadWholeFile(input).find("/ObjStm"), std::string::npos);

    const std::string forced = m_dir.File("forced.pdf");
    ASSERT_EQ(Rotate(input, forced, 2, 90, true), "");
    ExpectRotated(input, forced, {180, 90, 0, 90, 90});
    EXPECT_EQ(ReadWholeFile(forced).find("ObjStm"), std::string::npos);

    const std::string replaced = m_dir.File("replaced.pdf");
    ASSERT_EQ(Rotate(input, replaced, 3, 180, false), "");
    ExpectRotated(input, replaced, {180, 0, 180, 0, 180});
}

TEST_F(RotationJobTest, OtherProducers) {
    // cairo's writer, and qpdf's linearized file with object streams (two table sections,
    // hint streams) and its QDF form.
    const std::string cairo = m_dir.File("cairo.pdf");
    const auto made = testing_support::Run("pdftocairo -pdf " + ShellQuote(GhostscriptFile()) +
                                           " " + ShellQuote(cairo));
    ASSERT_EQ(made.exitCode, 0) << made.output;
    const std::string linearized =
        Qpdf("--linearize --object-streams=generate " + ShellQuote(GhostscriptFile()),
             m_dir.File("linearized.pdf"));
    const std::string qdf = Qpdf("--qdf " + ShellQuote(GhostscriptFile()), m_dir.File("qdf.pdf"));
    for (const std::string& input : {cairo, linearized, qdf}) {
        SCOPED_TRACE(input);
        const std::string output = m_dir.File("out.pdf");
        ASSERT_EQ(Rotate(input, output, 4, -90, false), "");
        ExpectRotated(input, output, {0, 270, 0, 270, 0});
    }
}

TEST_F(RotationJobTest, InheritedRotationOnInnerNodes) {
    const std::string input = m_dir.File("nested.pdf");
    WriteWholeFile(input, turnelle_test::NestedTreePdf());
    ASSERT_EQ(EffectiveRotations(input), turnelle_test::kNestedTreeRotations);

    const std::string forced = m_dir.File("forced.pdf");
    ASSERT_EQ(Rotate(input, forced, 2, 90, true), "");
    ExpectRotated(input, forced, {0, 270, 180, 90});

    const std::string replaced = m_dir.File("replaced.pdf");
    ASSERT_EQ(Rotate(input, replaced, 0, 180, false, "2,4"), "");
    ExpectRotated(input, replaced, {270, 180, 90, 180});
}

TEST_F(RotationJobTest, ObjectsKeepTheirGenerations) {
    // Page 2's contents are object 10 generation 1, referenced as "10 1 R".
    const std::string input = m_dir.File("nested.pdf");
    WriteWholeFile(input, turnelle_test::NestedTreePdf());
    const std::string output = m_dir.File("out.pdf");
    ASSERT_EQ(Rotate(input, output, 2, 0, false), "");
    std::string report;
    EXPECT_TRUE(testing_support::QpdfCheckClean(output, &report)) << report;
    EXPECT_NE(ReadWholeFile(output).find(" 00001 n"), std::string::npos);
    ExpectRotated(input, output, {0, 0, 0, 0});
}

TEST_F(RotationJobTest, BytesBeforeTheHeaderAreLeftOut) {
    const std::string input = m_dir.File("prefixed.pdf");
    WriteWholeFile(input, turnelle_test::NestedTreePdf(std::string(100, 'x') + "\n"));
    const std::string output = m_dir.File("out.pdf");
    ASSERT_EQ(Rotate(input, output, 2, 90, false), "");
    EXPECT_EQ(ReadWholeFile(output).substr(0, 5), "%PDF-");
    std::string report;
    EXPECT_TRUE(testing_support::QpdfCheckClean(output, &report)) << report;
    EXPECT_EQ(EffectiveRotations(output), std::vector<int>({90, 90, 90, 90}));
}

TEST_F(RotationJobTest, IncrementalUpdateUsesTheNewestObjects) {
    // The update gives page 4 (object 8) /Rotate 90 instead of 0.
    const std::string input = m_dir.File("updated.pdf");
    WriteWholeFile(input, testing_support::PdfBuilder::AppendUpdate(
                              turnelle_test::NestedTreePdf(),
                              {{8, "<< /Type /Page /Parent 4 0 R /Contents 12 0 R /Rotate 90 >>"}},
                              "/Root 1 0 R"));
    ASSERT_EQ(EffectiveRotations(input), std::vector<int>({270, 180, 90, 90}));
    const std::string output = m_dir.File("out.pdf");
    ASSERT_EQ(Rotate(input, output, 2, 90, true), "");
    ExpectRotated(input, output, {0, 270, 180, 180});
    const std::string text = ReadWholeFile(output);
    EXPECT_EQ(text.find("8 0 obj"), text.rfind("8 0 obj"));
}

TEST_F(RotationJobTest, KidWithoutTypeIsSkipped) {
    const std::string input = m_dir.File("untyped.pdf");
    WriteWholeFile(input, turnelle_test::PdfOfObjects({
                              "<< /Type /Catalog /Pages 2 0 R >>",
                              "<< /Type /Pages /Kids [3 0 R 5 0 R 4 0 R] /Count 2 "
                              "/MediaBox [0 0 300 400] >>",
                              "<< /Type /Page /Parent 2 0 R /Contents 6 0 R >>",
                              "<< /Type /Page /Parent 2 0 R /Contents 7 0 R >>",
                              "<< /Parent 2 0 R /Note (no type) >>",
                              turnelle_test::MarkContent(1),
                              turnelle_test::MarkContent(2),
                          }));
    const std::string output = m_dir.File("out.pdf");
    ASSERT_EQ(Rotate(input, output, 4, 90, false), "");
    const std::string text = ReadWholeFile(output);
    EXPECT_NE(text.find("4 0 obj\n<</Rotate 90\n /Type /Page"), std::string::npos) << text;
    EXPECT_EQ(text.find("3 0 obj\n<</Rotate"), std::string::npos);
}

// A kid that leads back up the tree, or a node listed twice, is cut from the output's tree as
// the walk cut it; the pages read are all there, each once.
TEST_F(RotationJobTest, PageTreeLoopsAreCutFromTheOutput) {
    const std::string input = m_dir.File("loop.pdf");
    WriteWholeFile(input, turnelle_test::PdfOfObjects({
                              "<< /Type /Catalog /Pages 2 0 R >>",
                              "<< /Type /Pages /Kids [3 0 R 2 0 R 5 0 R] /Count 2 "
                              "/MediaBox [0 0 300 400] >>",
                              "<< /Type /Page /Parent 2 0 R /Contents 6 0 R >>",
                              "<< /Type /Page /Parent 5 0 R /Contents 7 0 R >>",
                              "<< /Type /Pages /Parent 2 0 R /Kids [4 0 R 2 0 R 4 0 R] /Count 1 >>",
                              turnelle_test::MarkContent(1),
                              turnelle_test::MarkContent(2),
                          }));
    const std::string output = m_dir.File("out.pdf");
    ASSERT_EQ(Rotate(input, output, 4, 90, false), "");
    const std::string text = ReadWholeFile(output);
    EXPECT_NE(text.find("/Kids [3 0 R  5 0 R]"), std::string::npos) << text;
    EXPECT_NE(text.find("/Kids [4 0 R  ]"), std::string::npos) << text;
    ExpectRotated(input, output, {0, 90});
}

TEST_F(RotationJobTest, AnglesThatAreNoQuarterTurnsAreRefused) {
    const std::string output = m_dir.File("out.pdf");
    for (int angle : {45, -1, 100}) {
        EXPECT_EQ(Rotate(GhostscriptFile(), output, 4, angle, false),
                  "Rotation angle " + std::to_string(angle) + " is not a multiple of 90 degrees\n");
        EXPECT_FALSE(std::filesystem::exists(output));
    }
    EXPECT_EQ(Rotate(GhostscriptFile(), output, 4, -90, false), "");
}

TEST_F(RotationJobTest, TableEntriesLeadingToOtherObjectsAreFree) {
    const std::string input = m_dir.File("reserved.pdf");
    const int first =
        testing_support::AddEntriesLeadingToOtherObjects(GhostscriptFile(), {3, 5}, input);
    const std::string output = m_dir.File("out.pdf");
    TurnelleCom rotation;
    rotation.SetProgressSink(&m_progress);
    rotation.PutProperty("rotateAngle", 90);
    ASSERT_EQ(rotation.getTurnelleFile(input, output, ""), "");
    std::string report;
    EXPECT_TRUE(testing_support::QpdfCheckClean(output, &report)) << report;
    ExpectRotated(input, output, {90, 90, 90, 90, 90});
    const std::string text = rotation.Warnings().Text();
    EXPECT_NE(text.find("cross-reference entry of object " + std::to_string(first)),
              std::string::npos)
        << text;
    EXPECT_NE(text.find("cross-reference entry of object " + std::to_string(first + 1)),
              std::string::npos)
        << text;
    // The caller's sink receives the same warnings.
    EXPECT_EQ(m_progress.warnings, rotation.Warnings().Lines());
}

TEST_F(RotationJobTest, OldObjectStreamsOfAnUpdatedFileAreDropped) {
    const std::string input = m_dir.File("updated.pdf");
    testing_support::ObjectStreamsWithUpdate(GhostscriptFile(), input);
    ASSERT_TRUE(QpdfCheck(input));
    const std::string output = m_dir.File("out.pdf");
    ASSERT_EQ(Rotate(input, output, 3, 180, false), "");
    std::string report;
    EXPECT_TRUE(testing_support::QpdfCheckClean(output, &report)) << report;
    ExpectRotated(input, output, {180, 0, 180, 0, 180});
    EXPECT_FALSE(
        std::regex_search(ReadWholeFile(output), std::regex("/Type\\s*/(ObjStm|XRef)\\b")));
}

// The pages keep their objects, and destinations are in the pages' unturned space: the outline
// of a Ghostscript file leads where it did, and Ghostscript reads the output strictly.
TEST_F(RotationJobTest, BookmarksKeepLeadingToTheirPages) {
    const std::string input = m_dir.File("bookmarked.pdf");
    testing_support::PdfFromPostScript(testing_support::BookmarkedPostScript(), input);
    const std::string output = m_dir.File("out.pdf");
    ASSERT_EQ(Rotate(input, output, 3, 90, false), "");
    EXPECT_EQ(testing_support::OutlineTargets(output), testing_support::OutlineTargets(input));
    std::string report;
    EXPECT_TRUE(testing_support::QpdfCheckClean(output, &report)) << report;
    EXPECT_TRUE(testing_support::GhostscriptRereads(output, &report)) << report;
}

// A page whose entries hold names equal to the key the edit looks for (/Rotate as a name
// value) gets its rotation at its own key only.
TEST_F(RotationJobTest, NameValuesAreNoKeys) {
    const std::string input = m_dir.File("names.pdf");
    WriteWholeFile(input, turnelle_test::PdfOfObjects(
                              {"<< /Type /Catalog /Pages 2 0 R >>",
                               "<< /Type /Pages /Kids [3 0 R] /Count 1 >>",
                               "<< /Type /Page /Parent 2 0 R /PieceInfo << /S /Rotate >> "
                               "/Tabs /Rotate /MediaBox [0 0 200 200] /Rotate 0 >>"}));
    const std::string output = m_dir.File("out.pdf");
    ASSERT_EQ(Rotate(input, output, 2, 90, false), "");
    const std::string text = ReadWholeFile(output);
    EXPECT_NE(text.find("/Tabs /Rotate /MediaBox [0 0 200 200] /Rotate 90 "), std::string::npos)
        << text;
    std::string report;
    EXPECT_TRUE(testing_support::QpdfCheck(output, &report)) << report;
}

}  // namespace
}  // namespace turnelle
