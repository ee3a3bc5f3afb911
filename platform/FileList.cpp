#include "platform/FileList.h"

namespace platform {

bool IsFileListName(std::string_view inputName) {
    return inputName.size() <= 4 || inputName.ends_with(".txt");
}

std::string ListLineOutputName(std::string_view outputArgument, std::string_view line) {
    if (outputArgument.size() < 2) return {};
    std::string path(outputArgument.substr(2));
    switch (outputArgument[1]) {
        case 'f':
            return path + "/" + std::string(line);
        case 'o':
            return path;
        default:
            return {};
    }
}

std::string NameTooLongMessage(std::string_view name) {
    std::string shown(name.substr(0, 60));
    if (name.size() > 60) shown += "...";
    return "File name longer than " + std::to_string(kMaxFileNameLength) + " characters: '" +
           shown + "'\n";
}

std::string FileListTooLongMessage() {
    return "File list longer than " + std::to_string(kMaxFileListBytes) +
           " bytes: the rest was not read\n";
}

std::optional<FileListReader::Line> FileListReader::Next() {
    if (m_stopped) return std::nullopt;
    Line line;
    bool any = false;
    for (int c = m_in.get(); c != std::char_traits<char>::eof(); c = m_in.get()) {
        any = true;
        if (++m_bytesRead > kMaxFileListBytes) {
            m_stopped = true;
            line.listTooLong = true;
            return line;
        }
        if (c == '\n') return line;
        if (c == '\r') continue;
        if (line.text.size() < m_maxLength) {
            line.text.push_back(static_cast<char>(c));
        } else {
            line.tooLong = true;
        }
    }
    if (!any) return std::nullopt;
    return line;
}

}  // namespace platform
