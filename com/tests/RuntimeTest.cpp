#include <gtest/gtest.h>

#include <thread>

#include "com/ComPtr.h"
#include "com/Registry.h"
#include "com/RegistryFiles.h"
#include "com/Runtime.h"
#include "com/ServerExports.h"
#include "com/tests/CounterInterface.h"
#include "com/tests/ServerTestSupport.h"
#include "testing/ScopedEnvironment.h"
#include "testing/Scratch.h"

namespace {

using namespace com;
using counter_test::CLSID_Counter;
using counter_test::ICounter;
using testing_support::ScratchDir;
using testing_support::WriteWholeFile;

std::string CounterModulePath() {
    return com_test::BuiltModule(counter_test::kModuleName);
}

using com_test::CallModuleEntry;
using com_test::IsLoaded;

// An interface and a class that the counter test server does not have.
constexpr IID kOtherIid = GuidLiteral("{2B7F0C41-6E3A-4F58-9D21-C4E8A7B3F015}");
constexpr CLSID kOtherClsid = GuidLiteral("{7E91D3A2-05B4-4C6F-8A17-3F2D6B9C0E48}");

Registry LoadRegistry(const std::string& path) {
    Registry registry;
    EXPECT_EQ(LoadRegistryFile(path, &registry), S_OK);
    return registry;
}

// Each test has a registry of its own holding the counter server, and COM on its thread.
class RuntimeTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_EQ(CallModuleEntry(CounterModulePath(), kDllRegisterServer), S_OK);
        ASSERT_EQ(CoInitialize(), S_OK);
    }
    void TearDown() override {
        CoUninitialize();
        CoFreeUnusedLibraries();
    }

    void SetRegistryValue(const std::string& key, const std::string& value) {
        ASSERT_EQ(UpdateRegistryFile(
                      m_registryPath,
                      [&](Registry& r) { return r.SetValue(key, "", value) ? S_OK : E_FAIL; }),
                  S_OK);
    }
    std::string ClassKey() const { return "CLSID\\" + ToString(CLSID_Counter); }

    ScratchDir m_scratch;
    std::string m_registryPath = m_scratch.File("registry");
    testing_support::ScopedEnvironment m_registry{"VELMORA_REGISTRY", m_registryPath};
};

TEST_F(RuntimeTest, RegistrationWritesEveryKeyAndUnregistrationRemovesThem) {
    Registry registry = LoadRegistry(m_registryPath);
    const std::string clsid = ToString(CLSID_Counter);
    const std::string libKey = "TypeLib\\" + ToString(counter_test::LIBID_CounterLib) + "\\2.1";
    const std::string interfaceKey = "Interface\\" + ToString(ICounter::kIid);
    struct Expected {
        std::string key, name, value;
    };
    const Expected expected[] = {
        {"ComTest.Counter.1", "", "Counter Class"},
        {"ComTest.Counter.1\\CLSID", "", clsid},
        {"ComTest.Counter", "", "Counter Class"},
        {"ComTest.Counter\\CLSID", "", clsid},
        {"ComTest.Counter\\CurVer", "", "ComTest.Counter.1"},
        {ClassKey(), "", "Counter Class"},
        {ClassKey() + "\\ProgID", "", "ComTest.Counter.1"},
        {ClassKey() + "\\VersionIndependentProgID", "", "ComTest.Counter"},
        {ClassKey() + "\\InprocServer32", "", CounterModulePath()},
        {ClassKey() + "\\InprocServer32", "ThreadingModel", "Apartment"},
        {ClassKey() + "\\TypeLib", "", ToString(counter_test::LIBID_CounterLib)},
        {libKey, "", "Counter test library"},
        {libKey + "\\0\\linux", "", CounterModulePath()},
        {libKey + "\\FLAGS", "", "0"},
        {interfaceKey, "", "ICounter"},
        {interfaceKey + "\\TypeLib", "Version", "2.1"},
    };
    for (const Expected& e : expected) {
        EXPECT_EQ(registry.GetValue(e.key, e.name), e.value) << e.key << " " << e.name;
    }
    EXPECT_TRUE(registry.HasKey(ClassKey() + "\\Programmable"));

    // Registering twice changes nothing; unregistering leaves an empty registry.
    ASSERT_EQ(CallModuleEntry(CounterModulePath(), kDllRegisterServer), S_OK);
    EXPECT_EQ(LoadRegistry(m_registryPath).AllKeys(), registry.AllKeys());
    ASSERT_EQ(CallModuleEntry(CounterModulePath(), kDllUnregisterServer), S_OK);
    EXPECT_TRUE(LoadRegistry(m_registryPath).AllKeys().empty());
}

