// Rules the windows follow that need no window: the folder checks of the folder dialog, the
// support mail and the address check of the web commands.
#include <gtest/gtest.h>

#include "desktop/core/FolderRules.h"
#include "desktop/core/WebCommands.h"
#include "testing/RealFiles.h"
#include "testing/Scratch.h"

namespace desktop {
namespace {

TEST(FolderRulesTest, LinuxPathsAndTheirMessages) {
    testing_support::ScratchDir dir;
    EXPECT_EQ(CheckFolderText(""), FolderVerdict::Invalid);
    EXPECT_EQ(CheckFolderText("relative/folder"), FolderVerdict::Invalid);
    EXPECT_EQ(CheckFolderText("C:\\"), FolderVerdict::Invalid);
    EXPECT_EQ(CheckFolderText(dir.Path()), FolderVerdict::Accepted);
    EXPECT_EQ(CheckFolderText("~"), FolderVerdict::Accepted);
    EXPECT_EQ(CheckFolderText(dir.File("new/deeper")), FolderVerdict::Missing);
    EXPECT_TRUE(FolderCanBeCreated(dir.File("new/deeper")));
    testing_support::WriteWholeFile(dir.File("plain.pdf"), "x");
    EXPECT_FALSE(FolderCanBeCreated(dir.File("plain.pdf") + "/inside"));
    EXPECT_EQ(FolderInvalidMessage("x"), "The folder:\n\nx\n\nis invalid. Please reenter.");
    EXPECT_EQ(FolderMissingQuestion("x"),
              "The folder:\n\nx\n\ndoes not exist. Do you want the folder to be created?");
    EXPECT_EQ(FolderCannotBeCreatedMessage("x"),
              "The folder:\n\nx\n\ncan not be created. Please double check.");
}

TEST(WebCommandsTest, EmailCheckAndSupportMail) {
    EXPECT_FALSE(IsAcceptableEmail(""));
    EXPECT_FALSE(IsAcceptableEmail("@"));
    EXPECT_FALSE(IsAcceptableEmail("name.example.com"));
    EXPECT_TRUE(IsAcceptableEmail("a@"));
    std::vector<SystemItem> items = GatherSystemInformation();
    std::vector<std::string> names;
    for (const auto& item : items) names.push_back(item.first);
    EXPECT_EQ(names, (std::vector<std::string>{
                         "Product Version", "Processors", "Processor Level", "CPU Manufacturer",
                         "CPU Speed", "Application Memory Used", "Total Physical Memory",
                         "Physical Memory Available", "Total Virtual Memory", "Operating System",
                         "OS Version", "Service Pack", "Build"}));
    EXPECT_EQ(items[0].second, "1.23");
    std::string body = SupportMailBody(items);
    EXPECT_NE(body.find(std::string(40, '-') + "\nProduct Version : 1.23\nProcessors : "),
              std::string::npos);
}

}  // namespace
}  // namespace desktop
