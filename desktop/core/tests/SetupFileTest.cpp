#include "desktop/core/SetupFile.h"

#include <gtest/gtest.h>

namespace desktop {
namespace {

TEST(SetupFileTest, DefaultFileHasThirtyLines) {
    std::string text = SetupFileText(JobSetup{}, false);
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 30);
}

}  // namespace
}  // namespace desktop
