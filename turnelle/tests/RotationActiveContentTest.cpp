// Rotated outputs carry the input's links and form fields but none of its scripts or of the
// actions that start programs, read files or send data, and the run says what it dropped.
#include <gtest/gtest.h>

#include "testing/ActiveContentFile.h"
#include "testing/RecordingSink.h"
#include "testing/Scratch.h"
#include "testing/Tools.h"
#include "turnelle/TurnelleCom.h"

namespace turnelle {
namespace {

using namespace testing_support;

class RotationActiveContent : public ::testing::TestWithParam<bool> {};

TEST_P(RotationActiveContent, KeepsLinksAndFieldsAndDropsTheRest) {
    ScratchDir dir;
    const std::string input = dir.File("active.pdf");
    WriteActiveContentPdf(input, GetParam());
    TurnelleCom rotation;
    RecordingSink sink;
    rotation.SetProgressSink(&sink);
    rotation.PutProperty("rotateAngle", 180);
    const std::string output = dir.File("out.pdf");
    ASSERT_EQ(rotation.getTurnelleFile(input, output, ""), "");

    std::string report;
    EXPECT_TRUE(QpdfCheckClean(output, &report)) << report;
    for (const std::string& fault : ActiveContentFaults(output)) ADD_FAILURE() << fault;
    EXPECT_EQ(PageCount(output), 2);
    ASSERT_FALSE(sink.warnings.empty());
    const std::string& warning = sink.warnings.back();
    for (const char* dropped :
         {"9 JavaScript actions", "2 Launch actions", "1 document script list", "1 GoToE action",
          "1 GoToR action to a file that is no PDF", "2 URI actions to a script or local address",
          "1 XFA form", "1 action typed by reference", "3D or rich media artwork"}) {
        EXPECT_NE(warning.find(dropped), std::string::npos) << dropped << " in " << warning;
    }
}

INSTANTIATE_TEST_SUITE_P(Inputs, RotationActiveContent, ::testing::Values(false, true),
                         [](const ::testing::TestParamInfo<bool>& p) {
                             return p.param ? "ObjectStreams" : "PlainObjects";
                         });

}  // namespace
}  // namespace turnelle
