#include <algorithm>
#include <cctype>

#include "padwick/PadwickState.h"
#include "platform/Text.h"

std::string GeneratedOutputName(const std::string& tempFolder, const std::string& input,
                                long timeStamp) {
    std::string title(platform::FileNamePart(input));
    std::transform(title.begin(), title.end(), title.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (title.size() >= 4 && title.compare(title.size() - 4, 4, ".pdf") == 0) {
        title.resize(title.size() - 4);
    }
    return tempFolder + title + "_BW_" + std::to_string(timeStamp) + ".pdf";
}
