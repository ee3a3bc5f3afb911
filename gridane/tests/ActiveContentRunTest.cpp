// Imposed outputs carry the input's links and form fields but none of its scripts or of the
// actions that start programs, read files or send data, and the run says what it dropped.
#include <gtest/gtest.h>

#include "gridane/GridaneCom.h"
#include "testing/ActiveContentFile.h"
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
              "active content removed from the output: 1 ImportData action, 8 JavaScript "
              "actions, 2 Launch actions, 1 SubmitForm action, 1 document script list (/Names "
              "/JavaScript), 1 script text object");
}

INSTANTIATE_TEST_SUITE_P(Inputs, ActiveContentRun, ::testing::Values(false, true),
                         [](const ::testing::TestParamInfo<bool>& p) {
                             return p.param ? "ObjectStreams" : "PlainObjects";
                         });

}  // namespace
}  // namespace gridane
