#include "testing/Scratch.h"

#include <stdlib.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <vector>

#include "platform/TempFiles.h"

namespace testing_support {

// A fresh folder every time (mkdtemp): a folder of the same name left behind by an earlier
// process with the same id must not hand its files to this test.
ScratchDir::ScratchDir() {
    std::string pattern = platform::UniqueTempName() + ".XXXXXX";
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    if (::mkdtemp(name.data()) == nullptr) throw std::runtime_error("cannot make " + pattern);
    m_path = name.data();
}

ScratchDir::~ScratchDir() {
    std::error_code ignored;
    std::filesystem::remove_all(m_path, ignored);
}

std::string ScratchDir::File(std::string_view name) const {
    return m_path + "/" + std::string(name);
}

std::string ReadWholeFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw std::runtime_error("cannot read " + path);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void WriteWholeFile(const std::string& path, std::string_view bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out) throw std::runtime_error("cannot write " + path);
}

void WriteProgram(const std::string& path, std::string_view script) {
    WriteWholeFile(path, script);
    std::filesystem::permissions(path, std::filesystem::perms::owner_all);
}

static std::string EnvOr(const char* name, const char* fallback) {
    const char* value = std::getenv(name);
    return value != nullptr ? value : fallback;
}

std::string SourceDir() {
    return EnvOr("VELMORA_SOURCE_DIR", VELMORA_SOURCE_DIR_DEFAULT);
}
std::string BuildDir() {
    return EnvOr("VELMORA_BUILD_DIR", VELMORA_BUILD_DIR_DEFAULT);
}

}  // namespace testing_support
