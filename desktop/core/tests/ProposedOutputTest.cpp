// The output name proposed beside the input.
#include <gtest/gtest.h>

#include <set>
#include <string>

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

}  // namespace
}  // namespace desktop
