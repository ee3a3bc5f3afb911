#include "turnelle/FileList.h"

namespace turnelle {

bool IsFileListName(const std::string& name) {
    constexpr std::string_view kListExtension = ".txt";
    return name.size() <= 4 || name.ends_with(kListExtension);
}

std::string OutputForListLine(const std::string& outputArgument, const std::string& line) {
    if (outputArgument.size() < 2) return {};
    const std::string rest = outputArgument.substr(2);
    switch (outputArgument[1]) {
        case 'f':
            return rest + "/" + line;
        case 'o':
            return rest;
        default:
            return {};
    }
}

bool FileListReader::Open(const std::string& path) {
    m_file.open(path, std::ios::binary);
    return m_file.is_open();
}

bool FileListReader::NextLine(std::string& line) {
    for (;;) {
        line.clear();
        bool sawAnything = false;
        int c;
        while ((c = m_file.get()) != std::char_traits<char>::eof()) {
            sawAnything = true;
            if (c == '\n') break;
            if (c != '\r' && line.size() < kMaxLineLength) line += static_cast<char>(c);
        }
        if (!line.empty()) return true;
        if (!sawAnything) return false;
    }
}

}  // namespace turnelle