TEST_F(RuntimeTest, UnregistrationKeepsOtherServersKeys) {
    SetRegistryValue("Other.Server\\CLSID", "{other}");
    ASSERT_EQ(CallModuleEntry(CounterModulePath(), kDllUnregisterServer), S_OK);
    Registry registry = LoadRegistry(m_registryPath);
    EXPECT_EQ(registry.AllKeys().size(), 1u);
    EXPECT_TRUE(registry.HasKey("Other.Server\\CLSID"));
}

TEST_F(RuntimeTest, CreatesByClassIdentifierAndCallsThroughBothPaths) {
    ComPtr<IUnknown> unknown;
    ASSERT_EQ(CoCreateInstance(CLSID_Counter, nullptr, CLSCTX_ALL, IUnknown::kIid, unknown.Put()),
              S_OK);
    EXPECT_EQ(OleRun(unknown.Get()), S_OK);
    ComPtr<ICounter> counter;
    ASSERT_EQ(unknown.As(&counter), S_OK);
    EXPECT_EQ(counter->put_step(2), S_OK);
    EXPECT_EQ(counter->put_label(Bstr(u"pages").Get()), S_OK);

    const char16_t* name = u"STEP";
    DISPID step = 0;
    ASSERT_EQ(counter->GetIDsOfNames(&name, 1, &step), S_OK);
    Variant three = Variant::Long(3);
    EXPECT_EQ(counter->Invoke(step, DISPATCH_PROPERTYPUT, {&three, 1}, nullptr), S_OK);

    Bstr prefix(u"total: "), text;
    ASSERT_EQ(counter->describe(prefix.Get(), text.Out()), S_OK);
    EXPECT_EQ(text.ToUtf8(), "total: pages=5");
    ASSERT_EQ(counter->explode(text.Out()), S_OK);
    EXPECT_EQ(text.ToUtf8(), "Unexpected exception");
}

TEST_F(RuntimeTest, CreationFailuresGiveTheirCodesAndNoObject) {
    constexpr CLSID kUnknownClass = GuidLiteral("{00000000-1111-2222-3333-444444444444}");
    void* object = reinterpret_cast<void*>(1);
    EXPECT_EQ(CoCreateInstance(kUnknownClass, nullptr, CLSCTX_ALL, IUnknown::kIid, &object),
              REGDB_E_CLASSNOTREG);
    EXPECT_EQ(object, nullptr);
    EXPECT_EQ(
        CoCreateInstance(CLSID_Counter, nullptr, CLSCTX_LOCAL_SERVER, IUnknown::kIid, &object),
        REGDB_E_CLASSNOTREG);
    EXPECT_EQ(CoCreateInstance(CLSID_Counter, nullptr, CLSCTX_ALL, IUnknown::kIid, nullptr),
              E_POINTER);

    ComPtr<IUnknown> outer;
    ASSERT_EQ(CoCreateInstance(CLSID_Counter, nullptr, CLSCTX_ALL, IUnknown::kIid, outer.Put()),
              S_OK);
    EXPECT_EQ(CoCreateInstance(CLSID_Counter, outer.Get(), CLSCTX_ALL, IUnknown::kIid, &object),
              CLASS_E_NOAGGREGATION);
    EXPECT_EQ(object, nullptr);
}

