// The output name proposed beside the input.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "desktop/core/OutputGuard.h"
#include "desktop/core/ProposedOutput.h"
#include "testing/Scratch.h"

namespace desktop {
namespace {

TEST(ProposedOutputTest, TheInputsNameWithWhatTheLayoutMakes) {
    JobSetup setup;
    auto none = [](const std::string&) { return false; };
    EXPECT_EQ(ProposedOutputName(setup, none), "");
    setup.inFile = "/docs/report.pdf";
    EXPECT_EQ(ProposedOutputName(setup, none), "/docs/report-2up.pdf");
    setup.processingType = "6up 2x3";
    EXPECT_EQ(ProposedOutputName(setup, none), "/docs/report-6up-2x3.pdf");
    setup.processingType = std::string(kLayoutSplitHorizontal);
    EXPECT_EQ(ProposedOutputName(setup, none), "/docs/report-halves.pdf");
    setup.processingType = "2up";
    setup.duplex2Up = kChosen;
    EXPECT_EQ(ProposedOutputName(setup, none), "/docs/report-booklet.pdf");
    // Relative names stay relative; a name of dots and blanks keeps them.
    setup.inFile = "my scan.v2.tif";
    EXPECT_EQ(ProposedOutputName(setup, none), "my scan.v2-booklet.pdf");
    // An odd layout text from a setup file makes no path of it.
    setup.duplex2Up = kNotChosen;
    setup.processingType = "../../x";
    EXPECT_EQ(ProposedOutputName(setup, none), "my scan.v2-x.pdf");
}

TEST(ProposedOutputTest, NeverNamesAFileThatIsThere) {
    testing_support::ScratchDir scratch;
    JobSetup setup;
    setup.inFile = scratch.File("report.pdf");
    testing_support::WriteWholeFile(scratch.File("report-2up.pdf"), "mine");
    testing_support::WriteWholeFile(scratch.File("report-2up-2.pdf"), "mine too");
    EXPECT_EQ(ProposedOutputName(setup), scratch.File("report-2up-3.pdf"));
    // A folder that claims every name gets no proposal.
    EXPECT_EQ(ProposedOutputName(setup, [](const std::string&) { return true; }), "");
}

TEST(ProposedOutputTest, TellsAProposalsFormFromANameOfTheUsers) {
    JobSetup setup;
    setup.inFile = "/docs/card.pdf";
    setup.processingType = "8up 2x4";
    struct Case {
        const char* output;
        bool proposed;
    };
    for (const Case& c :
         {Case{"/docs/card-8up-2x4.pdf", true}, Case{"/docs/card-8up-2x4-2.pdf", true},
          Case{"/docs/card-8up-2x4-9999.pdf", true}, Case{"/docs/card-8up-2x4-1.pdf", false},
          Case{"/docs/card-8up-2x4-02.pdf", false}, Case{"/docs/card-8up-2x4-x.pdf", false},
          Case{"/docs/card-2up.pdf", false}, Case{"/other/card-8up-2x4.pdf", false},
          Case{"/docs/cards.pdf", false}, Case{"", false}}) {
        setup.outFile = c.output;
        EXPECT_EQ(IsProposedOutputName(setup), c.proposed) << c.output;
    }
    setup.inFile.clear();
    setup.outFile = "-8up-2x4.pdf";
    EXPECT_FALSE(IsProposedOutputName(setup));
}

// Only a file that is there and that this window did not write for the same input is asked about.
TEST(OutputGuardTest, AsksOnlyAboutFilesItDidNotWriteForTheSameInput) {
    testing_support::ScratchDir scratch;
    std::string cards = scratch.File("card.pdf"), a5 = scratch.File("a5.pdf");
    std::string out = scratch.File("card-8up-2x4.pdf");
    OutputGuard guard;
    EXPECT_FALSE(guard.NeedsConfirmation(cards, out));  // not there yet
    testing_support::WriteWholeFile(out, "the customer's cards");
    EXPECT_TRUE(guard.NeedsConfirmation(cards, out));
    guard.Wrote(cards, out);
    EXPECT_FALSE(guard.NeedsConfirmation(cards, out));
    // The same file by another spelling of its name.
    EXPECT_FALSE(guard.NeedsConfirmation(scratch.Path() + "/./card.pdf",
                                         scratch.Path() + "//card-8up-2x4.pdf"));
    EXPECT_TRUE(guard.NeedsConfirmation(a5, out));
    EXPECT_EQ(ReplaceQuestion(out),
              "Replace card-8up-2x4.pdf?\n\nThe file is already in " + scratch.Path() + ".");
}

}  // namespace
}  // namespace desktop
