#include "pdf/CPdfDocument.h"

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

void CPdfDocument::Open(const std::string& path) {
    Close();
    m_warnings.Clear();
    auto file = std::make_shared<platform::ReadFile>();
    if (!file->Open(path)) throw CPdfException(pdfmsg::kCantOpenFile);
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
    char head[kHeaderWindow];
    m_fileStream->Reset();
    for (size_t i = 0; i < kHeaderWindow; ++i) {
        int c = m_fileStream->GetChar();
        head[i] = static_cast<char>(c < 0 ? 0xFF : c);
    }
    // One search of the window rather than a comparison at every position.
    const size_t at = std::string_view(head, kHeaderWindow).find("%PDF-");
    if (at <= kLastHeaderPosition) m_fileStream->MoveStart(static_cast<int64_t>(at));
}