TEST_F(RuntimeTest, BrokenServerRegistrationsGiveTheirCodes) {
    std::string textFile = m_scratch.File("libfake.so");
    WriteWholeFile(textFile, "not a shared library");
    struct Case {
        std::string modulePath;
        HRESULT expected;
    };
    const Case cases[] = {
        {m_scratch.File("libmissing.so"), CO_E_MODULENOTFOUND},
        {textFile, CO_E_BADMODULE},
        {testing_support::BuildDir() + "/tests/libcomtestnotaserver.so", CO_E_ERRORINDLL},
    };
    for (const Case& c : cases) {
        SetRegistryValue(ClassKey() + "\\InprocServer32", c.modulePath);
        void* object = reinterpret_cast<void*>(1);
        EXPECT_EQ(CoCreateInstance(CLSID_Counter, nullptr, CLSCTX_ALL, IUnknown::kIid, &object),
                  c.expected)
            << c.modulePath;
        EXPECT_EQ(object, nullptr);
        EXPECT_EQ(HresultMessage(c.expected).find("Unknown"), std::string::npos);
    }
}

TEST_F(RuntimeTest, DamagedRegistryIsReportedAsUnreadable) {
    WriteWholeFile(m_registryPath, "[CLSID]\nthis is no value\n");
    ComPtr<IUnknown> unknown;
    EXPECT_EQ(CoCreateInstance(CLSID_Counter, nullptr, CLSCTX_ALL, IUnknown::kIid, unknown.Put()),
              REGDB_E_READREGDB);
}

TEST_F(RuntimeTest, MissingInterfaceLeavesNoObjectAndLetsTheModuleGo) {
    ComPtr<IUnknown> other;
    EXPECT_EQ(CoCreateInstance(CLSID_Counter, nullptr, CLSCTX_ALL, kOtherIid, other.Put()),
              E_NOINTERFACE);
    EXPECT_FALSE(other);
    CoFreeUnusedLibraries();
    EXPECT_FALSE(IsLoaded(CounterModulePath()));
}

TEST_F(RuntimeTest, ServerUnloadsOnlyWhenNothingOfItIsAlive) {
    ComPtr<ICounter> counter;
    ASSERT_EQ(CoCreateInstance(CLSID_Counter, nullptr, CLSCTX_ALL, ICounter::kIid, counter.Put()),
              S_OK);
    CoFreeUnusedLibraries();
    EXPECT_TRUE(IsLoaded(CounterModulePath()));
    EXPECT_EQ(counter->put_step(1), S_OK);  // still callable after the attempt to unload
    counter.Reset();

    ComPtr<IClassFactory> factory;
    ASSERT_EQ(CoGetClassObject(CLSID_Counter, CLSCTX_INPROC_SERVER, IClassFactory::kIid,
                               reinterpret_cast<void**>(factory.Put())),
              S_OK);
    EXPECT_EQ(factory->LockServer(true), S_OK);
    factory.Reset();
    CoFreeUnusedLibraries();
    EXPECT_TRUE(IsLoaded(CounterModulePath()));  // the lock keeps it

    ASSERT_EQ(CoGetClassObject(CLSID_Counter, CLSCTX_INPROC_SERVER, IClassFactory::kIid,
                               reinterpret_cast<void**>(factory.Put())),
              S_OK);
    EXPECT_EQ(factory->LockServer(false), S_OK);
    factory.Reset();
    CoFreeUnusedLibraries();
    EXPECT_FALSE(IsLoaded(CounterModulePath()));
}

TEST_F(RuntimeTest, LastUninitializeUnloadsUnusedServers) {
    ComPtr<ICounter> counter;
    ASSERT_EQ(CoCreateInstance(CLSID_Counter, nullptr, CLSCTX_ALL, ICounter::kIid, counter.Put()),
              S_OK);
    counter.Reset();
    EXPECT_EQ(CoInitialize(), S_FALSE);  // nested
    CoUninitialize();
    EXPECT_TRUE(IsLoaded(CounterModulePath()));
    CoUninitialize();
    EXPECT_FALSE(IsLoaded(CounterModulePath()));
    ASSERT_EQ(CoInitialize(), S_OK);  // for TearDown
}

