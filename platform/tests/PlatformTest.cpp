#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <set>

#include "platform/ClassicNumbers.h"
#include "platform/File.h"
#include "platform/TempFiles.h"
#include "platform/Utf.h"

namespace {

TEST(Utf, RoundTripsEveryPlane) {
    std::string text = "A\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80";  // A, e-acute, euro, emoji
    std::u16string wide = platform::Utf8ToUtf16(text);
    EXPECT_EQ(wide, (std::u16string{u'A', 0x00E9, 0x20AC, 0xD83D, 0xDE00}));
    EXPECT_EQ(platform::Utf16ToUtf8(wide), text);
}

TEST(Utf, MalformedSequencesBecomeReplacementCharacters) {
    EXPECT_EQ(platform::Utf8ToUtf16("\xC3"), u"\uFFFD");
    EXPECT_EQ(platform::Utf8ToUtf16("\xC0\xAF"), u"\uFFFD");  // overlong slash
    EXPECT_EQ(platform::Utf16ToUtf8(std::u16string(1, char16_t(0xD800))), "\xEF\xBF\xBD");
}

TEST(TempFiles, NamesAreUniqueAndInTheTempFolder) {
    std::set<std::string> seen;
    for (int i = 0; i < 1000; ++i) EXPECT_TRUE(seen.insert(platform::UniqueTempName()).second);
    EXPECT_EQ(platform::TempFolder().back(), '/');
    EXPECT_EQ(seen.begin()->rfind(platform::TempFolder(), 0), 0u);
}

TEST(Files, WriteCountsBytesAndReadAtReadsThem) {
    std::string path = platform::UniqueTempName();
    {
        platform::WriteFile out;
        ASSERT_TRUE(out.Create(path));
        std::string big(200000, 'x');
        EXPECT_TRUE(out.Write("abc"));
        EXPECT_TRUE(out.Write(big));
        EXPECT_EQ(out.Position(), 200003);
        EXPECT_TRUE(out.Close());
    }
    platform::ReadFile in;
    ASSERT_TRUE(in.Open(path));
    EXPECT_EQ(in.Size(), 200003);
    char buf[4] = {};
    EXPECT_EQ(in.ReadAt(0, buf, 3), 3);
    EXPECT_STREQ(buf, "abc");
    EXPECT_EQ(in.ReadAt(200001, buf, 4), 2);
    EXPECT_EQ(in.ReadAt(300000, buf, 4), 0);
    EXPECT_TRUE(in.SameFileAs(path));

    std::string link = path + ".link";
    ASSERT_EQ(::symlink(path.c_str(), link.c_str()), 0);
    EXPECT_TRUE(platform::IsSameFile(path, link));
    EXPECT_FALSE(platform::IsSameFile(path, link + ".missing"));
    platform::RemoveFile(link);
    platform::RemoveFile(path);
}

TEST(Files, OpenRefusesFoldersAndMissingFiles) {
    platform::ReadFile in;
    EXPECT_FALSE(in.Open("/tmp"));
    EXPECT_FALSE(in.Open("/nonexistent/file.pdf"));
    platform::WriteFile out;
    EXPECT_FALSE(out.Create("/nonexistent/folder/out.pdf"));
    EXPECT_FALSE(out.Write("x"));
}

TEST(Files, WriteToFullDeviceFails) {
    platform::WriteFile out;
    ASSERT_TRUE(out.Create("/dev/full"));
    out.Write(std::string(1 << 17, 'x'));
    EXPECT_FALSE(out.Close());
}

}  // namespace

namespace {

TEST(ClassicNumbers, FormatsWithADecimalPointUnderACommaLocale) {
    locale_t comma = ::newlocale(LC_ALL_MASK, "de_DE.UTF-8", static_cast<locale_t>(0));
    if (comma == static_cast<locale_t>(0)) GTEST_SKIP() << "no de_DE.UTF-8 locale on this machine";
    locale_t previous = ::uselocale(comma);
    char text[32];
    std::snprintf(text, sizeof text, "%.2f", 1.5);
    EXPECT_STREQ(text, "1,50");
    {
        platform::ClassicNumbers decimalPoint;
        std::snprintf(text, sizeof text, "%.2f", 1.5);
        EXPECT_STREQ(text, "1.50");
    }
    std::snprintf(text, sizeof text, "%.2f", 1.5);
    EXPECT_STREQ(text, "1,50");
    ::uselocale(previous);
    ::freelocale(comma);
}

}  // namespace
