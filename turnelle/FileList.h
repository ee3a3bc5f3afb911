// The file-list form of the rotation call: an input name that stands for a text file listing
// one input PDF a line, and the output argument that says where each line's output goes.
#pragma once

#include <fstream>
#include <string>

namespace turnelle {

// A name ending in ".txt", or of four characters or fewer, names a file list.
bool IsFileListName(const std::string& name);

// The output of the run for list line `line`: with 'f' as the second character of
// `outputArgument`, the folder from its third character on joined with the line; with 'o',
// that text itself; otherwise an empty name (whose creation then fails).
std::string OutputForListLine(const std::string& outputArgument, const std::string& line);

// Reads a list line by line, bytes as they are, carriage returns and line feeds removed.
class FileListReader {
  public:
    bool Open(const std::string& path);
    // The next line that names a file (blank lines are passed over); false at the end. A line
    // longer than any path keeps its first kMaxLineLength bytes, so that a list that is not
    // text cannot make memory grow without bound; such a name then fails to open.
    bool NextLine(std::string& line);

    static constexpr size_t kMaxLineLength = 4096;

  private:
    std::ifstream m_file;
};

}  // namespace turnelle
