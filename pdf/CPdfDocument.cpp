#include "pdf/CPdfDocument.h"

#include <algorithm>
#include <cstdint>
#include <string_view>

#include "pdf/CPdfException.h"
#include "platform/File.h"

namespace {
constexpr size_t kHeaderWindow = 1023;
constexpr size_t kLastHeaderPosition = 1017;
}  // namespace

CPdfDocument::CPdfDocument() = default;

CPdfDocument::~CPdfDocument() {
    Close();
}

void CPdfDocument::Open(const std::string& path, platform::FileSpace space) {
    Close();
    m_warnings.Clear();
    auto file = std::make_shared<platform::ReadFile>();
    if (!file->Open(path, space)) throw CPdfException(pdfmsg::kCantOpenFile);
    m_file = file;
    m_fileStream.reset(new CPdfFileStream(m_file, 0, 0, {}));
    try {
        FindHeader();
        m_xref = std::make_unique<CPdfXRef>(static_cast<CPdfFileStream*>(m_fileStream.get()),
                                            m_file, m_warnings);
        m_xref->Build();
    } catch (...) {
        Close();
        throw;
    }
    m_open = true;
}

void CPdfDocument::Close() {
    m_xref.reset();
    m_fileStream.reset();
    m_file.reset();
    m_open = false;
}

void CPdfDocument::FindHeader() {
    // Past the end of a short file the window holds 0xFF, which no header contains.
    uint8_t head[kHeaderWindow];
    m_fileStream->Reset();
    const size_t read = m_fileStream->ReadBytes(head, kHeaderWindow);
    std::fill(head + read, head + kHeaderWindow, uint8_t{0xFF});
    // One search of the window rather than a comparison at every position.
    const size_t at =
        std::string_view(reinterpret_cast<const char*>(head), kHeaderWindow).find("%PDF-");
    if (at <= kLastHeaderPosition) m_fileStream->MoveStart(static_cast<int64_t>(at));
}
