#include "platform/TempFileName.h"

#include <algorithm>
#include <cctype>

#include "platform/TempFiles.h"
#include "platform/Text.h"

namespace {

// File names may not exceed 255 bytes; keep the end of a long output path, where the
// file's own name is.
constexpr size_t kMaxOutputPart = 160;
constexpr char kMarker[] = "_temp_";

std::string WithoutSeparators(std::string text) {
    text.erase(
        std::remove_if(text.begin(), text.end(), [](char c) { return c == '/' || c == '\\'; }),
        text.end());
    return text;
}

std::string OutputPart(const std::string& outputFileName) {
    std::string output = WithoutSeparators(outputFileName);
    if (output.size() > kMaxOutputPart) output.erase(0, output.size() - kMaxOutputPart);
    return output;
}

std::string FolderOf(const std::string& outputFileName) {
    return std::string(platform::FolderPart(outputFileName));
}

// "...v<pid>.<serial>tmp": the end every unique temporary name gives.
bool EndsAsUniqueName(const std::string& rest) {
    if (rest.size() < 3 || rest.compare(rest.size() - 3, 3, "tmp") != 0) return false;
    size_t end = rest.size() - 3;
    size_t serial = end;
    while (serial > 0 && std::isdigit(static_cast<unsigned char>(rest[serial - 1]))) --serial;
    if (serial == end || serial == 0 || rest[serial - 1] != '.') return false;
    size_t pid = serial - 1;
    size_t pidStart = pid;
    while (pidStart > 0 && std::isdigit(static_cast<unsigned char>(rest[pidStart - 1]))) --pidStart;
    return pidStart < pid && pidStart > 0 && rest[pidStart - 1] == 'v';
}

}  // namespace

std::string MakeTempFileName(const std::string& outputFileName) {
    return WithoutSeparators(OutputPart(outputFileName) + kMarker + platform::UniqueTempName() +
                             "tmp");
}

std::string MakeTempFileNameBeside(const std::string& outputFileName) {
    return FolderOf(outputFileName) + MakeTempFileName(outputFileName);
}

bool IsTempFileNameBeside(const std::string& name, const std::string& outputFileName) {
    std::string prefix = FolderOf(outputFileName) + OutputPart(outputFileName) + kMarker;
    if (name.size() <= prefix.size() || name.compare(0, prefix.size(), prefix) != 0) return false;
    std::string rest = name.substr(prefix.size());
    return rest.find_first_of("/\\") == std::string::npos && EndsAsUniqueName(rest);
}
