#include <gtest/gtest.h>

#include <filesystem>

#include "com/Registry.h"
#include "com/RegistryFiles.h"
#include "com/tests/CounterInterface.h"
#include "testing/Scratch.h"
#include "testing/Tools.h"

namespace {

using testing_support::BuildDir;
using testing_support::ShellQuote;

class RegsvrTest : public ::testing::Test {
  protected:
    testing_support::CommandResult Regsvr(const std::string& arguments) {
        return testing_support::Run("VELMORA_REGISTRY=" + ShellQuote(m_registryPath) + " " +
                                    ShellQuote(BuildDir() + "/bin/regsvr") + " " + arguments +
                                    " 2>&1");
    }
    com::Registry Registry() {
        com::Registry registry;
        EXPECT_EQ(com::LoadRegistryFile(m_registryPath, &registry), com::S_OK);
        return registry;
    }

    testing_support::ScratchDir m_scratch;
    std::string m_registryPath = m_scratch.File("registry");
    std::string m_module = BuildDir() + "/lib/velmora/" + counter_test::kModuleName;
};

TEST_F(RegsvrTest, RegistersAndUnregistersPrintingEachKey) {
    testing_support::CommandResult result = Regsvr(ShellQuote(m_module));
    ASSERT_EQ(result.exitCode, 0) << result.output;
    EXPECT_NE(result.output.find("regsvr: registered " + m_module + " in " + m_registryPath),
              std::string::npos)
        << result.output;
    EXPECT_NE(result.output.find("  set [CLSID\\{5C3F30FE-CFE0-4697-9F1C-B87713FEA7F6}"
                                 "\\InprocServer32] @ = " +
                                 m_module),
              std::string::npos)
        << result.output;
    EXPECT_NE(result.output.find("  created [CLSID\\{5C3F30FE-CFE0-4697-9F1C-B87713FEA7F6}"
                                 "\\Programmable]"),
              std::string::npos)
        << result.output;
    EXPECT_TRUE(Registry().HasKey("ComTest.Counter\\CurVer"));

    result = Regsvr(ShellQuote(m_module));
    EXPECT_NE(result.output.find("(no change)"), std::string::npos) << result.output;

    result = Regsvr("-u " + ShellQuote(m_module));
    ASSERT_EQ(result.exitCode, 0) << result.output;
    EXPECT_NE(result.output.find("regsvr: unregistered " + m_module + " from " + m_registryPath),
              std::string::npos);
    EXPECT_NE(result.output.find("  removed [ComTest.Counter\\CurVer]"), std::string::npos);
    EXPECT_TRUE(Registry().AllKeys().empty());
}

TEST_F(RegsvrTest, RefusesWhatIsNoServerAndSaysWhy) {
    struct Case {
        std::string arguments;
        int exitCode;
        std::string message;
    };
    std::string notAServer = BuildDir() + "/tests/libcomtestnotaserver.so";
    testing_support::WriteWholeFile(m_scratch.File("text.so"), "plain text");
    const Case cases[] = {
        {"", 2, "usage: regsvr"},
        {"-x " + ShellQuote(m_module), 2, "usage: regsvr"},
        {ShellQuote(m_scratch.File("missing.so")), 1, "regsvr: cannot find the module"},
        {ShellQuote(m_scratch.File("text.so")), 1, "regsvr: cannot load"},
        {ShellQuote(notAServer), 1, "is not a server module (it exports no DllRegisterServer)"},
    };
    for (const Case& c : cases) {
        testing_support::CommandResult result = Regsvr(c.arguments);
        EXPECT_EQ(result.exitCode, c.exitCode) << c.arguments << "\n" << result.output;
        EXPECT_NE(result.output.find(c.message), std::string::npos) << result.output;
    }
    EXPECT_FALSE(std::filesystem::exists(m_registryPath));
}

TEST_F(RegsvrTest, DamagedRegistryIsLeftAloneAndTheFailureShown) {
    testing_support::WriteWholeFile(m_registryPath, "[Key]\nbroken\n");
    testing_support::CommandResult result = Regsvr(ShellQuote(m_module));
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_NE(result.output.find("Could not write key to registry (0x80040151)"), std::string::npos)
        << result.output;
    EXPECT_NE(result.output.find("is damaged: line 2"), std::string::npos) << result.output;
    EXPECT_EQ(testing_support::ReadWholeFile(m_registryPath), "[Key]\nbroken\n");
}

}  // namespace
