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

// The longest file name a list line or an engine's name argument may hold (the names were
// held in buffers of 255 characters).
inline constexpr size_t kMaxFileNameLength = 254;

// The most bytes of a list that are read: a list longer than that (or one that never ends,
// such as /dev/zero) is not run past this point.
inline constexpr size_t kMaxFileListBytes = size_t{1} << 20;

// The status text for a name longer than that: "File name longer than 254 characters: '...'\n"
// with the name's start.
std::string NameTooLongMessage(std::string_view name);

// The status text for a list cut at kMaxFileListBytes: "File list longer than 1048576 bytes:
// the rest was not read\n".
std::string FileListTooLongMessage();

// Reads a list line by line. Carriage returns and line feeds are dropped from every line; a
// line longer than `maxLength` is read to its end but reported as too long, and the whole list
// is read only up to kMaxFileListBytes, so a list without line ends or without end never
// grows memory or runs without bound.
class FileListReader {
  public:
    FileListReader(std::istream& in, size_t maxLength) : m_in(in), m_maxLength(maxLength) {}

    struct Line {
        std::string text;
        bool tooLong = false;
        // The list reached kMaxFileListBytes within this line: the line is not to be run and
        // no line follows it.
        bool listTooLong = false;
    };
    // The next line, or nullopt at the end of the list.
    std::optional<Line> Next();

  private:
    std::istream& m_in;
    size_t m_maxLength;
    size_t m_bytesRead = 0;
    bool m_stopped = false;
};

}  // namespace platform
