// The file-list form both engines take: name forms, output names and the line reader.
#include "platform/FileList.h"

#include <gtest/gtest.h>

#include <sstream>

namespace platform {
namespace {

TEST(FileListTest, NameForms) {
    EXPECT_TRUE(IsFileListName("list.txt"));
    EXPECT_TRUE(IsFileListName("a.pd"));
    EXPECT_TRUE(IsFileListName(""));
    EXPECT_FALSE(IsFileListName("a.pdf"));
    EXPECT_EQ(ListLineOutputName("-f/out", "a.pdf"), "/out/a.pdf");
    EXPECT_EQ(ListLineOutputName("-o/out/x.pdf", "a.pdf"), "/out/x.pdf");
    EXPECT_EQ(ListLineOutputName("-x/out", "a.pdf"), "");
    EXPECT_EQ(ListLineOutputName("-", "a.pdf"), "");
}

TEST(FileListTest, ReadsLinesWithoutLineEndsAndFlagsLongOnes) {
    std::istringstream in("a.pdf\r\n\nb\r.pdf\n" + std::string(300, 'x') + "\nlast");
    FileListReader reader(in, kMaxFileNameLength);
    std::vector<std::string> lines;
    std::vector<bool> tooLong;
    while (auto line = reader.Next()) {
        lines.push_back(line->text);
        tooLong.push_back(line->tooLong);
    }
    ASSERT_EQ(lines.size(), 5u);
    EXPECT_EQ(lines[0], "a.pdf");
    EXPECT_EQ(lines[1], "");
    EXPECT_EQ(lines[2], "b.pdf");
    EXPECT_EQ(lines[3].size(), 254u);
    EXPECT_TRUE(tooLong[3]);
    EXPECT_EQ(lines[4], "last");
    EXPECT_FALSE(tooLong[4]);
}

TEST(FileListTest, AListIsReadOnlyUpToItsLimit) {
    // A list without line ends, and one of many short lines, both stop at the limit with one
    // last line flagged; nothing is read after it.
    std::string endless(kMaxFileListBytes + 10, '\0');
    std::string manyLines;
    while (manyLines.size() <= kMaxFileListBytes) manyLines += "a.pdf\n";
    for (const std::string& text : {endless, manyLines}) {
        std::istringstream in(text);
        FileListReader reader(in, kMaxFileNameLength);
        size_t lines = 0;
        std::optional<FileListReader::Line> last;
        while (auto line = reader.Next()) {
            ++lines;
            last = line;
        }
        ASSERT_TRUE(last.has_value());
        EXPECT_TRUE(last->listTooLong);
        EXPECT_LE(static_cast<size_t>(in.tellg()), kMaxFileListBytes + 1);
        EXPECT_EQ(lines, text == endless ? 1u : kMaxFileListBytes / 6 + 1);
    }
    // Exactly at the limit, the list is whole.
    std::istringstream exact(std::string(kMaxFileListBytes - 1, 'x') + "\n");
    FileListReader reader(exact, kMaxFileNameLength);
    EXPECT_FALSE(reader.Next()->listTooLong);
    EXPECT_FALSE(reader.Next().has_value());
    EXPECT_EQ(FileListTooLongMessage(),
              "File list longer than 1048576 bytes: the rest was not read\n");
}

TEST(FileListTest, TooLongNamesAreShownByTheirStart) {
    std::string message = NameTooLongMessage(std::string(100, 'n'));
    EXPECT_EQ(message, "File name longer than 254 characters: '" + std::string(60, 'n') + "...'\n");
}

}  // namespace
}  // namespace platform
