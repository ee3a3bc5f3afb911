// Feeds arbitrary bytes to the command-line parser as arguments (split at zero bytes, as the
// shell hands them over) and checks that names stay exactly as given: every action's value is
// a whole argument or the rest of an option after its letter. Any crash, leak, hang or
// sanitizer report is a finding.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
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
    for (const desktop::CommandLineAction& action : line.actions) {
        if (action.value.empty()) continue;
        bool given = false;
        for (const std::string& argument : arguments) {
            given = given || argument == action.value ||
                    (argument.size() > 2 && argument[0] == '-' &&
                     std::string_view(argument).substr(2) == action.value);
        }
        if (!given) std::abort();
    }
    return 0;
}
