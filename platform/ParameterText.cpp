#include "platform/ParameterText.h"

namespace platform {

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

}  // namespace

std::vector<std::string> SplitParameterText(std::string_view text) {
    std::vector<std::string> arguments;
    size_t i = 0;
    while (true) {
        while (i < text.size() && IsBlank(text[i])) ++i;
        if (i >= text.size()) break;
        std::string argument;
        bool quoted = false;
        while (i < text.size() && (quoted || !IsBlank(text[i]))) {
            size_t backslashes = 0;
            while (i < text.size() && text[i] == '\\') ++backslashes, ++i;
            if (i < text.size() && text[i] == '"') {
                argument.append(backslashes / 2, '\\');
                if (backslashes % 2 == 1) {
                    argument += '"';
                } else if (quoted && i + 1 < text.size() && text[i + 1] == '"') {
                    argument += '"';  // a doubled quote inside a group
                    ++i;
                } else {
                    quoted = !quoted;
                }
                ++i;
            } else {
                argument.append(backslashes, '\\');
                if (backslashes == 0) argument += text[i++];
            }
        }
        arguments.push_back(std::move(argument));
    }
    return arguments;
}

std::string QuoteArgument(std::string_view argument) {
    std::string quoted = "\"";
    size_t backslashes = 0;
    for (char c : argument) {
        if (c == '\\') {
            ++backslashes;
            continue;
        }
        // Backslashes before a quote are doubled, and the quote escaped.
        quoted.append(c == '"' ? backslashes * 2 + 1 : backslashes, '\\');
        backslashes = 0;
        quoted += c;
    }
    quoted.append(backslashes * 2, '\\');  // they stand before the closing quote
    quoted += '"';
    return quoted;
}

}  // namespace platform
