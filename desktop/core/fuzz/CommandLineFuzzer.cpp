// Feeds arbitrary bytes to the command-line parser as arguments (split at zero bytes, as the
// shell hands them over) and checks that an argument's value form is stable: taking the value
// of a value gives it back. Any crash, leak, hang or sanitizer report is a finding.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "desktop/core/CommandLine.h"

namespace {

constexpr size_t kMaxArguments = 256;

std::vector<std::string> Arguments(const uint8_t* data, size_t size) {
    std::vector<std::string> arguments(1);
    for (size_t i = 0; i < size && arguments.size() <= kMaxArguments; ++i) {
        if (data[i] == 0) {
            arguments.emplace_back();
        } else {
            arguments.back() += static_cast<char>(data[i]);
        }
    }
    return arguments;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::vector<std::string> arguments = Arguments(data, size);
    desktop::CommandLine line = desktop::ParseCommandLine(arguments);
    line.HasQuiet();
    for (const std::string& argument : arguments) {
        const std::string value = desktop::ArgumentValue(argument);
        if (desktop::ArgumentValue(value) != value) std::abort();
    }
    return 0;
}
