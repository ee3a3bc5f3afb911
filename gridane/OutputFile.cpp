#include "gridane/OutputFile.h"

#include <unistd.h>

#include <cstdio>
#include <filesystem>

#include "pdf/CPdfException.h"

namespace gridane {
namespace {

// A name beside `path` that no file has yet.
std::string TemporaryNameBeside(const std::string& path) {
    static int counter = 0;
    for (;;) {
        std::string candidate =
            path + ".part-" + std::to_string(::getpid()) + "-" + std::to_string(++counter);
        if (!platform::FileExists(candidate)) return candidate;
    }
}

}  // namespace

OutputFile::~OutputFile() {
    Abandon();
}

bool OutputFile::Create(const std::string& path, size_t entryCount) {
    if (path.empty() || std::filesystem::is_directory(path)) return false;
    // An existing file that may not be written must not be replaced behind its back.
    if (platform::FileExists(path) && ::access(path.c_str(), W_OK) != 0) return false;
    m_path = path;
    m_tempPath = TemporaryNameBeside(path);
    if (!m_file.Create(m_tempPath)) {
        m_tempPath.clear();
        return false;
    }
    m_entries.assign(entryCount, CPdfOutputEntry{});
    return true;
}

void OutputFile::BeginObject(int number, int generation) {
    if (number <= 0) return;
    if (static_cast<size_t>(number) >= m_entries.size()) m_entries.resize(number + 1);
    m_entries[number] = CPdfOutputEntry{Position(), generation, true};
}

int OutputFile::BeginNewObject() {
    int number = static_cast<int>(m_entries.size());
    m_entries.push_back(CPdfOutputEntry{Position(), 0, true});
    return number;
}

bool OutputFile::IsWritten(int number) const {
    return number > 0 && static_cast<size_t>(number) < m_entries.size() && m_entries[number].inUse;
}

void OutputFile::Finish(int rootNumber, int infoNumber) {
    if (m_entries.empty()) m_entries.resize(1);
    m_entries[0] = CPdfOutputEntry{};
    WriteXRefAndTrailer(m_file, m_entries, rootNumber, infoNumber);
}

void OutputFile::Commit() {
    bool closed = m_file.Close();
    if (!closed || std::rename(m_tempPath.c_str(), m_path.c_str()) != 0) {
        Abandon();
        throw CPdfException("\nOutput file write error: '" + m_path + "'\n");
    }
    m_tempPath.clear();
}

void OutputFile::Abandon() {
    if (m_tempPath.empty()) return;
    m_file.Close();
    platform::RemoveFile(m_tempPath);
    m_tempPath.clear();
}

}  // namespace gridane
