#include "pdf/CPdfOutputFile.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

CPdfOutputFile::~CPdfOutputFile() {
    Abandon();
}

bool CPdfOutputFile::Create(const std::string& path, size_t entryCount, platform::FileSpace space) {
    m_error = 0;
    if (path.empty()) return false;
    // Only a regular file is replaced, and only one that may be written: a folder, a device
    // or a write-protected file of that name stays as it is.
    std::error_code ignored;
    std::filesystem::file_status target = std::filesystem::status(path, ignored);
    if (space.OnDisk() && std::filesystem::exists(target)) {
        if (!std::filesystem::is_regular_file(target) || ::access(path.c_str(), W_OK) != 0) {
            return false;
        }
    }
    Abandon();
    m_path = path;
    if (!m_file.Begin(path, space)) {
        m_error = m_file.ErrorNumber();
        return false;
    }
    m_entries.assign(entryCount, CPdfOutputEntry{});
    return true;
}

void CPdfOutputFile::Write(std::string_view bytes) {
    m_file.Write(bytes);
}

void CPdfOutputFile::BeginObject(int number, int generation) {
    if (number <= 0) return;
    if (static_cast<size_t>(number) >= m_entries.size()) m_entries.resize(number + 1);
    m_entries[number] = CPdfOutputEntry{Position(), generation, true};
}

int CPdfOutputFile::BeginNewObject() {
    if (m_entries.empty()) m_entries.resize(1);
    int number = static_cast<int>(m_entries.size());
    m_entries.push_back(CPdfOutputEntry{Position(), 0, true});
    return number;
}

bool CPdfOutputFile::IsWritten(int number) const {
    return number > 0 && static_cast<size_t>(number) < m_entries.size() && m_entries[number].inUse;
}

void CPdfOutputFile::Finish(int rootNumber, int infoNumber) {
    if (m_entries.empty()) m_entries.resize(1);
    m_entries[0] = CPdfOutputEntry{};
    Write(XRefAndTrailerText(m_entries, rootNumber, infoNumber, Position()));
}

bool CPdfOutputFile::Commit() {
    if (!m_file.Commit()) {
        m_error = m_file.ErrorNumber();
        return false;
    }
    return true;
}

std::string CPdfOutputFile::FailureReason() const {
    return m_error == 0 ? std::string() : std::strerror(m_error);
}

std::string CPdfOutputFile::FailureReasonSuffix() const {
    const std::string reason = FailureReason();
    return reason.empty() ? reason : ": " + reason;
}

void CPdfOutputFile::Abandon() {
    m_file.Abandon();
}
