// Loading shared libraries by the names the system gives them.
#include <gtest/gtest.h>

#include "platform/SharedLibrary.h"

TEST(SharedLibraryFileName, WindowsNamesMapToLinuxOnes) {
    struct Case {
        const char* name;
        const char* expected;
    };
    const Case cases[] = {
        {"Padwick.dll", "libpadwick.so"},   {"printpdf.dll", "libprintpdf.so"},
        {"PRINTPDF.DLL", "libprintpdf.so"}, {"libfoo.dll", "libfoo.so"},
        {"libz.so.1", "libz.so.1"},         {"/opt/x/libbar.so", "/opt/x/libbar.so"},
        {"plain", "libplain.so"},
    };
    for (const Case& c : cases) EXPECT_EQ(platform::SharedLibraryFileName(c.name), c.expected);
}

TEST(Library, LoadsFromTheLoaderPathAndFindsSymbols) {
    platform::SharedLibrary zlib;
    ASSERT_TRUE(zlib.OpenByName("libz.so.1")) << zlib.LastError();
    EXPECT_NE(zlib.Symbol("zlibVersion"), nullptr);
    EXPECT_EQ(zlib.Symbol("NoSuchFunctionAnywhere"), nullptr);

    platform::SharedLibrary moved(std::move(zlib));
    EXPECT_FALSE(zlib.IsOpen());
    EXPECT_EQ(zlib.Symbol("zlibVersion"), nullptr);
    EXPECT_NE(moved.Symbol("zlibVersion"), nullptr);
    moved.Close();
    EXPECT_FALSE(moved.IsOpen());
}

TEST(Library, MissingLibraryFailsWithTheLoadersMessage) {
    platform::SharedLibrary library;
    EXPECT_FALSE(library.OpenByName("NoSuchLibraryAnywhere.dll"));
    EXPECT_FALSE(library.IsOpen());
    EXPECT_NE(library.LastError().find("libnosuchlibraryanywhere.so"), std::string::npos)
        << library.LastError();
}

TEST(Library, ProgramFolderIsWhereThisTestRuns) {
    std::string folder = platform::ProgramFolder();
    ASSERT_FALSE(folder.empty());
    EXPECT_EQ(folder.substr(folder.rfind('/')), "/tests");
}
