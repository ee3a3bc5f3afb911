#include "desktop/core/OutputGuard.h"

#include <filesystem>
#include <system_error>

namespace desktop {

namespace {

// One spelling per file, whatever folder the name was relative to or which link it went through.
std::string SameFileKey(const std::string& name) {
    std::error_code error;
    std::filesystem::path path = std::filesystem::weakly_canonical(name, error);
    return error ? name : path.string();
}

}  // namespace

void OutputGuard::Wrote(const std::string& input, const std::string& output) {
    m_inputOfOutput[SameFileKey(output)] = SameFileKey(input);
}

bool OutputGuard::NeedsConfirmation(const std::string& input, const std::string& output) const {
    std::error_code error;
    if (!std::filesystem::exists(output, error) && !error) return false;
    auto written = m_inputOfOutput.find(SameFileKey(output));
    return written == m_inputOfOutput.end() || written->second != SameFileKey(input);
}

std::string ReplaceQuestion(const std::string& output) {
    std::filesystem::path path(output);
    std::string folder = path.parent_path().string();
    std::string question = "Replace " + path.filename().string() + "?";
    if (!folder.empty()) question += "\n\nThe file is already in " + folder + ".";
    return question;
}

}  // namespace desktop
