// regsvr: registers (or with -u unregisters) component server modules in the component
// registry and prints each key it set or removed.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "com/Registry.h"
#include "com/RegistryFiles.h"
#include "com/Runtime.h"
#include "com/ServerExports.h"
#include "com/regsvr/RegsvrOptions.h"
#include "platform/SharedLibrary.h"
#include "velmora/Version.h"

namespace {

std::string UsageText() {
    std::string text = "usage: regsvr [-u] [-s] MODULE...\n" + std::string(regsvr::kSummary) + "\n";
    for (const platform::OptionHelp& option : regsvr::kOptions) {
        std::string left = "  " + std::string(option.option);
        left.append(left.size() < 14 ? 14 - left.size() : 1, ' ');
        text += left + std::string(option.text) + "\n";
    }
    return text;
}

struct Options {
    bool unregister = false;
    bool silent = false;
    std::vector<std::string> modules;
};

bool ParseOptions(int argc, char** argv, Options* options) {
    for (int i = 1; i < argc; ++i) {
        std::string argument = argv[i];
        if (argument == "-u") {
            options->unregister = true;
        } else if (argument == "-s") {
            options->silent = true;
        } else if (argument.size() > 1 && argument[0] == '-') {
            return false;
        } else {
            options->modules.push_back(argument);
        }
    }
    return !options->modules.empty();
}

com::Registry Snapshot(const std::string& registryPath) {
    com::Registry registry;
    com::LoadRegistryFile(registryPath, &registry);  // a damaged file shows as empty here
    return registry;
}

// Runs the module's registration entry point; returns the process exit code.
int Process(const std::string& given, const Options& options) {
    std::error_code error;
    std::string path = std::filesystem::absolute(given, error).lexically_normal().string();
    if (!std::filesystem::is_regular_file(path, error)) {
        std::fprintf(stderr, "regsvr: cannot find the module %s\n", given.c_str());
        return 1;
    }
    platform::SharedLibrary module;
    std::string loadError;
    if (!module.Open(path, &loadError)) {
        std::fprintf(stderr, "regsvr: cannot load %s: %s\n", path.c_str(), loadError.c_str());
        return 1;
    }
    const char* entryName =
        options.unregister ? com::kDllUnregisterServer : com::kDllRegisterServer;
    auto* entry = module.Get<com::DllRegisterServerFunction>(entryName);
    if (entry == nullptr) {
        std::fprintf(stderr, "regsvr: %s is not a server module (it exports no %s)\n", path.c_str(),
                     entryName);
        return 1;
    }
    std::string registryPath = com::RegistryPathForWriting();
    com::Registry before = Snapshot(registryPath);
    com::HRESULT hr = entry();
    if (com::FAILED(hr)) {
        std::fprintf(stderr, "regsvr: %s in %s failed: %s (0x%08X)\n", entryName, path.c_str(),
                     com::HresultMessage(hr).c_str(), unsigned(hr));
        return 1;
    }
    if (options.silent) return 0;
    std::printf("regsvr: %s %s %s %s\n", options.unregister ? "unregistered" : "registered",
                path.c_str(), options.unregister ? "from" : "in", registryPath.c_str());
    std::vector<std::string> changes = com::DescribeChanges(before, Snapshot(registryPath));
    if (changes.empty()) std::printf("  (no change)\n");
    for (const std::string& change : changes) std::printf("  %s\n", change.c_str());
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    if (argc == 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
        std::fputs(UsageText().c_str(), stdout);
        return 0;
    }
    if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
        std::fputs(velmora::VersionLine("regsvr").c_str(), stdout);
        return 0;
    }
    if (!ParseOptions(argc, argv, &options)) {
        std::fputs(UsageText().c_str(), stderr);
        return 2;
    }
    com::CoInitialize();
    int exitCode = 0;
    for (const std::string& modulePath : options.modules) {
        exitCode = std::max(exitCode, Process(modulePath, options));
    }
    com::CoUninitialize();
    return exitCode;
}
