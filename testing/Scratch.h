// A scratch folder for one test: created empty under the temporary folder, removed with
// everything in it when the object goes.
#pragma once

#include <string>
#include <string_view>

namespace testing_support {

class ScratchDir {
  public:
    ScratchDir();
    ~ScratchDir();
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;

    const std::string& Path() const { return m_path; }
    // The path of `name` inside the folder.
    std::string File(std::string_view name) const;

  private:
    std::string m_path;
};

std::string ReadWholeFile(const std::string& path);
void WriteWholeFile(const std::string& path, std::string_view bytes);
// Writes `script` (a "#!" program, such as a stand-in for an outside program) as a file only
// its owner may read, write and run.
void WriteProgram(const std::string& path, std::string_view script);

// The source tree's folder (VELMORA_SOURCE_DIR) and the build tree's (VELMORA_BUILD_DIR).
std::string SourceDir();
std::string BuildDir();

}  // namespace testing_support