TEST_F(RuntimeTest, ThreadsWithoutComOrForeignToTheObjectAreRefused) {
    ComPtr<ICounter> counter;
    ASSERT_EQ(CoCreateInstance(CLSID_Counter, nullptr, CLSCTX_ALL, ICounter::kIid, counter.Put()),
              S_OK);
    HRESULT creation = S_OK, call = S_OK, initialisedCall = S_OK;
    std::thread other([&] {
        void* object = nullptr;
        creation = CoCreateInstance(CLSID_Counter, nullptr, CLSCTX_ALL, IUnknown::kIid, &object);
        call = counter->put_step(1);
        CoInitialize();
        initialisedCall = counter->put_step(1);
        CoUninitialize();
    });
    other.join();
    EXPECT_EQ(creation, CO_E_NOTINITIALIZED);
    EXPECT_EQ(call, RPC_E_WRONG_THREAD);
    EXPECT_EQ(initialisedCall, RPC_E_WRONG_THREAD);
}

TEST_F(RuntimeTest, ProgIdsAndTheTypeLibraryResolveThroughTheRegistry) {
    CLSID clsid;
    ASSERT_EQ(CLSIDFromProgID("ComTest.Counter", &clsid), S_OK);
    EXPECT_EQ(clsid, CLSID_Counter);
    EXPECT_EQ(CLSIDFromProgID("No.Such.Class", &clsid), REGDB_E_CLASSNOTREG);

    TypeLibrary library;
    ASSERT_EQ(LoadRegTypeLib(counter_test::LIBID_CounterLib, 2, 1, &library), S_OK);
    EXPECT_EQ(WriteTypeLibraryText(library),
              WriteTypeLibraryText(counter_test::CounterTypeLibrary().Library()));
    EXPECT_EQ(LoadRegTypeLib(counter_test::LIBID_CounterLib, 1, 0, &library),
              TYPE_E_LIBNOTREGISTERED);
}

TEST_F(RuntimeTest, UnregisteredClassFallsBackToTheModuleBesideTheProgram) {
    ASSERT_EQ(CallModuleEntry(CounterModulePath(), kDllUnregisterServer), S_OK);
    ComPtr<ICounter> counter;
    ASSERT_EQ(CreateRegisteredOrBeside(CLSID_Counter, counter_test::kModuleName, ICounter::kIid,
                                       reinterpret_cast<void**>(counter.Put())),
              S_OK);
    EXPECT_EQ(counter->put_step(1), S_OK);
    EXPECT_EQ(CreateRegisteredOrBeside(CLSID_Counter, "libnosuchserver.so", ICounter::kIid,
                                       reinterpret_cast<void**>(counter.Put())),
              CO_E_MODULENOTFOUND);
    // The module serves its own class only.
    EXPECT_EQ(CreateRegisteredOrBeside(kOtherClsid, counter_test::kModuleName, IUnknown::kIid,
                                       reinterpret_cast<void**>(counter.Put())),
              CLASS_E_CLASSNOTAVAILABLE);
}

TEST(BuildRegistry, TheBuildRegisteredTheTestServer) {
    ScratchDir emptyConfig;
    testing_support::ScopedEnvironment noOverride("VELMORA_REGISTRY", "");
    testing_support::ScopedEnvironment config("XDG_CONFIG_HOME", emptyConfig.Path());
    ASSERT_EQ(CoInitialize(), S_OK);
    {
        ComPtr<ICounter> counter;
        EXPECT_EQ(
            CoCreateInstance(CLSID_Counter, nullptr, CLSCTX_ALL, ICounter::kIid, counter.Put()),
            S_OK);
    }
    CoUninitialize();
}

}  // namespace
