// Imposed outputs carry the input's links and form fields but none of its scripts or of the
// actions that start programs, read files or send data, and the run says what it dropped.
#include <gtest/gtest.h>

#include "gridane/GridaneCom.h"
#include "testing/ActiveContentFile.h"
#include "testing/Bookmarks.h"
#include "testing/RecordingSink.h"
#include "testing/Scratch.h"
#include "testing/SheetCompare.h"
#include "testing/Tools.h"

namespace gridane {
namespace {

using namespace testing_support;

class ActiveContentRun : public ::testing::TestWithParam<bool> {};

TEST_P(ActiveContentRun, KeepsLinksAndFieldsAndDropsTheRest) {
    ScratchDir dir;
    const std::string input = dir.File("active.pdf");
    WriteActiveContentPdf(input, GetParam());
    ASSERT_TRUE(QpdfCheck(input));
    GridaneCom engine;
    RecordingSink sink;
    engine.SetProgressSink(&sink);
    const std::string output = dir.File("out.pdf");
    ASSERT_EQ(engine.getGridaneFile(input, output), "");

    std::string report;
    EXPECT_TRUE(QpdfCheckClean(output, &report)) << report;
    for (const std::string& fault : ActiveContentFaults(output)) ADD_FAILURE() << fault;
    PageRenders pages(input, 18);
    EXPECT_LT(SheetDifference(output, 1, pages, GridPlacement({1, 2}, 2, 612, 792)), 2.0);

    ASSERT_FALSE(sink.warnings.empty());
    const std::string& warning = sink.warnings.back();
    EXPECT_EQ(warning,
              "active content removed from the output: 2 3D or rich media artwork (with its "
              "scripts), 1 GoToE action, 1 GoToR action to a file that is no PDF, 1 ImportData "
              "action, 9 JavaScript actions, 2 Launch actions, 1 SubmitForm action, 2 URI "
              "actions to a script or local address, 1 XFA form (with its scripts), 1 action "
              "typed by reference, 1 document script list (/Names /JavaScript), 2 script text "
              "objects");
}

// A LaTeX document's links to web and mail addresses and to another PDF file stay; its links
// to a script address and to a program (a relative address) go, and the run counts them.
TEST(ActiveContentLinks, LatexLinksToTheWebMailAndPdfFilesStay) {
    ScratchDir dir;
    const std::string input = dir.File("links.pdf");
    if (!PdfFromLatex("\\documentclass{article}\\usepackage{hyperref}\\begin{document}\n"
                      "\\href{https://example.com/}{web} \\href{mailto:a@example.com}{mail} "
                      "\\href{other.pdf}{pdf} \\href{javascript:app.alert(1)}{script} "
                      "\\href{prog.exe}{program}\n\\end{document}\n",
                      input)) {
        GTEST_SKIP() << "pdflatex is not installed";
    }
    GridaneCom engine;
    RecordingSink sink;
    engine.SetProgressSink(&sink);
    const std::string output = dir.File("out.pdf");
    ASSERT_EQ(engine.getGridaneFile(input, output), "");
    EXPECT_TRUE(QpdfCheckClean(output));
    const std::string reachable =
        testing_support::Run("qpdf --qdf --object-streams=disable " + ShellQuote(output) + " -")
            .output;
    for (const char* kept : {"/URI (https://example.com/)", "/URI (mailto:a@example.com)",
                             "/S /GoToR", "/F (other.pdf)"}) {
        EXPECT_NE(reachable.find(kept), std::string::npos) << kept;
    }
    EXPECT_EQ(reachable.find("javascript:"), std::string::npos);
    EXPECT_EQ(reachable.find("prog.exe"), std::string::npos);
    ASSERT_FALSE(sink.warnings.empty());
    EXPECT_EQ(sink.warnings.back(),
              "active content removed from the output: 2 URI actions to a script or local "
              "address");
}

INSTANTIATE_TEST_SUITE_P(Inputs, ActiveContentRun, ::testing::Values(false, true),
                         [](const ::testing::TestParamInfo<bool>& p) {
                             return p.param ? "ObjectStreams" : "PlainObjects";
                         });

}  // namespace
}  // namespace gridane
