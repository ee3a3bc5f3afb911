#include "turnelle/TurnelleCom.h"

#include <charconv>
#include <iostream>

#include "pdf/CPdfException.h"
#include "turnelle/FileList.h"
#include "turnelle/RotationJob.h"

namespace turnelle {

namespace {

bool ParseInt32(std::string_view text, int32_t* value) {
    const char* end = text.data() + text.size();
    auto [last, error] = std::from_chars(text.data(), end, *value);
    return !text.empty() && error == std::errc() && last == end;
}

}  // namespace

TurnelleCom::TurnelleCom() : m_progress(&std::cout) {}

bool TurnelleCom::PutByName(std::string_view name, std::string_view value, std::string* error) {
    if (name == "rotatePages") {
        PutRotatePages(std::string(value));
        return true;
    }
    void (TurnelleCom::*put)(int32_t) = nullptr;
    if (name == "type") put = &TurnelleCom::PutType;
    if (name == "rotateAngle") put = &TurnelleCom::PutRotateAngle;
    if (name == "force") put = &TurnelleCom::PutForce;
    if (put == nullptr) {
        *error = "Unknown setting: " + std::string(name);
        return false;
    }
    int32_t number = 0;
    if (!ParseInt32(value, &number)) {
        *error = "Not a whole number for " + std::string(name) + ": '" + std::string(value) + "'";
        return false;
    }
    (this->*put)(number);
    return true;
}

std::string TurnelleCom::getTurnelleFile(const std::string& input, const std::string& output,
                                         const std::string& params) {
    m_status.clear();
    m_warnings.Clear();
    if (IsFileListName(input)) {
        FileListReader reader;
        if (reader.Open(input)) {
            std::string line;
            while (reader.NextLine(line)) RunSingleFile(line, OutputForListLine(output, line));
            return m_status;
        }
        m_status = "Unable to open file list: '" + input + "'\r\n";
    }
    return RunSingleFile(input, output) ? std::string() : m_status;
}

bool TurnelleCom::RunSingleFile(const std::string& input, const std::string& output) {
    m_status.clear();
    RotationJob job(m_settings, input, output, *m_progress);
    bool done = false;
    try {
        job.Run();
        done = true;
    } catch (const CPdfException& failure) {
        m_status = failure.GetMessage();
    } catch (...) {
        m_status = "Unexpected exception";
    }
    m_warnings.Append(job.Warnings());
    if (!done) m_progress->flush();
    return done;
}

}  // namespace turnelle
