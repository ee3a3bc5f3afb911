#include "desktop/core/QuietUiPort.h"

#include <gtest/gtest.h>

#include <sstream>

namespace desktop {
namespace {

TEST(QuietUiPortTest, RecordsEveryCallInOrder) {
    std::ostringstream echo;
    QuietUiPort ui(&echo);
    ui.Message("Done!", "Velmora Desktop Edition");
    ui.Progress(3);
    ui.SetRowStatus(2, "Error with pdf file");
    EXPECT_FALSE(ui.HandlePendingMessages());
    EXPECT_EQ(ui.Question("Do you wish to process batch list now ?", "Process"), Answer::Cancel);
    FileDialog dialog;
    dialog.mode = FileDialog::Mode::Save;
    dialog.title = "Save to PDF File";
    dialog.filters = {{"PDF", "*.pdf"}};
    EXPECT_EQ(ui.ChooseFile(dialog), std::nullopt);
    EXPECT_EQ(ui.ChooseFolder("Output folder", "/data"), std::nullopt);

    using K = UiCall::Kind;
    EXPECT_EQ(ui.Calls(), (std::vector<UiCall>{
                              {K::Message, "Done!", "Velmora Desktop Edition"},
                              {K::Progress, "", "", 3},
                              {K::RowStatus, "Error with pdf file", "", 2},
                              {K::PendingMessages, "", "", 1},
                              {K::Question, "Do you wish to process batch list now ?", "Process"},
                              {K::ChooseFile, "Save to PDF File", ""},
                              {K::ChooseFolder, "Output folder", "/data"}}));
    EXPECT_EQ(ui.FileDialogs(), (std::vector<FileDialog>{dialog}));
    EXPECT_EQ(ui.Position(), 3);
    EXPECT_EQ(echo.str(), "Done!\nDo you wish to process batch list now ?\n");
}

TEST(QuietUiPortTest, AnswersFromTheScriptThenTheDefault) {
    QuietUiPort ui;
    ui.ScriptAnswer(Answer::Yes);
    ui.ScriptAnswer(Answer::No);
    ui.SetDefaultAnswer(Answer::Yes);
    ui.ScriptFile("/in/a.pdf");
    ui.ScriptFile(std::nullopt);
    ui.ScriptFolder("/out");
    EXPECT_EQ(ui.Question("q", ""), Answer::Yes);
    EXPECT_EQ(ui.Question("q", ""), Answer::No);
    EXPECT_EQ(ui.Question("q", ""), Answer::Yes);
    EXPECT_EQ(ui.ChooseFile({}), "/in/a.pdf");
    EXPECT_EQ(ui.ChooseFile({}), std::nullopt);
    EXPECT_EQ(ui.ChooseFile({}), std::nullopt);
    EXPECT_EQ(ui.ChooseFolder("", ""), "/out");
}

TEST(QuietUiPortTest, CancelsAtTheScriptedPendingCall) {
    QuietUiPort ui;
    ui.HandlePendingMessages();
    ui.ScriptCancelAt(2);
    EXPECT_FALSE(ui.HandlePendingMessages());
    EXPECT_TRUE(ui.HandlePendingMessages());
    EXPECT_FALSE(ui.HandlePendingMessages());
    ui.Progress(1);
    ui.Progress(2);
    EXPECT_EQ(ui.ProgressPositions(), (std::vector<int>{1, 2}));
    ui.ClearCalls();
    EXPECT_TRUE(ui.Calls().empty());
}

}  // namespace
}  // namespace desktop
