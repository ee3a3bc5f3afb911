#include <gtest/gtest.h>
#include <filesystem>
#include <thread>
#include <vector>

#include "com/Registry.h"
#include "com/RegistryFiles.h"
#include "testing/ScopedEnvironment.h"
#include "testing/Scratch.h"

namespace {

using namespace com;
using testing_support::ReadWholeFile;
using testing_support::ScopedEnvironment;
using testing_support::ScratchDir;
using testing_support::WriteWholeFile;

TEST(Registry, TextRoundTripsKeysValuesAndMarkerKeys) {
    Registry registry;
    ASSERT_TRUE(registry.SetValue("CLSID\\{X}\\InprocServer32", "", "/lib/libx.so"));
    ASSERT_TRUE(registry.SetValue("CLSID\\{X}\\InprocServer32", "ThreadingModel", "Apartment"));
    ASSERT_TRUE(registry.CreateKey("CLSID\\{X}\\Programmable"));
    ASSERT_TRUE(registry.SetValue("Odd", "", "value = with = equals"));

    Registry reread;
    std::string error;
    ASSERT_TRUE(reread.Parse(registry.Text(), &error)) << error;
    EXPECT_EQ(reread.GetValue("clsid\\{x}\\inprocserver32"), "/lib/libx.so");  // any case
    EXPECT_EQ(reread.GetValue("CLSID\\{X}\\InprocServer32", "threadingmodel"), "Apartment");
    EXPECT_TRUE(reread.HasKey("CLSID\\{X}\\Programmable"));
    EXPECT_EQ(reread.GetValue("Odd"), "value = with = equals");
    EXPECT_EQ(reread.AllKeys(), registry.AllKeys());
}

TEST(Registry, RefusesValuesThatWouldBreakTheFile) {
    Registry registry;
    EXPECT_FALSE(registry.SetValue("Key", "", "two\nlines"));
    EXPECT_FALSE(registry.SetValue("Key", "a=b", "x"));
    EXPECT_FALSE(registry.SetValue("Key", "[fake]", "x"));
    EXPECT_FALSE(registry.SetValue("Key", "@", "x"));
    EXPECT_FALSE(registry.SetValue("line\nbreak", "", "x"));
    EXPECT_TRUE(registry.AllKeys().empty());
}

TEST(Registry, MalformedTextIsRefusedWithItsLine) {
    Registry registry;
    std::string error;
    EXPECT_FALSE(registry.Parse("# comment\n[Key]\n@=1\nnot a value\n", &error));
    EXPECT_EQ(error, "line 4 is neither a [key] nor a value");
    EXPECT_FALSE(registry.Parse("@=value before any key\n", &error));
    EXPECT_TRUE(registry.Parse("\r\n[Key]\r\n@=1\r\n", &error));  // written on another system
    EXPECT_EQ(registry.GetValue("Key"), "1");
}

TEST(Registry, DeleteTreeTakesSubkeysButNotSiblingsWithTheSamePrefix) {
    Registry registry;
    for (const char* key : {"A", "A\\B", "A\\B\\C", "A2", "A2\\B", "AB", "B"}) {
        registry.SetValue(key, "", key);
    }
    EXPECT_TRUE(registry.DeleteTree("a"));
    EXPECT_FALSE(registry.HasKey("A\\B\\C"));
    EXPECT_FALSE(registry.HasKey("A"));
    for (const char* key : {"A2", "A2\\B", "AB", "B"}) EXPECT_TRUE(registry.HasKey(key)) << key;
    EXPECT_FALSE(registry.DeleteTree("A"));
    EXPECT_TRUE(registry.HasSubkeys("A2"));
    EXPECT_FALSE(registry.HasSubkeys("AB"));
}

TEST(Registry, DescribesEveryChange) {
    Registry before, after;
    before.SetValue("Kept", "", "same");
    before.SetValue("Changed", "", "old");
    before.SetValue("Changed", "Gone", "x");
    before.SetValue("Removed", "", "r");
    after.SetValue("Kept", "", "same");
    after.SetValue("Changed", "", "new");
    after.SetValue("Added", "Name", "v");
    after.CreateKey("Marker");
    EXPECT_EQ(DescribeChanges(before, after),
              (std::vector<std::string>{"set [Added] Name = v", "set [Changed] @ = new",
                                        "removed [Changed] Gone", "created [Marker]",
                                        "removed [Removed]"}));
}

TEST(RegistryFiles, ReadingOrderAndWritingChoice) {
    ScratchDir scratch;
    ScopedEnvironment noOverride("VELMORA_REGISTRY", "");
    ScopedEnvironment config("XDG_CONFIG_HOME", scratch.File("config"));
    std::string user = scratch.File("config") + "/velmora/registry";
    std::vector<std::string> paths = RegistryPathsForReading();
    ASSERT_EQ(paths.size(), 2u);
    EXPECT_EQ(paths[0], user);
    // The installation's file beside its modules: build/lib/velmora/registry.
    EXPECT_EQ(paths[1], testing_support::BuildDir() + "/lib/velmora/registry");
    // The build registered the test server there, so the installation's file exists and is
    // chosen for writing until the user has a file of their own.
    EXPECT_EQ(RegistryPathForWriting(), paths[1]);
    std::filesystem::create_directories(scratch.File("config/velmora"));
    WriteWholeFile(user, "");
    EXPECT_EQ(RegistryPathForWriting(), user);

    ScopedEnvironment chosen("VELMORA_REGISTRY", scratch.File("chosen"));
    EXPECT_EQ(RegistryPathsForReading(), std::vector<std::string>{scratch.File("chosen")});
    EXPECT_EQ(RegistryPathForWriting(), scratch.File("chosen"));
}

TEST(RegistryFiles, UserValuesWinOverTheInstallation) {
    ScratchDir scratch;
    ScopedEnvironment noOverride("VELMORA_REGISTRY", "");
    ScopedEnvironment config("XDG_CONFIG_HOME", scratch.Path());
    std::string user = scratch.File("velmora/registry");
    ASSERT_EQ(UpdateRegistryFile(user,
                                 [](Registry& r) {
                                     r.SetValue("ComTest.Counter\\CLSID", "", "{mine}");
                                     return S_OK;
                                 }),
              S_OK);
    std::string value;
    EXPECT_EQ(ReadRegistryValue("ComTest.Counter\\CLSID", "", &value), S_OK);
    EXPECT_EQ(value, "{mine}");
    // What the user's file lacks still comes from the installation's.
    EXPECT_EQ(ReadRegistryValue("ComTest.Counter.1\\CLSID", "", &value), S_OK);
    EXPECT_EQ(value, "{5C3F30FE-CFE0-4697-9F1C-B87713FEA7F6}");
    EXPECT_EQ(ReadRegistryValue("No\\Such\\Key", "", &value), S_FALSE);
}

TEST(RegistryFiles, DamagedFileIsNeitherReadNorOverwritten) {
    ScratchDir scratch;
    std::string path = scratch.File("registry");
    WriteWholeFile(path, "[Key]\n@=1\ngarbage line\n");
    ScopedEnvironment chosen("VELMORA_REGISTRY", path);
    std::string value;
    EXPECT_EQ(ReadRegistryValue("Key", "", &value), REGDB_E_READREGDB);
    std::string error;
    HRESULT hr = UpdateRegistryFile(
        path, [](Registry& r) { return r.SetValue("New", "", "x") ? S_OK : E_FAIL; }, &error);
    EXPECT_EQ(hr, REGDB_E_WRITEREGDB);
    EXPECT_NE(error.find("line 3"), std::string::npos) << error;
    EXPECT_EQ(ReadWholeFile(path), "[Key]\n@=1\ngarbage line\n");
}

TEST(RegistryFiles, NonRegularFileIsNotReadAsARegistry) {
    ScopedEnvironment chosen("VELMORA_REGISTRY", "/dev/zero");
    std::string value;
    EXPECT_EQ(ReadRegistryValue("Key", "", &value), REGDB_E_READREGDB);
}

TEST(RegistryFiles, FailedChangeLeavesTheFileAsItWas) {
    ScratchDir scratch;
    std::string path = scratch.File("registry");
    ASSERT_EQ(UpdateRegistryFile(
                  path, [](Registry& r) { return r.SetValue("K", "", "1") ? S_OK : E_FAIL; }),
              S_OK);
    std::string before = ReadWholeFile(path);
    EXPECT_EQ(UpdateRegistryFile(path,
                                 [](Registry& r) {
                                     r.DeleteTree("K");
                                     return E_INVALIDARG;
                                 }),
              E_INVALIDARG);
    EXPECT_EQ(ReadWholeFile(path), before);
}

TEST(RegistryFiles, ConcurrentChangesAreAllKept) {
    ScratchDir scratch;
    std::string path = scratch.File("sub/folder/registry");  // folders are made as needed
    std::vector<std::thread> writers;
    for (int w = 0; w < 4; ++w) {
        writers.emplace_back([&, w] {
            for (int i = 0; i < 25; ++i) {
                std::string key = "W" + std::to_string(w) + "\\" + std::to_string(i);
                UpdateRegistryFile(
                    path, [&](Registry& r) { return r.SetValue(key, "", "v") ? S_OK : E_FAIL; });
            }
        });
    }
    for (std::thread& writer : writers) writer.join();
    Registry registry;
    ASSERT_EQ(LoadRegistryFile(path, &registry), S_OK);
    EXPECT_EQ(registry.AllKeys().size(), 100u);
}

}  // namespace
