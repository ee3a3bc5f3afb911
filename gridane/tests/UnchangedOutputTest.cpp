// Without any of the sheet settings the engine writes exactly the bytes it wrote before they
// existed: every input of gridane/tests/data/unchanged-outputs.md5 is imposed in its layout and
// the output's MD5 is compared with the one recorded there. The sheet settings put at their
// defaults, as a client resetting every property does, change nothing either.
#include <gtest/gtest.h>

#include <fstream>

#include "gridane/tests/ImposeHelpers.h"
#include "testing/Scratch.h"
#include "testing/Tools.h"

namespace gridane {
namespace {

using namespace testing_support;

struct RecordedOutput {
    std::string input;  // relative to the source tree
    std::string settings;
    std::string md5;
};

std::vector<RecordedOutput> ReadRecordedOutputs() {
    std::ifstream file(SourceDir() + "/gridane/tests/data/unchanged-outputs.md5");
    std::vector<RecordedOutput> outputs;
    std::string line;
    while (std::getline(file, line)) {
        if (line.empty() || line[0] == '#') continue;
        size_t first = line.find('|');
        size_t second = line.find('|', first + 1);
        if (second == std::string::npos) continue;
        outputs.push_back({line.substr(0, first), line.substr(first + 1, second - first - 1),
                           line.substr(second + 1)});
    }
    return outputs;
}

std::string Md5Of(const std::string& path) {
    CommandResult sum = Run("md5sum " + ShellQuote(path));
    return sum.output.substr(0, sum.output.find(' '));
}

const char kSheetSettingsAtDefaults[] =
    " sheet= fit=0 outer_margin=0 gutter=0 signature=0 rtl=0 creep=0 cropmarks=0 foldmarks=0";

TEST(UnchangedOutput, EveryRecordedLayoutWritesTheSameBytes) {
    std::vector<RecordedOutput> outputs = ReadRecordedOutputs();
    ASSERT_GE(outputs.size(), 50u);
    ScratchDir dir;
    for (const RecordedOutput& recorded : outputs) {
        SCOPED_TRACE(recorded.input + " [" + recorded.settings + "]");
        std::string input = SourceDir() + "/" + recorded.input;
        std::string plain = dir.File("plain.pdf");
        ASSERT_EQ(test::Impose(recorded.settings, input, plain), "");
        EXPECT_EQ(Md5Of(plain), recorded.md5);
        std::string reset = dir.File("reset.pdf");
        ASSERT_EQ(test::Impose(recorded.settings + kSheetSettingsAtDefaults, input, reset), "");
        EXPECT_EQ(Md5Of(reset), recorded.md5);
    }
}

}  // namespace
}  // namespace gridane
