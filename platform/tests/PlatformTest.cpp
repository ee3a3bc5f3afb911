#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <random>
#include <set>
#include <thread>

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

TEST(Utf, BytesThatAreNotUtf8TravelAsLoneSurrogatesAndComeBackWhole) {
    // Latin-1 e-acute, a truncated sequence, an overlong slash, an encoded surrogate, a stray
    // continuation byte, a code point beyond U+10FFFF, and every single high byte.
    const std::string names[] = {"out\xE9.pdf",
                                 "\xC3",
                                 "\xC0\xAF",
                                 "\xED\xB2\x80",
                                 "a\x80"
                                 "b",
                                 "\xF4\x90\x80\x80",
                                 "\xF0\x9F\x98\x80\xFF"};
    for (const std::string& name : names) {
        EXPECT_EQ(platform::Utf16ToUtf8(platform::Utf8ToUtf16(name)), name)
            << testing::PrintToString(name);
    }
    EXPECT_EQ(platform::Utf8ToUtf16("out\xE9.pdf"), u"out\xDCE9.pdf");
    EXPECT_EQ(platform::Utf8ToUtf16("\xC0\xAF"), u"\xDCC0\xDCAF");
    for (int byte = 0; byte < 256; ++byte) {
        std::string text = "x" + std::string(1, static_cast<char>(byte)) + "y";
        EXPECT_EQ(platform::Utf16ToUtf8(platform::Utf8ToUtf16(text)), text) << byte;
    }
    std::mt19937 random(7);
    for (int round = 0; round < 20000; ++round) {
        std::string bytes(random() % 12, '\0');
        for (char& c : bytes)
            c = static_cast<char>(random() % 8 == 0 ? random() % 0x80 : 0x80 + random() % 0x80);
        ASSERT_EQ(platform::Utf16ToUtf8(platform::Utf8ToUtf16(bytes)), bytes);
    }
    // Two names that differ in one invalid byte stay two names.
    EXPECT_NE(platform::Utf8ToUtf16("a\xE9"), platform::Utf8ToUtf16("a\xE8"));
    // Unpaired surrogates outside the escape range are not bytes: they read as U+FFFD.
    EXPECT_EQ(platform::Utf16ToUtf8(std::u16string(1, char16_t(0xD800))), "\xEF\xBF\xBD");
    EXPECT_EQ(platform::Utf16ToUtf8(std::u16string(1, char16_t(0xDC7F))), "\xEF\xBF\xBD");
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

// Reads of every length at every kind of position (inside a cached window, across its end,
// at the file's end, longer than a window), from one handle, a moved one and two threads,
// must give exactly the file's bytes.
TEST(Files, ReadAtGivesTheFilesBytesWhereverItReads) {
    std::string path = platform::UniqueTempName();
    std::string bytes(300001, '\0');
    std::minstd_rand random(11);
    for (char& c : bytes) c = static_cast<char>(random());
    {
        platform::WriteFile out;
        ASSERT_TRUE(out.Create(path));
        out.Write(bytes);
        ASSERT_TRUE(out.Close());
    }
    platform::ReadFile opened;
    ASSERT_TRUE(opened.Open(path));
    platform::ReadFile in(std::move(opened));
    auto check = [&](unsigned seed, int reads) {
        std::minstd_rand pick(seed);
        std::string buffer;
        for (int i = 0; i < reads; ++i) {
            const size_t count = pick() % 5 == 0 ? pick() % 140000 : pick() % 3000;
            const int64_t offset = static_cast<int64_t>(pick() % (bytes.size() + 100));
            buffer.assign(count, '\0');
            const int64_t got = in.ReadAt(offset, buffer.data(), count);
            const size_t expected =
                std::min(count, bytes.size() - std::min(bytes.size(), static_cast<size_t>(offset)));
            ASSERT_EQ(got, static_cast<int64_t>(expected)) << offset << " " << count;
            if (expected == 0) continue;
            ASSERT_EQ(buffer.compare(0, expected, bytes, static_cast<size_t>(offset), expected), 0)
                << offset << " " << count;
        }
    };
    check(1, 4000);
    std::thread other([&] { check(2, 4000); });
    check(3, 4000);
    other.join();
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
