// The property table, the box-string rule and the file-list forms.
#include <gtest/gtest.h>

#include <set>
#include <sstream>

#include "gridane/FileList.h"
#include "gridane/PropertyTable.h"
#include "gridane/tests/SettingsFromText.h"

namespace gridane {
namespace {

TEST(PropertyTableTest, HoldsEveryPropertyOnceInDeclarationOrder) {
    auto properties = GridaneProperties();
    ASSERT_EQ(properties.size(), 42u);
    EXPECT_EQ(properties.front().name, "duplicate");
    EXPECT_EQ(properties.back().name, "mediabox2");
    std::set<std::string_view> names;
    std::set<int> ids;
    for (const PropertyInfo& p : properties) {
        names.insert(p.name);
        ids.insert(p.dispid);
        EXPECT_TRUE(p.kind == PropertyKind::Text ? p.putText != nullptr : p.putNumber != nullptr)
            << p.name;
    }
    EXPECT_EQ(names.size(), 42u);
    EXPECT_EQ(ids.size(), 42u);
}

TEST(PropertyTableTest, DefaultsImposeTwoUpSequentiallyOverAllPages) {
    JobSettings settings;
    EXPECT_TRUE(settings.ab);
    EXPECT_EQ(settings.firstPage, 1);
    EXPECT_EQ(settings.lastPage, kToLastPage);
    EXPECT_FALSE(settings.mediaBox.IsGiven());
    EXPECT_EQ(SelectLayoutGroup(settings), LayoutGroup::Up2);
    // Every default in the table is the value a fresh JobSettings holds.
    for (const PropertyInfo& p : GridaneProperties()) {
        if (p.kind == PropertyKind::Text) continue;
        JobSettings put;
        p.putNumber(put, std::stoi(std::string(p.defaultText)));
        EXPECT_TRUE(put == settings) << p.name;
    }
}

TEST(PropertyTableTest, FlagsStoreNonZeroAndIntegersTheValue) {
    JobSettings s = test::SettingsFromText("up4=-7 rightmargin=-3 s=5");
    EXPECT_TRUE(s.up4);
    EXPECT_EQ(s.rightMargin, -3);
    EXPECT_EQ(s.firstPage, 5);
}

TEST(BoxStringTest, TakesExactlyFourCommaSeparatedNumbers) {
    EXPECT_EQ(ParseBoxString("0,0,612,792"), (Box{0, 0, 612, 792}));
    EXPECT_EQ(ParseBoxString("1.5,-2,3e2,4"), (Box{1.5, -2, 300, 4}));
    EXPECT_EQ(ParseBoxString("0 0 612 792"), std::nullopt);
    EXPECT_EQ(ParseBoxString("0,0,612"), std::nullopt);
    EXPECT_EQ(ParseBoxString(""), std::nullopt);
    EXPECT_EQ(ParseBoxString("0,0,inf,792"), std::nullopt);
    // A bad string put after a good one leaves the box unset.
    JobSettings s = test::SettingsFromText("cropbox=0,0,612,792 cropbox=0;0;1;1");
    EXPECT_FALSE(s.cropBox.IsGiven());
}

TEST(GroupTest, FirstGroupWithAFlagOnWins) {
    EXPECT_EQ(SelectLayoutGroup(test::SettingsFromText("up4 up3x2")), LayoutGroup::Up6);
    EXPECT_EQ(SelectLayoutGroup(test::SettingsFromText("up3 up2x3")), LayoutGroup::Up6);
    EXPECT_EQ(SelectLayoutGroup(test::SettingsFromText("up4 up2to1")), LayoutGroup::Up4);
    EXPECT_EQ(SelectLayoutGroup(test::SettingsFromText("up2x6 up2x5")), LayoutGroup::Up12);
    EXPECT_EQ(GridOf(test::SettingsFromText("up3 up2x3")), (Grid{2, 3}));
}

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
    FileListReader reader(in, 254);
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

}  // namespace
}  // namespace gridane
