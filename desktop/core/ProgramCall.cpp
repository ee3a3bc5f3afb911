#include "desktop/core/ProgramCall.h"

#include "platform/RunAndWait.h"

namespace desktop {

void CallBuilder::Option(std::string_view text, std::string argument) {
    m_text += text;
    m_arguments.push_back(std::move(argument));
}

void CallBuilder::EndOfOptions() {
    m_arguments.emplace_back(platform::kEndOfOptions);
}

void CallBuilder::File(std::string_view separator, std::string_view name) {
    std::string path = platform::FileArgument(name);
    Option(std::string(separator) + "\"" + path + "\"", path);
}

void CallBuilder::GluedFile(std::string_view separator, std::string_view option,
                            std::string_view name) {
    std::string path = platform::FileArgument(name);
    Option(std::string(separator) + std::string(option) + "\"" + path + "\"",
           std::string(option) + path);
}

ProgramCall CallBuilder::Build(std::string program) const {
    return {std::move(program), m_text, m_arguments};
}

std::string FileTitle(std::string_view name) {
    size_t slash = name.find_last_of("/\\");
    return std::string(slash == std::string_view::npos ? name : name.substr(slash + 1));
}

}  // namespace desktop
