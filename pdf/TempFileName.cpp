#include "pdf/TempFileName.h"

#include <algorithm>

#include "platform/TempFiles.h"

namespace {
// File names may not exceed 255 bytes; keep the end of a long output path, where the
// file's own name is.
constexpr size_t kMaxOutputPart = 160;
}  // namespace

std::string MakeTempFileName(const std::string& outputFileName) {
    std::string output = outputFileName;
    output.erase(
        std::remove_if(output.begin(), output.end(), [](char c) { return c == '/' || c == '\\'; }),
        output.end());
    if (output.size() > kMaxOutputPart) output.erase(0, output.size() - kMaxOutputPart);
    std::string name = output + "_temp_" + platform::UniqueTempName() + "tmp";
    name.erase(
        std::remove_if(name.begin(), name.end(), [](char c) { return c == '/' || c == '\\'; }),
        name.end());
    return name;
}
