// The file-list form of an engine's input name: a plain-text list of input files, one a line,
// run one after the other, with each line's output name derived from the output argument.
// Both engines read their lists here.
#pragma once

#include <istream>
#include <optional>
#include <string>
#include <string_view>

namespace platform {

// A name ending in ".txt", or of four characters or fewer, names a file list.
bool IsFileListName(std::string_view inputName);

// The output name of one list line. The output argument's second character chooses the form,
// its rest is a path: 'f' gives "path/line" (a folder), 'o' gives "path" (one file for every
// line); any other form gives an empty name.
std::string ListLineOutputName(std::string_view outputArgument, std::string_view line);

// Reads a list line by line. Carriage returns and line feeds are dropped from every line; a
// line longer than `maxLength` is read to its end but reported as too long, so a list without
// line ends never grows memory without bound.
// The longest file name a list line or an engine's name argument may hold (the names were
// held in buffers of 255 characters).
inline constexpr size_t kMaxFileNameLength = 254;

// The status text for a name longer than that: "File name longer than 254 characters: '...'\n"
// with the name's start.
std::string NameTooLongMessage(std::string_view name);

class FileListReader {
  public:
    FileListReader(std::istream& in, size_t maxLength) : m_in(in), m_maxLength(maxLength) {}

    struct Line {
        std::string text;
        bool tooLong = false;
    };
    // The next line, or nullopt at the end of the list.
    std::optional<Line> Next();

  private:
    std::istream& m_in;
    size_t m_maxLength;
};

}  // namespace platform
